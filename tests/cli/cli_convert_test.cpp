// mireo-cli convert as a subprocess: exit statuses, size rules and their
// messages, batches, failures that leave nothing behind, reproducibility.
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_harness.h"
#include "palm_time.h"
#include "pdb_reader.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace mireo::test {
namespace {


class ConvertTest : public ::testing::Test {
protected:
    ScratchDir dir;

    QString path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
    std::string picture(const std::string& name, int width, int height) {
        return savePicture(quadrants(width, height), dir.file(name));
    }
    DatabaseFacts infoOf(const std::string& name) const { return readDatabaseFacts(readFile(dir.file(name))); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CliUsage, HelpVersionAndUsageErrors) {
    CliResult help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(contains(help.out, "mireo-cli convert [options] INPUT..."));
    CliResult version = runCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "mireo-cli 1.0.0\n");

    const std::vector<QStringList> usageErrors{
        {},
        {"paint"},
        {"convert"},
        {"convert", "--frobnicate", "a.jpg"},
        {"convert", "a.jpg", "--size"},
        {"convert", "-s", "huge", "a.jpg"},
        {"convert", "-b", "7", "a.jpg"},
        {"convert", "-m", "random", "a.jpg"},
        {"convert", "-f", "zoom", "a.jpg"},
        {"convert", "--border", "12345G", "a.jpg"},
        {"convert", "--block1", "5119", "a.jpg"},
        {"convert", "--block1", "51201", "a.jpg"},
        {"convert", "--block2", "5120", "a.jpg"},
        {"convert", "-o", "x.pdb", "a.jpg", "b.jpg"},
        {"convert", "-d", "/nonexistent/folder", "a.jpg"},
        {"open", "only-one.pdb"},
        {"info"},
        {"info", "a.pdb", "--yaml"},
    };
    for (const QStringList& args : usageErrors) {
        CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(contains(r.err, "Try 'mireo-cli --help'.")) << args.join(' ').toStdString();
    }
}

TEST(CliUsage, AcceptedLimitsOfTheBlockSizesReachTheInput) {
    // The options parse; the missing input then fails on its own (status 1).
    CliResult r = runCli({"convert", "--block1=5120", "--block2", "51200", "/nonexistent/a.bmp"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "/nonexistent/a.bmp"));
}

TEST(CliUsage, CustomSizesFollowTheResizeRules) {
    const std::vector<std::pair<QString, std::string>> refused{
        {"49x100", "Width is too small."},
        {"100x49", "Height is too small."},
        {"601x300", "Width is too large."},
        {"100x601", "Height is too large."},
        {"500x249", "Incorrect aspect ratio! Must be less then 2:1."},
        {"249x500", "Incorrect aspect ratio! Must be less then 2:1."},
    };
    for (const auto& [size, message] : refused) {
        CliResult r = runCli({"convert", "-s", size, "a.bmp"});
        EXPECT_EQ(r.exitCode, 2) << size.toStdString();
        EXPECT_TRUE(contains(r.err, message)) << r.err;
    }
}

TEST_F(ConvertTest, CustomSizeAtItsLimitsIsBuilt) {
    picture("in.png", 700, 500);
    for (auto [size, w, h] : {std::tuple{"600x300", 600u, 300u}, std::tuple{"50x50", 50u, 50u}}) {
        CliResult r = runCli({"convert", "-s", size, "-o", path("out.pdb"), path("in.png")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        DatabaseFacts info = infoOf("out.pdb");
        EXPECT_EQ(info.image.width, w);
        EXPECT_EQ(info.image.height, h);
        EXPECT_EQ(info.image.depth, 16u);
    }
}

TEST_F(ConvertTest, InputSizeLimits) {
    picture("wide.bmp", 4001, 100);
    picture("narrow.bmp", 49, 300);
    picture("edge.bmp", 4000, 50);
    CliResult wide = runCli({"convert", "-s", "160x160", path("wide.bmp")});
    EXPECT_EQ(wide.exitCode, 1);
    EXPECT_TRUE(contains(wide.err, dir.file("wide.bmp") + ": Image is to large to process!")) << wide.err;
    CliResult narrow = runCli({"convert", "-s", "160x160", path("narrow.bmp")});
    EXPECT_EQ(narrow.exitCode, 1);
    EXPECT_TRUE(contains(narrow.err, dir.file("narrow.bmp") + ": Image is to small to process!")) << narrow.err;
    CliResult edge = runCli({"convert", "-s", "160x160", "-f", "pad", path("edge.bmp")});
    EXPECT_EQ(edge.exitCode, 0) << edge.err;
    EXPECT_EQ(files(), (std::vector<std::string>{"edge.bmp", "edge.pdb", "narrow.bmp", "wide.bmp"}));
}

TEST_F(ConvertTest, WithoutSizeOnlyStandardPicturesAreTaken) {
    picture("palm.bmp", 320, 450);
    picture("odd.bmp", 450, 320);
    CliResult standard = runCli({"convert", path("palm.bmp")});
    EXPECT_EQ(standard.exitCode, 0) << standard.err;
    EXPECT_EQ(infoOf("palm.pdb").image.height, 450u);

    CliResult odd = runCli({"convert", path("odd.bmp")});
    EXPECT_EQ(odd.exitCode, 1);
    EXPECT_TRUE(contains(odd.err, "The image you've selected is a non-standard size."));
    EXPECT_TRUE(contains(odd.err, "160x160, 240x320, 320x320, 320x450, 320x480, 480x320, 480x480")) << odd.err;
    EXPECT_FALSE(fs::exists(dir.file("odd.pdb")));
}

TEST_F(ConvertTest, KeepAppliesTheCustomSizeRulesToThePicture) {
    picture("ok.bmp", 300, 200);
    picture("big.bmp", 700, 400);
    picture("thin.bmp", 500, 200);
    CliResult ok = runCli({"convert", "-s", "keep", path("ok.bmp")});
    ASSERT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_EQ(infoOf("ok.pdb").image.width, 300u);
    EXPECT_EQ(infoOf("ok.pdb").image.height, 200u);
    CliResult big = runCli({"convert", "-s", "keep", path("big.bmp")});
    EXPECT_EQ(big.exitCode, 1);
    EXPECT_TRUE(contains(big.err, "big.bmp: Width is too large.")) << big.err;
    CliResult thin = runCli({"convert", "-s", "keep", path("thin.bmp")});
    EXPECT_EQ(thin.exitCode, 1);
    EXPECT_TRUE(contains(thin.err, "thin.bmp: Incorrect aspect ratio! Must be less then 2:1.")) << thin.err;
}

TEST_F(ConvertTest, BatchGoesOnAfterABadFile) {
    fs::create_directory(dir.path() / "out");
    picture("one.bmp", 160, 160);
    writeFile(dir.file("bad.bmp"), {'B', 'M', 0, 0, 0, 0, 'x', 'y'});
    picture("two.png", 160, 160);
    CliResult r = runCli(
        {"convert", "-d", path("out"), "-b", "4", path("one.bmp"), path("bad.bmp"), path("two.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, dir.file("bad.bmp") + ": Error loading file!")) << r.err;
    EXPECT_TRUE(contains(r.out, "2 of 3 pictures converted, 1 failed")) << r.out;
    std::vector<std::string> written;
    for (const auto& e : fs::directory_iterator(dir.path() / "out")) written.push_back(e.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"one.pdb", "two.pdb"}));
    EXPECT_EQ(readDatabaseFacts(readFile((dir.path() / "out" / "two.pdb").string())).image.depth, 4u);
}

TEST_F(ConvertTest, SameOutputTwiceInABatchIsRefused) {
    picture("a.bmp", 160, 160);
    picture("a.png", 160, 160);
    CliResult r = runCli({"convert", path("a.bmp"), path("a.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "a.png: An earlier input of this batch was already written to")) << r.err;
    EXPECT_TRUE(contains(r.out, "1 of 2 pictures converted, 1 failed"));
}

TEST_F(ConvertTest, FailureLeavesNoPartialFileAndKeepsTheOldOne) {
    picture("big.bmp", 4001, 60);
    writeFile(dir.file("old.pdb"), {7, 7, 7});
    CliResult r = runCli({"convert", "-c", "-s", "160x160", "-o", path("old.pdb"), path("big.bmp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readFile(dir.file("old.pdb")), (std::vector<uint8_t>{7, 7, 7}));
    EXPECT_EQ(files(), (std::vector<std::string>{"big.bmp", "old.pdb"}));

    CliResult noFolder = runCli({"convert", "-s", "160x160", "-o", path("none/x.pdb"), path("big.bmp")});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_TRUE(contains(noFolder.err, "does not exist")) << noFolder.err;
    EXPECT_EQ(files(), (std::vector<std::string>{"big.bmp", "old.pdb"}));

    std::string small = picture("small.bmp", 160, 160);
    std::vector<uint8_t> before = readFile(small);
    CliResult overInput = runCli({"convert", "-o", path("small.bmp"), path("small.bmp")});
    EXPECT_EQ(overInput.exitCode, 1);
    EXPECT_TRUE(contains(overInput.err, "The output would replace the input picture.")) << overInput.err;
    EXPECT_EQ(readFile(small), before);
}

TEST_F(ConvertTest, NamesComeFromTheOutputFileOrTheNameOption) {
    picture("in.bmp", 160, 160);
    ASSERT_EQ(runCli({"convert", "-o", path("Sunset.pdb"), path("in.bmp")}).exitCode, 0);
    EXPECT_EQ(infoOf("Sunset.pdb").name, "Sunset");
    ASSERT_EQ(runCli({"convert", "-n", "  Beach.jpg ", "-o", path("b.pdb"), path("in.bmp")}).exitCode, 0);
    EXPECT_EQ(infoOf("b.pdb").name, "Beach");
    ASSERT_EQ(runCli({"convert", "--name=" + QString(40, 'q'), "-o", path("c.pdb"), path("in.bmp")}).exitCode, 0);
    EXPECT_EQ(infoOf("c.pdb").name, std::string(31, 'q'));
}

TEST_F(ConvertTest, DepthMethodAndCompressionReachTheDatabase) {
    picture("in.jpg", 640, 960);
    CliResult r = runCli({"convert", "-s", "320x480", "-b", "8", "-m", "diffused", "-c", "-o", path("c.pdb"),
                          path("in.jpg")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(runCli({"convert", "-s", "320x480", "-b", "8", "-o", path("u.pdb"), path("in.jpg")}).exitCode, 0);
    DatabaseFacts compressed = infoOf("c.pdb"), raw = infoOf("u.pdb");
    EXPECT_EQ(compressed.image.depth, 8u);
    EXPECT_EQ(compressed.image.rowBytes, 320);
    EXPECT_LT(readFile(dir.file("c.pdb")).size(), readFile(dir.file("u.pdb")).size());
    for (const auto& block : raw.blocks) EXPECT_EQ(block.compression, 0);
    bool anyCompressed = false;
    for (const auto& block : compressed.blocks) anyCompressed |= block.compression != 0;
    EXPECT_TRUE(anyCompressed);
    // Without compression the 51200-byte blocks hold 160 rows of 320 bytes.
    EXPECT_EQ(raw.blocks.size(), 3u);
}

TEST_F(ConvertTest, SourceDateEpochMakesRunsIdenticalInAnyTimeZone) {
    picture("in.png", 400, 300);
    auto build = [&](const std::string& name, const QString& zone) {
        CliResult r = runCli({"convert", "-s", "320x320", "-b", "8", "-c", "-n", "Same", "-o", path(name), path("in.png")},
                             {{"SOURCE_DATE_EPOCH", "1700000000"}, {"TZ", zone}});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return readFile(dir.file(name));
    };
    std::vector<uint8_t> first = build("a.pdb", "UTC"), second = build("b.pdb", "UTC"),
                         tokyo = build("c.pdb", "Asia/Tokyo");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, tokyo);
    CivilTime created = civilTimeOf(infoOf("a.pdb").created);
    EXPECT_EQ(std::tuple(created.year, created.month, created.day, created.hour, created.minute, created.second),
              std::tuple(2023, 11, 14, 22, 13, 20));
}

TEST_F(ConvertTest, CropPadAndStretchGiveDifferentCorners) {
    // Black bars left and right of a red/green/blue/yellow square.
    QImage barred(600, 300, QImage::Format_RGB32);
    barred.fill(Qt::black);
    QImage square = quadrants(300, 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) barred.setPixel(150 + x, y, square.pixel(x, y));
    savePicture(barred, dir.file("barred.png"));
    auto cornerAfter = [&](const std::string& fit) {
        const QString mode = QString::fromStdString(fit);
        EXPECT_EQ(runCli({"convert", "-s", "160x160", "-f", mode, "--border", "FF00FF", "-o", path(fit + ".pdb"),
                          path("barred.png")})
                      .exitCode,
                  0);
        EXPECT_EQ(runCli({"open", path(fit + ".pdb"), path(fit + ".bmp")}).exitCode, 0);
        QImage back(path(fit + ".bmp"));
        EXPECT_EQ(back.size(), QSize(160, 160));
        return back.pixelColor(3, 3);
    };
    EXPECT_EQ(cornerAfter("crop"), kRed);
    EXPECT_EQ(cornerAfter("pad"), QColor(255, 0, 255));
    EXPECT_EQ(cornerAfter("stretch"), QColor(Qt::black));
}

}  // namespace
}  // namespace mireo::test
