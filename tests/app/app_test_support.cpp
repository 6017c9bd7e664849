#include "app_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "shared_state.h"

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

StartedProgram::StartedProgram(int screenBits, const QString& where) : folder(where.isEmpty() ? ScratchFolder() : where) {
    ResetSharedState();
    StartupOptions options;
    options.programFolder = folder;
    options.screenBits = screenBits;
    main = std::make_unique<MDImain>(options);
}

StartedProgram::~StartedProgram() = default;

void WriteTextFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(content);
}

QByteArray ReadTextFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
