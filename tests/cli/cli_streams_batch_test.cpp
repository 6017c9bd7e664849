// mireo-cli as a person with many pictures uses it: parallel batches that
// give what a serial one gives, PNG out, standard streams, previews, and a
// manual page that lists what --help lists.
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "cli_harness.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace mireo::test {
namespace {

const std::map<QString, QString> kFixedTime{{"SOURCE_DATE_EPOCH", "1700000000"}};

class BatchTest : public ::testing::Test {
protected:
    ScratchDir dir;
    QString path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }

    // Pictures that differ from each other, so that a database written
    // under another input's name shows.
    QStringList pictures(int count) {
        QStringList inputs;
        for (int i = 0; i < count; ++i) {
            QImage picture = quadrants(200 + 10 * i, 160);
            picture.setPixelColor(i, i, QColor(i * 20, 255 - i * 20, 7));
            const std::string name = "in" + std::to_string(i) + (i % 2 ? ".png" : ".jpg");
            inputs << QString::fromStdString(savePicture(picture, dir.file(name)));
        }
        return inputs;
    }
    std::string text(const std::string& out, const std::string& folder) const {
        return QString::fromStdString(out).replace(path(folder), "OUT").toStdString();
    }
};

bool samePixels(const QImage& a, const QImage& b) {
    return !a.isNull() && a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

TEST_F(BatchTest, ParallelBatchGivesTheSerialFilesAndReportsInInputOrder) {
    QStringList inputs = pictures(7);
    writeFile(dir.file("bad.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 1, 2});
    inputs.insert(3, path("bad.jpg"));
    std::map<std::string, CliResult> runs;
    for (const std::string jobs : {"1", "3"}) {
        fs::create_directory(dir.path() / ("j" + jobs));
        QStringList args{"convert", "-s", "160x160", "-b", "8", "-c", "-j", QString::fromStdString(jobs),
                         "-d", path("j" + jobs)};
        runs[jobs] = runCli(args + inputs, kFixedTime);
        EXPECT_EQ(runs[jobs].exitCode, 1) << runs[jobs].err;
    }
    EXPECT_EQ(text(runs["1"].out, "j1"), text(runs["3"].out, "j3"));
    EXPECT_EQ(runs["1"].err, runs["3"].err);
    EXPECT_NE(runs["3"].err.find(dir.file("bad.jpg") + ": Error loading file!"), std::string::npos) << runs["3"].err;
    EXPECT_NE(runs["3"].out.find("7 of 8 pictures converted, 1 failed"), std::string::npos);
    // The reports follow the inputs.
    std::size_t last = 0;
    for (int i = 0; i < 7; ++i) {
        std::size_t at = runs["3"].out.find("in" + std::to_string(i) + ".");
        ASSERT_NE(at, std::string::npos) << i;
        EXPECT_GT(at + 1, last) << runs["3"].out;
        last = at + 1;
        const std::string pdb = "in" + std::to_string(i) + ".pdb";
        EXPECT_EQ(readFile((dir.path() / "j1" / pdb).string()), readFile((dir.path() / "j3" / pdb).string())) << pdb;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "j3" / "bad.pdb"));
}

TEST_F(BatchTest, PngFromOpenHasTheBmpsPixels) {
    pictures(1);
    for (const QString& depth : QStringList{"16", "8", "4"}) {
        ASSERT_EQ(runCli({"convert", "-s", "160x160", "-b", depth, "-o", path("a.pdb"), path("in0.jpg")}).exitCode, 0);
        ASSERT_EQ(runCli({"open", path("a.pdb"), path("a.bmp")}).exitCode, 0);
        CliResult png = runCli({"open", path("a.pdb"), path("a.PNG")});
        ASSERT_EQ(png.exitCode, 0) << png.err;
        QFile file(path("a.PNG"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        // A whole PNG file: its signature first, its closing IEND chunk last.
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8))) << depth.toStdString();
        EXPECT_TRUE(bytes.endsWith(QByteArray("\0\0\0\0IEND\xae\x42\x60\x82", 12))) << depth.toStdString();
        EXPECT_TRUE(samePixels(QImage(path("a.PNG"), "png"), QImage(path("a.bmp"), "bmp"))) << depth.toStdString();
    }
}

TEST_F(BatchTest, StandardInputAndOutputRoundTripThroughAPipe) {
    // Noise makes files of several hundred kilobytes: many reads of a pipe.
    QImage noise(600, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x) noise.setPixel(x, y, qRgb(x * 7919 % 251, y * 104729 % 241, (x ^ y) & 0xFF));
    savePicture(noise, dir.file("in0.jpg"));
    savePicture(noise, dir.file("in1.png"));
    for (const char* name : {"in0.jpg", "in1.png"}) {
        const std::vector<uint8_t> bytes = readFile(dir.file(name));
        CliResult piped = runCli({"convert", "-s", "160x160", "-b", "8", "-"}, kFixedTime,
                                 std::string(bytes.begin(), bytes.end()));
        ASSERT_EQ(piped.exitCode, 0) << piped.err;
        EXPECT_NE(piped.err.find("- -> - ("), std::string::npos) << piped.err;
        ASSERT_EQ(runCli({"convert", "-s", "160x160", "-b", "8", "-n", "Untitled", "-o", path("file.pdb"), path(name)},
                         kFixedTime)
                      .exitCode,
                  0);
        const std::vector<uint8_t> file = readFile(dir.file("file.pdb"));
        EXPECT_EQ(piped.out, std::string(file.begin(), file.end())) << name;
    }
    CliResult empty = runCli({"convert", "-s", "160x160", "-o", path("none.pdb"), "-"});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_FALSE(fs::exists(dir.file("none.pdb")));
}

TEST_F(BatchTest, PreviewIsWhatOpenGivesBack) {
    QStringList inputs = pictures(2);
    for (const QString& depth : QStringList{"16", "8", "4"}) {
        CliResult r = runCli({"convert", "-s", "240x320", "-f", "pad", "-b", depth, "-c", "--preview", path("p.png"),
                              "-o", path("a.pdb"), inputs[0]});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ASSERT_EQ(runCli({"open", path("a.pdb"), path("back.bmp")}).exitCode, 0);
        EXPECT_TRUE(samePixels(QImage(path("p.png"), "png"), QImage(path("back.bmp"), "bmp"))) << depth.toStdString();
    }
    fs::create_directory(dir.path() / "previews");
    CliResult batch = runCli(QStringList{"convert", "-s", "160x160", "-b", "4", "-d", path("previews"), "--preview",
                                         path("previews")} + inputs);
    ASSERT_EQ(batch.exitCode, 0) << batch.err;
    ASSERT_EQ(runCli({"open", path("previews/in1.pdb"), path("in1.bmp")}).exitCode, 0);
    EXPECT_TRUE(samePixels(QImage(path("previews/in1.png"), "png"), QImage(path("in1.bmp"), "bmp")));
    EXPECT_EQ(runCli(QStringList{"convert", "--preview", path("one.png")} + inputs).exitCode, 2);
}

std::set<std::string> optionsIn(const QString& text) {
    std::set<std::string> options;
    static const QRegularExpression option(R"((?<![\w-])(--?[a-z][a-z0-9-]*))");
    for (const auto& match : option.globalMatch(text)) options.insert(match.captured(1).toStdString());
    return options;
}

TEST(CliManual, ManPageAndHelpListTheSameOptions) {
    QFile page(QStringLiteral(MIREO_CLI_MAN_PAGE));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    // In the source, a minus is "\-" and fonts are "\fB".."\fR".
    QString source = QString::fromUtf8(page.readAll());
    source.remove(QRegularExpression(R"(\\f[BIR])")).replace("\\-", "-");
    source.remove(QRegularExpression(R"(^\.\\".*$)", QRegularExpression::MultilineOption));
    CliResult help = runCli({"--help"});
    std::set<std::string> fromHelp = optionsIn(QString::fromStdString(help.out));
    EXPECT_GT(fromHelp.size(), 20u);
    EXPECT_EQ(fromHelp, optionsIn(source));
}

}  // namespace
}  // namespace mireo::test
