// Pictures out: capture of device bits, the program's working BMP files,
// reduction, database building with the choice between the two block
// sizes, and the one way files are replaced.
#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/build_pdb.h"
#include "imaging/capture.h"
#include "imaging/library_args.h"
#include "imaging/linked_library.h"
#include "imaging/reduce.h"
#include "imaging/replacement_file.h"
#include "imaging/working_bmp.h"
#include "pdb_reader.h"
#include "pictures.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace mireo::imaging {
namespace {

using Names = std::vector<std::string>;

TEST(Capture, BlueGreenRedAndAnUnusedByteTopRowFirst) {
    QImage picture(2, 2, QImage::Format_RGB32);
    const QColor colours[] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {1, 2, 3}};
    for (int i = 0; i < 4; ++i) picture.setPixelColor(i % 2, i / 2, colours[i]);
    const std::vector<uint8_t> expected{30, 20, 10, 0, 60, 50, 40, 0, 90, 80, 70, 0, 3, 2, 1, 0};
    EXPECT_EQ(captureDeviceBits(picture), expected);
    EXPECT_EQ(captureDeviceBits(picture.convertToFormat(QImage::Format_RGB888)), expected);
    EXPECT_EQ(captureDeviceBits(QImage(3, 5, QImage::Format_RGB32)).size(), 60u);
}

TEST(WorkingBmp, IsByteForByteWhatTheLibraryWritesAndNeverReplacesAFolder) {
    test::ScratchDir dir;
    for (QSize size : {QSize(1, 1), QSize(2, 3), QSize(5, 2), QSize(7, 4)}) {  // every row padding
        QImage picture(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) picture.setPixelColor(x, y, QColor(x * 30, y * 50, 7 * x + y));
        saveWorkingBmp(picture, dir.file("ours.bmp"));
        std::vector<uint8_t> bits = captureDeviceBits(picture);
        MireoArray bitsArg = byteArrayOf(bits);
        int32_t width = size.width(), height = size.height(), depth = kCaptureBitsPerPixel;
        LibraryString file(dir.file("library.bmp"));
        linkedLibrary().WriteBmp24(&bitsArg, &width, &height, file.get(), &depth);
        EXPECT_EQ(test::readFile(dir.file("ours.bmp")), test::readFile(dir.file("library.bmp")));
        EXPECT_EQ(readWorkingBmp(QString::fromStdString(dir.file("ours.bmp"))), picture);
    }
    fs::create_directory(dir.file("folder.bmp"));
    EXPECT_THROW(saveWorkingBmp(QImage(2, 2, QImage::Format_RGB32), dir.file("folder.bmp")), std::system_error);
    EXPECT_THROW(saveWorkingBmp(QImage(2, 2, QImage::Format_RGB32), dir.file("missing/x.bmp")), std::exception);
    EXPECT_TRUE(fs::is_directory(dir.file("folder.bmp")));
    EXPECT_EQ(test::fileNames(dir.path()), (Names{"folder.bmp", "library.bmp", "ours.bmp"})) << "no hidden file left";
}

class BuildPdbTest : public ::testing::Test {
protected:
    test::ScratchDir dir;
    test::RecordingWindowSystem windows;
    Palettes palettes;

    bool reduce(const QImage& picture, int depth, Method method, const std::string& bmp) {
        return writeReducedBmp(linkedLibrary(), picture, depth, method, dir.file(bmp), palettes.grey16, palettes.palm8);
    }
    PdbRequest reduced(const QImage& picture, int depth) {
        EXPECT_TRUE(reduce(picture, depth, Method::Nearest, "work.bmp"));
        return PdbRequest{dir.file("work.bmp"), {picture.width(), picture.height()}, depth, "Test", false};
    }
    std::optional<int32_t> build(const PdbRequest& request, const std::string& name) {
        return buildPdb(linkedLibrary(), request, dir.file(name), palettes.grey16, palettes.palm8);
    }
    DatabaseFacts facts(const std::string& name) { return readDatabaseFacts(test::readFile(dir.file(name))); }
};

TEST_F(BuildPdbTest, PaletteColoursSurviveReductionUnchanged) {
    QImage picture(4, 2, QImage::Format_RGB32);
    const QColor colours[8] = {{255, 255, 255}, {0, 0, 0},   {255, 204, 255}, {0, 51, 0},
                               {192, 192, 192}, {128, 0, 0}, {0, 128, 128},   {17, 17, 17}};
    for (int i = 0; i < 8; ++i) picture.setPixelColor(i % 4, i / 4, colours[i]);
    for (Method method : {Method::Nearest, Method::Diffused}) {
        ASSERT_TRUE(reduce(picture, 8, method, "p.bmp"));
        QImage back = readWorkingBmp(QString::fromStdString(dir.file("p.bmp")));
        for (int i = 0; i < 8; ++i) EXPECT_EQ(back.pixelColor(i % 4, i / 4), colours[i]) << i;
    }
    EXPECT_TRUE(windows.messages.empty());
}

TEST_F(BuildPdbTest, UncompressedBuildUsesBlock1AndLeavesOnlyTheOutput) {
    PdbRequest request = reduced(test::quadrants(160, 160), 16);
    request.block2 = 5121;  // must not be used without compression
    // 160 rows of 320 bytes in one block, behind 160 bytes of headers.
    EXPECT_EQ(build(request, "out.pdb"), 160 + 51200);
    EXPECT_EQ(fs::file_size(dir.file("out.pdb")), 160u + 51200u);
    EXPECT_EQ(facts("out.pdb").blocks.size(), 1u);
    EXPECT_EQ(test::fileNames(dir.path()), (Names{"out.pdb", "work.bmp"}));
}

TEST_F(BuildPdbTest, CompressedBuildKeepsTheSmallerOfTheTwoBlockSizes) {
    PdbRequest request = reduced(test::quadrants(320, 480), 8);
    request.compress = true;
    auto onlyWith = [&](int32_t block) {
        PdbRequest single = request;
        single.block1 = single.block2 = block;
        return build(single, "single.pdb").value();
    };
    const int32_t with51200 = onlyWith(51200), with5120 = onlyWith(5120);
    ASSERT_NE(with51200, with5120);
    for (auto [block1, block2] : {std::pair{5120, 51200}, std::pair{51200, 5120}}) {
        request.block1 = block1, request.block2 = block2;
        EXPECT_EQ(build(request, "out.pdb"), std::min(with51200, with5120)) << block1;
        // 160 rows of 320 bytes fill a 51200-byte block, 16 rows a 5120-byte one.
        EXPECT_EQ(facts("out.pdb").blocks.size(), with51200 < with5120 ? 3u : 30u);
    }
    EXPECT_EQ(test::fileNames(dir.path()), (Names{"out.pdb", "single.pdb", "work.bmp"}));
}

TEST(SmallerCandidate, TheBlock2BuildWinsTiesAndAFailedBuildNeverWins) {
    using S = std::optional<int32_t>;
    const std::tuple<S, S, Winner> cases[] = {
        {100, 100, Winner::Block2}, {100, 99, Winner::Block1}, {99, 100, Winner::Block2},
        {std::nullopt, 5, Winner::Block1}, {5, std::nullopt, Winner::Block2},
        {std::nullopt, std::nullopt, Winner::None}};
    for (auto [withBlock2, withBlock1, winner] : cases) EXPECT_EQ(smallerCandidate(withBlock2, withBlock1), winner);
}

TEST_F(BuildPdbTest, FailureReplacesNothingAndOnlyRegularFilesAreReplaced) {
    test::writeFile(dir.file("out.pdb"), {1, 2, 3});
    PdbRequest missing{dir.file("missing.bmp"), {160, 160}, 16, "Test", true};
    EXPECT_FALSE(build(missing, "out.pdb").has_value());
    EXPECT_EQ(test::readFile(dir.file("out.pdb")), (std::vector<uint8_t>{1, 2, 3}));
    ASSERT_EQ(windows.messages.size(), 2u) << "each candidate is tried";
    EXPECT_EQ(windows.messages[1].text, "Error in dll module CompilePDB. Unable to find temporary image file.");

    // A folder and a link to nowhere are refused; a link stays and the file
    // it leads to is replaced; a device is written into, never replaced.
    PdbRequest request = reduced(test::quadrants(160, 160), 16);
    fs::create_directory(dir.file("folder.pdb"));
    fs::create_symlink(dir.file("nowhere.pdb"), dir.file("broken.pdb"));
    for (const char* name : {"folder.pdb", "broken.pdb"}) EXPECT_THROW(build(request, name), std::system_error) << name;
    EXPECT_TRUE(fs::is_directory(dir.file("folder.pdb")));
    EXPECT_TRUE(fs::is_symlink(dir.file("broken.pdb")));
    fs::create_symlink(dir.file("out.pdb"), dir.file("link.pdb"));
    const std::optional<int32_t> size = build(request, "link.pdb");
    ASSERT_TRUE(size.has_value());
    EXPECT_TRUE(fs::is_symlink(dir.file("link.pdb")));
    EXPECT_EQ(fs::file_size(dir.file("out.pdb")), static_cast<std::uintmax_t>(*size));
    EXPECT_EQ(buildPdb(linkedLibrary(), request, "/dev/null", palettes.grey16, palettes.palm8), size);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(test::fileNames(dir.path()), (Names{"broken.pdb", "folder.pdb", "link.pdb", "out.pdb", "work.bmp"}));
}

TEST(ReplacementFile, MovingOverKeepsTheTargetUntilTheNewFileIsThere) {
    test::ScratchDir dir;
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
