// Reduction and database building through the library: the file that
// comes out, the choice between the two block sizes, and failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/build_pdb.h"
#include "imaging/linked_library.h"
#include "pdb_reader.h"
#include "imaging/reduce.h"
#include "imaging/replacement_file.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace mireo::imaging {
namespace {

class BuildPdbTest : public ::testing::Test {
protected:
    test::ScratchDir dir;
    test::RecordingWindowSystem windows;
    Palettes palettes;

    std::vector<std::string> filesInDir() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    PdbRequest reduced(const QImage& picture, int depth, Method method = Method::Nearest) {
        std::string bmp = dir.file("work.bmp");
        EXPECT_TRUE(writeReducedBmp(linkedLibrary(), picture, depth, method, bmp, palettes.grey16, palettes.palm8));
        return PdbRequest{bmp, {picture.width(), picture.height()}, depth, "Test", false};
    }
};

QImage solid(int width, int height, QColor colour) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

TEST_F(BuildPdbTest, PaletteColoursSurviveReductionUnchanged) {
    QImage picture(4, 2, QImage::Format_RGB32);
    const QColor colours[8] = {{255, 255, 255}, {0, 0, 0},   {255, 204, 255}, {0, 51, 0},
                               {192, 192, 192}, {128, 0, 0}, {0, 128, 128},   {17, 17, 17}};
    for (int i = 0; i < 8; ++i) picture.setPixelColor(i % 4, i / 4, colours[i]);
    for (Method method : {Method::Nearest, Method::Diffused}) {
        ASSERT_TRUE(writeReducedBmp(linkedLibrary(), picture, 8, method, dir.file("p.bmp"), palettes.grey16, palettes.palm8));
        QImage back(QString::fromStdString(dir.file("p.bmp")));
        for (int i = 0; i < 8; ++i) EXPECT_EQ(back.pixelColor(i % 4, i / 4), colours[i]) << i;
    }
    EXPECT_TRUE(windows.messages.empty());
}

TEST_F(BuildPdbTest, UncompressedBuildUsesBlock1AndLeavesOnlyTheOutput) {
    PdbRequest request = reduced(solid(160, 160, Qt::red), 16);
    request.block2 = 5121;  // must not be used without compression
    auto size = buildPdb(linkedLibrary(), request, dir.file("out.pdb"), palettes.grey16, palettes.palm8);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(*size, 160 + 51200);
    EXPECT_EQ(fs::file_size(dir.file("out.pdb")), 160u + 51200u);
    EXPECT_EQ(filesInDir(), (std::vector<std::string>{"out.pdb", "work.bmp"}));
    EXPECT_EQ(readDatabaseFacts(test::readFile(dir.file("out.pdb"))).blocks.size(), 1u);
}

TEST_F(BuildPdbTest, CompressedBuildKeepsTheSmallerOfTheTwoBlockSizes) {
    PdbRequest request = reduced(solid(320, 480, QColor(51, 102, 153)), 8);
    request.compress = true;
    auto onlyWith = [&](int32_t block) {
        PdbRequest single = request;
        single.block1 = single.block2 = block;
        return buildPdb(linkedLibrary(), single, dir.file("single.pdb"), palettes.grey16, palettes.palm8).value();
    };
    int32_t with51200 = onlyWith(51200), with5120 = onlyWith(5120);
    ASSERT_NE(with51200, with5120);

    request.block1 = 5120;
    request.block2 = 51200;
    EXPECT_EQ(buildPdb(linkedLibrary(), request, dir.file("out.pdb"), palettes.grey16, palettes.palm8), std::min(with51200, with5120));
    request.block1 = 51200;
    request.block2 = 5120;
    EXPECT_EQ(buildPdb(linkedLibrary(), request, dir.file("out.pdb"), palettes.grey16, palettes.palm8), std::min(with51200, with5120));
    DatabaseFacts info = readDatabaseFacts(test::readFile(dir.file("out.pdb")));
    EXPECT_EQ(info.blocks.size(), with51200 < with5120 ? 3u : 30u);
    EXPECT_EQ(filesInDir(), (std::vector<std::string>{"out.pdb", "single.pdb", "work.bmp"}));
}

TEST_F(BuildPdbTest, FailedBuildLeavesTheOlderFileUntouched) {
    test::writeFile(dir.file("out.pdb"), {1, 2, 3});
    PdbRequest request{dir.file("missing.bmp"), {160, 160}, 16, "Test", true};
    EXPECT_FALSE(buildPdb(linkedLibrary(), request, dir.file("out.pdb"), palettes.grey16, palettes.palm8).has_value());
    EXPECT_EQ(test::readFile(dir.file("out.pdb")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(filesInDir(), (std::vector<std::string>{"out.pdb"}));
    ASSERT_EQ(windows.messages.size(), 2u) << "each candidate is tried";
    EXPECT_EQ(windows.messages[1].text, "Error in dll module CompilePDB. Unable to find temporary image file.");
}

TEST_F(BuildPdbTest, NameIsCutToThirtyOneCharacters) {
    PdbRequest request = reduced(solid(160, 160, Qt::white), 4);
    request.name = std::string(40, 'n');
    ASSERT_TRUE(buildPdb(linkedLibrary(), request, dir.file("out.pdb"), palettes.grey16, palettes.palm8).has_value());
    EXPECT_EQ(readDatabaseFacts(test::readFile(dir.file("out.pdb"))).name, std::string(31, 'n'));
}

TEST(SmallerCandidate, TheBlock2BuildWinsTiesAndAFailedBuildNeverWins) {
    using S = std::optional<int32_t>;
    const std::tuple<S, S, Winner> cases[] = {
        {100, 100, Winner::Block2}, {100, 99, Winner::Block1}, {99, 100, Winner::Block2},
        {std::nullopt, 5, Winner::Block1}, {5, std::nullopt, Winner::Block2}, {std::nullopt, std::nullopt, Winner::None}};
    for (auto [withBlock2, withBlock1, winner] : cases) EXPECT_EQ(smallerCandidate(withBlock2, withBlock1), winner);
}

TEST_F(BuildPdbTest, AFolderOrLinkUnderTheOutputNameIsNeverReplaced) {
    PdbRequest request = reduced(solid(160, 160, Qt::white), 16);
    fs::create_directory(dir.file("folder.pdb"));
    fs::create_symlink(dir.file("work.bmp"), dir.file("link.pdb"));
    for (const char* name : {"folder.pdb", "link.pdb"})
        EXPECT_THROW(buildPdb(linkedLibrary(), request, dir.file(name), palettes.grey16, palettes.palm8),
                     std::system_error) << name;
    EXPECT_TRUE(fs::is_directory(dir.file("folder.pdb")));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.pdb")));
    EXPECT_EQ(filesInDir(), (std::vector<std::string>{"folder.pdb", "link.pdb", "work.bmp"}));
}

TEST_F(BuildPdbTest, MovingOverKeepsTheTargetUntilTheNewFileIsThere) {
    test::writeFile(dir.file("new"), {7, 8});
    test::writeFile(dir.file("old"), {1});
    moveFileOver(dir.file("new"), dir.file("old"));
    EXPECT_EQ(test::readFile(dir.file("old")), (std::vector<uint8_t>{7, 8}));
    EXPECT_FALSE(fs::exists(dir.file("new")));
    EXPECT_THROW(moveFileOver(dir.file("missing"), dir.file("old")), std::system_error);
    EXPECT_EQ(test::readFile(dir.file("old")), (std::vector<uint8_t>{7, 8}));
}

}  // namespace
}  // namespace mireo::imaging
