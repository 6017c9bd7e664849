// mireo-cli open, info and --preview as a subprocess, and a manual page
// that lists what --help lists.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

#include "cli_harness.h"

namespace fs = std::filesystem;

namespace mireo::test {
namespace {

const std::map<QString, QString> kFixedTime{{"SOURCE_DATE_EPOCH", "1700000000"}};

::testing::AssertionResult samePixels(const QString& a, const QString& b) {
    const QImage first(a), second(b);
    if (first.isNull() || second.isNull()) return ::testing::AssertionFailure() << "unreadable " << a.toStdString();
    if (first.convertToFormat(QImage::Format_RGB32) == second.convertToFormat(QImage::Format_RGB32))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a.toStdString() << " differs from " << b.toStdString();
}

TEST_F(CliTest, OpenGivesBackTheFittedPictureAsBmpOrPng) {
    savePicture(quadrants(300, 300, 150), dir.file("barred.png"));  // 600 x 300
    const QColor border(255, 0, 255), black(Qt::black);
    const std::tuple<QString, QString, std::vector<std::pair<QPoint, QColor>>> cases[] = {
        {"crop", "16", {{{3, 3}, kRed}, {{156, 3}, kGreen}, {{3, 156}, kBlue}, {{156, 156}, kYellow}}},
        // The whole picture in rows 40 to 119; (60, 50) comes from the red quadrant.
        {"pad", "8", {{{3, 3}, border}, {{156, 156}, border}, {{3, 60}, black}, {{60, 50}, kRed}}},
        {"stretch", "4", {{{3, 3}, black}, {{156, 156}, black}}}};
    for (const auto& [fit, depth, probes] : cases) {
        const std::string name = fit.toStdString();
        ASSERT_EQ(runCli({"convert", "-s", "160x160", "-f", fit, "-b", depth, "-c", "--border", "FF00FF", "-o",
                          path(name + ".pdb"), path("barred.png")}).exitCode, 0);
        CliResult bmp = runCli({"open", path(name + ".pdb"), path(name + ".bmp")});
        ASSERT_EQ(bmp.exitCode, 0) << bmp.err;
        EXPECT_TRUE(holds(bmp.out, " (" + depth.toStdString() + " bits per pixel)\n"));
        ASSERT_EQ(runCli({"open", path(name + ".pdb"), path(name + ".PNG")}).exitCode, 0);
        const QImage back(path(name + ".bmp"));
        ASSERT_EQ(back.size(), QSize(160, 160));
        for (const auto& [at, colour] : probes) EXPECT_EQ(back.pixelColor(at), colour) << name << " " << at.x();
        // A whole PNG file: its signature first, its closing IEND chunk last.
        const std::vector<uint8_t> png = readFile(dir.file(name + ".PNG"));
        const QByteArray bytes(reinterpret_cast<const char*>(png.data()), qsizetype(png.size()));
        EXPECT_TRUE(bytes.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8))) << name;
        EXPECT_TRUE(bytes.endsWith(QByteArray("\0\0\0\0IEND\xae\x42\x60\x82", 12))) << name;
        EXPECT_TRUE(samePixels(path(name + ".PNG"), path(name + ".bmp")));
    }
    EXPECT_EQ(fileNames(dir.path()), (std::vector<std::string>{"barred.png", "crop.PNG", "crop.bmp", "crop.pdb",
                                                               "pad.PNG", "pad.bmp", "pad.pdb", "stretch.PNG",
                                                               "stretch.bmp", "stretch.pdb"}));
}

// open and info make the same checks and say the same.
TEST_F(CliTest, OpenAndInfoRefuseWhatIsNoSoundBackimageAndOpenWritesNothing) {
    std::vector<uint8_t> header(120, 0);
    std::memcpy(header.data(), "Memo", 4);
    std::memcpy(&header[60], "DATAmemo", 8);
    writeFile(dir.file("memo.pdb"), header);
    std::memcpy(&header[60], "BmpLXXXX", 8);
    writeFile(dir.file("other.pdb"), header);
    writeFile(dir.file("short.pdb"), std::vector<uint8_t>(30, 0));
    // A database of the obsolete format version 1 (record 0's offset is at 78).
    ASSERT_EQ(runCli({"convert", "-o", path("old.pdb"), picture("q.bmp", 160, 160)}).exitCode, 0);
    std::vector<uint8_t> file = readFile(dir.file("old.pdb"));
    const std::size_t record0 = std::size_t{file[78]} << 24 | std::size_t{file[79]} << 16 | file[80] << 8 | file[81];
    file.at(record0 + 13) = 1;
    writeFile(dir.file("old.pdb"), file);
    // A compressed block whose stream stops short: its header is sound.
    ASSERT_EQ(runCli({"convert", "-c", "-b", "8", "-o", path("cut.pdb"), picture("q.bmp", 160, 160)}).exitCode, 0);
    file = readFile(dir.file("cut.pdb"));
    file.resize(file.size() - 40);
    writeFile(dir.file("cut.pdb"), file);
    fs::create_directory(dir.path() / "folder.pdb");

    const std::string notOne = "not a background-image database";
    const std::pair<std::string, std::string> cases[] = {
        {"memo.pdb", notOne + ": its type and creator are DATA / memo, not BmpL / VTCR\n"},
        {"other.pdb", notOne + ": its type and creator are BmpL / XXXX, not BmpL / VTCR\n"},
        {"short.pdb", notOne + "\n"},
        {"q.bmp", notOne + "\n"},
        {"old.pdb", "the picture is in the obsolete version 1 format, which cannot be read\n"},
        {"cut.pdb", "damaged database: "},
        {"none.pdb", "no such file or folder\n"},
        {"folder.pdb", "is a folder\n"}};
    for (const auto& [name, message] : cases) {
        for (const QStringList& command : {QStringList{"open", path(name), path("a.bmp")}, QStringList{"info", path(name)}}) {
            CliResult r = runCli(command);
            EXPECT_EQ(r.exitCode, 1) << name;
            EXPECT_TRUE(holds(r.err, "mireo-cli: " + dir.file(name) + ": " + message));
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
        EXPECT_FALSE(fs::exists(dir.file("a.bmp"))) << name;
    }
    EXPECT_EQ(fileNames(dir.path()), (std::vector<std::string>{"cut.pdb", "folder.pdb", "memo.pdb", "old.pdb",
                                                               "other.pdb", "q.bmp", "short.pdb"}));
}

TEST_F(CliTest, InfoDescribesTheWholeFileAndRefusesACutOne) {
    const QString input = picture("q.bmp", 240, 320);
    const QStringList convert{"convert", "-b", "8", "--block1", "20000"};
    ASSERT_EQ(runCli(convert + QStringList{"-o", path("Quads.pdb"), input}, kFixedTime).exitCode, 0);
    ASSERT_EQ(runCli(convert + QStringList{"-c", "-m", "diffused", "-o", path("c.pdb"), input}).exitCode, 0);
    auto info = [&](const std::string& name) {
        CliResult r = runCli({"info", path(name), "--json"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    };
    QJsonObject raw = info("Quads.pdb"), compressed = info("c.pdb");
    // Both dates are 1700000000 seconds after 1970 began (UTC).
    for (const auto& [key, value] : {std::pair{"name", "Quads"}, {"type", "BmpL"}, {"creator", "VTCR"},
                                     {"created", "2023-11-14T22:13:20"}, {"modified", "2023-11-14T22:13:20"}})
        EXPECT_EQ(raw[key].toString(), value) << key;
    EXPECT_TRUE(raw["backedUp"].isNull());
    EXPECT_EQ(raw["formatVersion"].toInt(), 2);
    // 20000-byte blocks hold 83 rows of 240 bytes: 320 rows in four blocks, stored raw.
    const QJsonArray blocks = raw["blocks"].toArray();
    ASSERT_EQ(blocks.size(), 4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(blocks[k].toObject()["rows"].toInt(), k < 3 ? 83 : 71);
        EXPECT_EQ(blocks[k].toObject()["compression"].toString(), "none");
    }
    EXPECT_EQ(raw["totalDataBytes"].toInteger(), 240 * 320);
    bool anyCompressed = false;
    for (const auto& block : compressed["blocks"].toArray()) anyCompressed |= block.toObject()["compression"] != "none";
    EXPECT_TRUE(anyCompressed);
    EXPECT_LT(compressed["fileSize"].toInteger(), raw["fileSize"].toInteger());
    for (const auto& [file, o] : {std::pair{"Quads.pdb", raw}, std::pair{"c.pdb", compressed}}) {
        for (const auto& [key, value] : {std::pair{"width", 240}, {"height", 320}, {"depth", 8}, {"rowBytes", 240}})
            EXPECT_EQ(o[key].toInt(), value) << file << " " << key;
        // The headers: 80 bytes, 8 per record, 32 for the image record and each block.
        qint64 stored = 0, count = o["blocks"].toArray().size();
        for (const auto& block : o["blocks"].toArray()) stored += block.toObject()["storedBytes"].toInteger();
        EXPECT_EQ(stored, o["totalDataBytes"].toInteger());
        EXPECT_EQ(o["fileSize"].toInteger(), 80 + 8 * (count + 1) + 32 + 32 * count + stored);
        EXPECT_EQ(o["fileSize"].toInteger(), qint64(fs::file_size(dir.file(file)))) << file;
    }

    CliResult text = runCli({"info", path("Quads.pdb")});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_TRUE(holds(text.out, "Picture:         240 x 320, 8 bits per pixel\n"));
    EXPECT_TRUE(holds(text.out, "Type / creator:  BmpL / VTCR\n"));
    std::vector<uint8_t> file = readFile(dir.file("Quads.pdb"));
    file.resize(100);
    writeFile(dir.file("cut.pdb"), file);
    CliResult cut = runCli({"info", path("cut.pdb")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(holds(cut.err, "cut.pdb: damaged database: the file ends too early"));
    EXPECT_TRUE(cut.out.empty());
}

TEST_F(CliTest, PreviewIsWhatOpenGivesBack) {
    const QStringList inputs{picture("in0.jpg", 200, 160), picture("in1.png", 210, 160)};
    for (const QString depth : {"16", "8", "4"}) {
        CliResult r = runCli({"convert", "-s", "240x320", "-f", "pad", "-b", depth, "-c", "--preview", path("p.png"),
                              "-o", path("a.pdb"), inputs[0]});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ASSERT_EQ(runCli({"open", path("a.pdb"), path("back.bmp")}).exitCode, 0);
        EXPECT_TRUE(samePixels(path("p.png"), path("back.bmp"))) << depth.toStdString();
    }
    fs::create_directory(dir.path() / "previews");
    CliResult batch = runCli(QStringList{"convert", "-s", "160x160", "-b", "4", "-d", path("previews"), "--preview",
                                         path("previews")} + inputs);
    ASSERT_EQ(batch.exitCode, 0) << batch.err;
    ASSERT_EQ(runCli({"open", path("previews/in1.pdb"), path("in1.bmp")}).exitCode, 0);
    EXPECT_TRUE(samePixels(path("previews/in1.png"), path("in1.bmp")));
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
    std::set<std::string> fromHelp = optionsIn(QString::fromStdString(runCli({"--help"}).out));
    EXPECT_GT(fromHelp.size(), 20u);
    EXPECT_EQ(fromHelp, optionsIn(source));
}

}  // namespace
}  // namespace mireo::test
