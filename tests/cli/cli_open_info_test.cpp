// mireo-cli open and info as a subprocess.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "cli_harness.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace mireo::test {
namespace {

class OpenInfoTest : public ::testing::Test {
protected:
    ScratchDir dir;
    QString path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }

    void convertQuadrants(const std::string& name, const QStringList& options) {
        savePicture(quadrants(160, 160), dir.file("q.bmp"));
        QStringList args{"convert", "-o", path(name)};
        args << options << path("q.bmp");
        CliResult r = runCli(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(OpenInfoTest, ForeignDatabasesAreRefusedWithTheProgramsMessages) {
    std::vector<uint8_t> header(120, 0);
    std::memcpy(header.data(), "Memo", 4);
    std::memcpy(&header[60], "DATAmemo", 8);
    writeFile(dir.file("memo.pdb"), header);
    std::memcpy(&header[60], "BmpLXXXX", 8);
    writeFile(dir.file("other.pdb"), header);
    writeFile(dir.file("short.pdb"), std::vector<uint8_t>(30, 0));

    CliResult memo = runCli({"open", path("memo.pdb"), path("a.bmp")});
    EXPECT_EQ(memo.exitCode, 1);
    EXPECT_TRUE(contains(memo.err, "memo.pdb: This file doesn't appear to be a valid Vantrel Backimage\n"));
    CliResult other = runCli({"open", path("other.pdb"), path("a.bmp")});
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_TRUE(contains(other.err, "other.pdb: This file doesn't appear to be a valid Vantrel Background Image\n"));
    CliResult cut = runCli({"open", path("short.pdb"), path("a.bmp")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(contains(cut.err, "This file doesn't appear to be a valid Vantrel Backimage"));
    CliResult missing = runCli({"open", path("none.pdb"), path("a.bmp")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(fs::exists(dir.file("a.bmp")));
}

TEST_F(OpenInfoTest, OpenWritesTheDecodedPicture) {
    convertQuadrants("q.pdb", {"-b", "16", "-c"});
    CliResult r = runCli({"open", path("q.pdb"), path("back.bmp")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QImage back(path("back.bmp"));
    ASSERT_EQ(back.size(), QSize(160, 160));
    EXPECT_EQ(back.pixelColor(0, 0), kRed);
    EXPECT_EQ(back.pixelColor(159, 0), kGreen);
    EXPECT_EQ(back.pixelColor(0, 159), kBlue);
    EXPECT_EQ(back.pixelColor(159, 159), kYellow);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"back.bmp", "q.bmp", "q.pdb"}));
}

TEST_F(OpenInfoTest, OpenOfAnObsoleteVersionShowsTheLibrarysMessageAndWritesNothing) {
    convertQuadrants("q.pdb", {});
    std::vector<uint8_t> file = readFile(dir.file("q.pdb"));
    std::size_t image = std::size_t{file[78]} << 24 | std::size_t{file[79]} << 16 | std::size_t{file[80]} << 8 | file[81];
    file.at(image + 13) = 1;
    writeFile(dir.file("old.pdb"), file);
    CliResult r = runCli({"open", path("old.pdb"), path("old.bmp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "old.pdb: Unable to load this image. It's in the obsolete version 1 format.\n"))
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("old.bmp")));
}

TEST_F(OpenInfoTest, InfoJsonDescribesTheWholeFile) {
    convertQuadrants("Quads.pdb", {"-b", "8", "--block1", "20000"});
    CliResult r = runCli({"info", path("Quads.pdb"), "--json"}, {{"SOURCE_DATE_EPOCH", ""}});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out;
    QJsonObject o = doc.object();
    EXPECT_EQ(o["name"].toString(), "Quads");
    EXPECT_EQ(o["type"].toString(), "BmpL");
    EXPECT_EQ(o["creator"].toString(), "VTCR");
    EXPECT_EQ(o["width"].toInt(), 160);
    EXPECT_EQ(o["height"].toInt(), 160);
    EXPECT_EQ(o["depth"].toInt(), 8);
    EXPECT_EQ(o["formatVersion"].toInt(), 2);
    EXPECT_EQ(o["rowBytes"].toInt(), 160);
    EXPECT_TRUE(o["backedUp"].isNull());
    EXPECT_EQ(o["created"].toString(), o["modified"].toString());
    EXPECT_EQ(o["created"].toString().size(), 19);

    // 20000-byte blocks hold 125 rows of 160 bytes: two blocks, stored raw.
    QJsonArray blocks = o["blocks"].toArray();
    ASSERT_EQ(blocks.size(), 2);
    EXPECT_EQ(blocks[0].toObject()["rows"].toInt(), 125);
    EXPECT_EQ(blocks[1].toObject()["rows"].toInt(), 35);
    qint64 stored = 0;
    for (const auto& block : blocks) {
        EXPECT_EQ(block.toObject()["compression"].toString(), "none");
        stored += block.toObject()["storedBytes"].toInteger();
    }
    EXPECT_EQ(stored, o["totalDataBytes"].toInteger());
    EXPECT_EQ(o["fileSize"].toInteger(), 80 + 8 * 3 + 32 + 2 * 32 + stored);
    EXPECT_EQ(o["fileSize"].toInteger(), static_cast<qint64>(fs::file_size(dir.file("Quads.pdb"))));
}

TEST_F(OpenInfoTest, InfoTextAndDamagedFiles) {
    convertQuadrants("q.pdb", {"-b", "4", "-c"});
    CliResult text = runCli({"info", path("q.pdb")});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_TRUE(contains(text.out, "Picture:         160 x 160, 4 bits per pixel\n")) << text.out;
    EXPECT_TRUE(contains(text.out, "Type / creator:  BmpL / VTCR\n"));

    std::vector<uint8_t> file = readFile(dir.file("q.pdb"));
    file.resize(100);
    writeFile(dir.file("cut.pdb"), file);
    CliResult cut = runCli({"info", path("cut.pdb")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(contains(cut.err, "cut.pdb: The file ends inside the")) << cut.err;
    EXPECT_TRUE(cut.out.empty());
}

}  // namespace
}  // namespace mireo::test
