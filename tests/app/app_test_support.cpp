#include "app_test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

void RecordingDialogs::message(const QString& text, const QString& caption, MessageIcon icon) {
    messages.push_back({text, caption, icon});
}

std::optional<QString> RecordingDialogs::openFile(const FileDialogSetup& setup) {
    fileDialogs.push_back(setup);
    const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
}

std::optional<QString> RecordingDialogs::saveFile(const FileDialogSetup& setup) { return openFile(setup); }

QStringList RecordingDialogs::texts() const {
    QStringList all;
    for (const Message& m : messages) all << m.text;
    return all;
}

QString FakeBrowser::findBrowserFor(const QString& file) {
    askedAbout = file;
    askedContent = ReadTextFile(file);
    return browser;
}

bool FakeBrowser::launch(const QString& program, const QString& page) {
    launched << program + QLatin1Char(' ') + page;
    return launchSucceeds;
}

QString ScratchFolder() {
    static std::vector<std::unique_ptr<QTemporaryDir>> folders;
    folders.push_back(std::make_unique<QTemporaryDir>());
    return folders.back()->path();
}

StartedProgram::StartedProgram(int screenBits, const QString& where, const mireo::imaging::Library* library)
    : folder(where.isEmpty() ? ScratchFolder() : where) {
    StartupOptions options;
    options.programFolder = folder;
    options.screenBits = screenBits;
    options.library = library;
    main = std::make_unique<MDImain>(shared, options);
}

StartedProgram::~StartedProgram() = default;

QToolButton* StartedProgram::button(const char* name) const {
    return main->findChild<QToolButton*>(QLatin1String(name));
}

void WriteTextFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(content);
}

QByteArray ReadTextFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

void PrintTo(const QByteArray& bytes, std::ostream* out) { *out << '"' << bytes.toStdString() << '"'; }

void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral("\", \"")).prepend('"').append('"').toStdString() << '}';
}

int main(int argc, char** argv) {
    // The tests run without a display, also when their list is gathered.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
