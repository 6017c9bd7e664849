// mireo-cli against what a demanding user gives it: outputs that are
// devices, pipes, folders and links, `open` asked to overwrite its input,
// damaged pictures, stop signals and file size limits.  Nothing may be left
// behind and every failure is one line naming its file.
#include <sys/stat.h>

#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <thread>

#include "cli_harness.h"

namespace fs = std::filesystem;

namespace mireo::test {
namespace {

bool isCharacterDevice(const char* path) {
    struct stat st;
    return ::lstat(path, &st) == 0 && S_ISCHR(st.st_mode);
}

// Files named like the hidden and temporary ones the tool makes, anywhere
// under `folder`.
std::vector<std::string> leftovers(const fs::path& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".part") != std::string::npos || name.starts_with("mireo-cli-")) found.push_back(name);
    }
    return found;
}

class CliHostileTest : public CliTest {
protected:
    void SetUp() override {
        fs::create_directory(dir.path() / "tmp");
        env = {{"TMPDIR", path("tmp")}, {"SOURCE_DATE_EPOCH", "1700000000"}};
        input = picture("in.bmp", 320, 320);
    }
    std::map<QString, QString> env;
    QString input;
};

TEST_F(CliHostileTest, DevicesAndPipesAreWrittenIntoAndNeverReplaced) {
    ASSERT_EQ(runCli({"convert", "-n", "Same", "-o", path("file.pdb"), input}, env).exitCode, 0);
    const std::vector<uint8_t> database = readFile(dir.file("file.pdb"));
    for (const QStringList& args : {QStringList{"convert", "-o", "/dev/null", input},
                                    QStringList{"open", path("file.pdb"), "/dev/null"},
                                    QStringList{"convert", "--preview", "/dev/null", "-o", path("p.pdb"), input}}) {
        CliResult r = runCli(args, env);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(isCharacterDevice("/dev/null"));
    }
    CliResult full = runCli({"convert", "-o", "/dev/full", input}, env);
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err, "mireo-cli: /dev/full: cannot write the database: disk full\n");
    EXPECT_TRUE(isCharacterDevice("/dev/full"));

    // A pipe gets the very bytes a file gets; /dev/stdout too, with the
    // report on standard error.
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::vector<uint8_t> piped;
    std::thread reader([&] { piped = readFile(dir.file("fifo")); });
    CliResult intoFifo = runCli({"convert", "-n", "Same", "-o", path("fifo"), input}, env);
    reader.join();
    EXPECT_EQ(intoFifo.exitCode, 0) << intoFifo.err;
    EXPECT_TRUE(piped == database);
    EXPECT_EQ(fs::status(dir.file("fifo")).type(), fs::file_type::fifo);
    CliResult toStdout = runCli({"convert", "-n", "Same", "-o", "/dev/stdout", input}, env);
    EXPECT_TRUE(toStdout.out == std::string(database.begin(), database.end()));
    EXPECT_TRUE(holds(toStdout.err, " -> /dev/stdout ("));

    fs::create_directory(dir.path() / "folder.pdb");
    CliResult folder = runCli({"convert", "-o", path("folder.pdb"), input}, env);
    EXPECT_EQ(folder.err, "mireo-cli: " + dir.file("folder.pdb") + ": cannot write the database: is a folder\n");
    EXPECT_TRUE(leftovers(dir.path()).empty());
}

TEST_F(CliHostileTest, OpenNeverWritesOverItsInput) {
    ASSERT_EQ(runCli({"convert", "-o", path("a.pdb"), input}, env).exitCode, 0);
    const std::vector<uint8_t> database = readFile(dir.file("a.pdb"));
    fs::create_hard_link(dir.file("a.pdb"), dir.file("hard.bmp"));
    fs::create_symlink(dir.file("a.pdb"), dir.file("soft.bmp"));
    for (const QString& output : {path("a.pdb"), path("tmp/../a.pdb"), path("hard.bmp"), path("soft.bmp")}) {
        CliResult r = runCli({"open", path("a.pdb"), output}, env);
        EXPECT_EQ(r.exitCode, 1) << output.toStdString();
        EXPECT_EQ(r.err, "mireo-cli: " + dir.file("a.pdb") + ": the output would replace the input database\n");
        EXPECT_EQ(readFile(dir.file("a.pdb")), database);
    }
}

// A picture cut anywhere, or with its data broken, is refused under its
// name; in a batch the pictures around it are converted as they would be
// alone.
TEST_F(CliHostileTest, DamagedPicturesAreRefusedAndLeaveNothing) {
    QImage photo(320, 320, QImage::Format_RGB32);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 320; ++x) photo.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x * y) % 256));
    savePicture(photo, dir.file("photo.ppm"));
    ASSERT_EQ(std::system(("pnmquant 256 " + dir.file("photo.ppm") + " 2>/dev/null | ppmtogif > " +
                           dir.file("whole-gif.gif") + " 2>/dev/null").c_str()), 0);
    fs::remove(dir.file("photo.ppm"));
    QStringList inputs, cuts;
    std::vector<std::string> converted;
    for (const std::string type : {"jpg", "gif", "bmp", "png"}) {
        const std::string whole = "whole-" + type + "." + type;
        if (type != "gif") savePicture(photo, dir.file(whole));
        const std::vector<uint8_t> bytes = readFile(dir.file(whole));
        inputs.push_back(path(whole));
        converted.push_back("whole-" + type + ".pdb");
        for (const double share : {0.3, 0.6, 0.97}) {
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(static_cast<double>(bytes.size()) * share));
            const std::string name = "cut" + std::to_string(int(share * 100)) + "-" + type + "." + type;
            writeFile(dir.file(name), cut);
            inputs.push_back(path(name));
            cuts.push_back(path(name));
        }
    }
    fs::create_directory(dir.path() / "out");
    CliResult r = runCli(QStringList{"convert", "-j", "2", "-d", path("out")} + inputs, env);
    EXPECT_EQ(r.exitCode, 1);
    for (const QString& cut : cuts) EXPECT_TRUE(holds(r.err, "mireo-cli: " + cut.toStdString() + ": damaged picture: "));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 12) << r.err;
    std::sort(converted.begin(), converted.end());
    EXPECT_EQ(fileNames(dir.path() / "out"), converted);
    EXPECT_TRUE(leftovers(dir.path()).empty());
}

// The tool blocks on a pipe that nobody reads, with its temporary files in
// place; a stop signal then removes them all.
TEST_F(CliHostileTest, StopSignalsRemoveTheTemporaryFiles) {
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", path("tmp"));
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(MIREO_CLI), {"convert", "-c", "-b", "8", "-o", path("fifo"), input});
        ASSERT_TRUE(tool.waitForStarted());
        for (int wait = 0; wait < 600 && leftovers(dir.path()).size() < 2; ++wait) QThread::msleep(50);
        ASSERT_GE(leftovers(dir.path()).size(), 2u) << "the hidden database and the work folder";
        ::kill(static_cast<pid_t>(tool.processId()), signal);
        ASSERT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), status);
        EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{}) << signal;
    }
}

TEST_F(CliHostileTest, AFileSizeLimitIsAFailureThatLeavesNothing) {
    for (const QString& command : {"convert -b 8 -o " + path("out.pdb") + " " + input,
                                   "convert -o - " + input + " > " + path("piped.pdb")}) {
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", path("tmp"));
        shell.setProcessEnvironment(environment);
        shell.start("/bin/sh", {"-c", "ulimit -f 40; exec " + QStringLiteral(MIREO_CLI) + " " + command});
        ASSERT_TRUE(shell.waitForFinished(60000));
        EXPECT_EQ(shell.exitCode(), 1) << command.toStdString();
        const std::string err = shell.readAllStandardError().toStdString();
        EXPECT_TRUE(holds(err, "the file size limit (ulimit -f) reached\n"));
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_FALSE(fs::exists(dir.file("out.pdb")));
        EXPECT_TRUE(leftovers(dir.path()).empty());
    }
}

}  // namespace
}  // namespace mireo::test
