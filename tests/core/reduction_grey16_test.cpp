// WriteBmp4 (nearest grey by squared distance over the whole table) and
// WriteBmp4dith (diffusion over the first 16 rows by absolute differences).
#include <gtest/gtest.h>

#include "reference_reduction.h"
#include "synthetic_picture.h"

using namespace mireo::test;

namespace {

class Grey16Reduction : public ::testing::Test {
protected:
    Grey16Reduction() { fillGrey16(greys); }

    std::vector<RefColour> reduce(Reduction reduction, const std::vector<RefColour>& pixels, int32_t w, int32_t h,
                                  const PaletteTable& table) {
        std::vector<uint8_t> file = reduceToFile(reduction, deviceBits32(pixels), table, w, h, dir.file("out.bmp"));
        EXPECT_TRUE(ws.messages.empty()) << ws.messages[0].text;
        return filePixels(file, w, h);
    }
    std::vector<RefColour> reduce(Reduction reduction, const std::vector<RefColour>& pixels, int32_t w, int32_t h) {
        return reduce(reduction, pixels, w, h, greys);
    }

    PaletteTable greys{17};
    ScratchDir dir;
    RecordingWindowSystem ws;
};

RefColour grey(int level) { return {level, level, level}; }

}  // namespace

TEST_F(Grey16Reduction, TableGreysComeOutUnchanged) {
    std::vector<RefColour> levels;
    for (int i = 0; i < 16; ++i) levels.push_back(grey(255 - 17 * i));
    EXPECT_EQ(reduce(Reduction::Nearest4, levels, 4, 4), levels);
    EXPECT_EQ(reduce(Reduction::Diffused4, levels, 4, 4), levels);
}

// The grey nearest to the mean: 8.33 -> 0, 9 -> 17, 33.3 -> 34, 85 -> 85.
TEST_F(Grey16Reduction, NearestGreyFollowsTheMean) {
    EXPECT_EQ(reduce(Reduction::Nearest4, {{8, 8, 9}, {9, 9, 9}, {100, 0, 0}, {255, 0, 0}, {0, 0, 0}}, 5, 1),
              (std::vector<RefColour>{grey(0), grey(17), grey(34), grey(85), grey(0)}));
}

// Absolute differences make pure red black (255 against 272 for grey 17).
TEST_F(Grey16Reduction, DiffusionMeasuresAbsoluteDifferences) {
    EXPECT_EQ(reduce(Reduction::Diffused4, {{255, 0, 0}}, 1, 1), std::vector<RefColour>{grey(0)});
    EXPECT_EQ(reduce(Reduction::Nearest4, {{255, 0, 0}}, 1, 1), std::vector<RefColour>{grey(85)});
}

// 3 x 1 by hand: 250 -> 255 errs by -5 per channel (sum 15), so 7 * -5 / 16
// = -2 reaches the middle pixel: 247 - 2 = 245 is nearer 238 than 255.
TEST_F(Grey16Reduction, DiffusionSpreadsTheGreyError) {
    EXPECT_EQ(reduce(Reduction::Diffused4, {grey(250), grey(247), grey(247)}, 3, 1),
              (std::vector<RefColour>{grey(255), grey(238), grey(255)}));
}

// Rows beyond the 16th take part in the nearest search; the second-to-last
// row is the starting candidate and keeps its ties; fractional values are
// compared as they are and written rounded, halves to even.
TEST_F(Grey16Reduction, NearestReadsEveryRowAndStartsFromTheSecondToLast) {
    PaletteTable extended(18);
    fillGrey16(extended);
    extended.set(17, 255, 0, 0);
    EXPECT_EQ(reduce(Reduction::Nearest4, {{255, 0, 0}}, 1, 1, extended),
              (std::vector<RefColour>{{255, 0, 0}}));
    EXPECT_EQ(reduce(Reduction::Diffused4, {{255, 0, 0}}, 1, 1, extended), std::vector<RefColour>{grey(0)});

    PaletteTable tied(3);
    tied.set(0, 10, 10, 10);
    tied.set(1, 12, 12, 12);
    tied.set(2, 200, 200, 200);
    EXPECT_EQ(reduce(Reduction::Nearest4, {grey(11), grey(0)}, 2, 1, tied),
              (std::vector<RefColour>{grey(12), grey(10)}));

    PaletteTable halves(3);
    halves.set(0, 10, 10, 10);
    halves.set(1, 12.5f, 12.5f, 12.5f);
    halves.set(2, 200, 200, 200);
    EXPECT_EQ(reduce(Reduction::Nearest4, {grey(11), grey(12)}, 2, 1, halves),
              (std::vector<RefColour>{grey(10), grey(12)}));
}

TEST_F(Grey16Reduction, FilesMatchTheFullTableWalkAndRepeatExactly) {
    SyntheticPicture photo(43, 29, 9);
    for (int32_t bpp : {32, 24, 16}) {
        auto bits = photo.deviceBits(bpp);
        for (Reduction r : {Reduction::Nearest4, Reduction::Diffused4}) {
            auto first = reduceToFile(r, bits, greys, 43, 29, dir.file("a.bmp"), bpp);
            EXPECT_EQ(first, referenceBmp(r, bits, greys, 43, 29, bpp)) << "depth " << bpp;
            EXPECT_EQ(reduceToFile(r, bits, greys, 43, 29, dir.file("a.bmp"), bpp), first);
        }
    }
    EXPECT_TRUE(ws.messages.empty());
}

TEST_F(Grey16Reduction, UnknownDepthIsABlackPicture) {
    SyntheticPicture photo(6, 5);
    for (Reduction r : {Reduction::Nearest4, Reduction::Diffused4})
        EXPECT_EQ(filePixels(reduceToFile(r, photo.deviceBits(32), greys, 6, 5, dir.file("a.bmp"), 12), 6, 5),
                  std::vector<RefColour>(30, grey(0)));
}
