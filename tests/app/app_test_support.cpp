#include "app_test_support.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

QString ScratchFolder() {
    static std::vector<std::unique_ptr<QTemporaryDir>> folders;
    return folders.emplace_back(std::make_unique<QTemporaryDir>())->path();
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

void WithFileSizeLimit(rlim_t bytes, const std::function<void()>& step) {
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the tests
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
    step();
    setrlimit(RLIMIT_FSIZE, &old);
}

QByteArray CliDatabase(const QStringList& arguments, const QString& output) {
    QFile::remove(output);
    QProcess cli;
    cli.start(QStringLiteral(MIREO_CLI), QStringList(arguments) << QStringLiteral("-o") << output);
    EXPECT_TRUE(cli.waitForFinished(60000) && cli.exitCode() == 0) << cli.readAllStandardError().toStdString();
    return ReadTextFile(output);
}

void ProgramTest::click(const char* name) {
    QToolButton* button = program->button(name);
    ASSERT_TRUE(button) << name;
    button->click();
}

void ProgramTest::create(const QString& path, const QString& typedName) {
    program->main->findChild<QLineEdit*>(QStringLiteral("txtPDBname"))->setText(typedName);
    dialogs.answers << path;
    click("cmdCreatePDB");
}

int main(int argc, char** argv) {
    // The tests run without a display, also when their list is gathered.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A database holds its build time; a fixed one makes the program's and
    // mireo-cli's comparable byte for byte.
    qputenv("SOURCE_DATE_EPOCH", "1700000000");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
