// WriteBmp8 and WriteBmp8dith: nearest Palm colour and error diffusion,
// checked against values worked out by hand and against full table walks.
#include <gtest/gtest.h>

#include <random>

#include "reference_reduction.h"
#include "synthetic_picture.h"

using namespace mireo::test;

namespace {

class Palm8Reduction : public ::testing::Test {
protected:
    Palm8Reduction() { fillPalm8(palm); }

    // Reduces pixels given top row first; the result top row first too.
    std::vector<RefColour> reduce(Reduction reduction, const std::vector<RefColour>& pixels, int32_t w, int32_t h) {
        std::vector<uint8_t> file = reduceToFile(reduction, deviceBits32(pixels), palm, w, h, dir.file("out.bmp"));
        EXPECT_TRUE(ws.messages.empty()) << ws.messages[0].text;
        return filePixels(file, w, h);
    }

    PaletteTable palm{257};
    ScratchDir dir;
    RecordingWindowSystem ws;
};

constexpr RefColour kBlack{0, 0, 0}, kRed51{51, 0, 0};

std::vector<RefColour> randomPixels(std::size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> level(0, 255);
    std::vector<RefColour> pixels(count);
    for (RefColour& c : pixels) c = {level(random), level(random), level(random)};
    return pixels;
}

}  // namespace

TEST_F(Palm8Reduction, PaletteColoursComeOutUnchanged) {
    auto colours = referenceColours(palm, 256);
    for (Reduction r : {Reduction::Nearest8, Reduction::Diffused8}) EXPECT_EQ(reduce(r, colours, 16, 16), colours);
}

// Equally near rows: the lower row wins.  A one-pixel-wide picture spreads
// no error, so both exports agree.
TEST_F(Palm8Reduction, NearestColourTiesAndThresholds) {
    std::vector<RefColour> in = {{0, 115, 0}, {25, 0, 0}, {26, 0, 0}, {128, 128, 128}, {100, 100, 100}, {0, 0, 0}};
    std::vector<RefColour> want = {{0, 102, 0}, kBlack, kRed51, {136, 136, 136}, {102, 102, 102}, kBlack};
    EXPECT_EQ(reduce(Reduction::Nearest8, in, 6, 1), want);
    EXPECT_EQ(reduce(Reduction::Diffused8, in, 1, 6), want);
}

// 4 x 2, worked by hand (grid row 0 is the bottom row).  Column 1 bottom,
// 46 -> 51, error -5: 7 * -5 / 16 = -2 to the right (28 -> 26, still 51),
// 4 * -5 / 16 = -1 above (27 -> 26, still 51).  The pixel above then errs
// by -25 and pushes -10 into a black pixel, which stays black (clamped);
// column 2 bottom errs by -25 and pushes -6 above, clamped too.
TEST_F(Palm8Reduction, NegativeErrorsTruncateTowardZeroAndClamp) {
    std::vector<RefColour> in = {kBlack, {27, 0, 0}, kBlack, kBlack,  //
                                 kBlack, {46, 0, 0}, {28, 0, 0}, kBlack};
    std::vector<RefColour> want = {kBlack, kRed51, kBlack, kBlack,  //
                                   kBlack, kRed51, kRed51, kBlack};
    EXPECT_EQ(reduce(Reduction::Diffused8, in, 4, 2), want);
}

// 3 x 2 by hand.  Column 0 spreads only to the right (20 + 8 = 28 becomes
// 51; 22 + 9 -> 0 + 9 = 9), column 1 (= W - 2) only upwards (9 - 5 = 4,
// black), column 2 not at all: 26 above 30 stays 26 and becomes 51.
TEST_F(Palm8Reduction, ErrorReachesOnlyInnerColumns) {
    std::vector<RefColour> in = {{22, 0, 0}, kBlack, {26, 0, 0},  //
                                 {20, 0, 0}, {20, 0, 0}, {30, 0, 0}};
    EXPECT_EQ(reduce(Reduction::Diffused8, in, 3, 2),
              (std::vector<RefColour>{kBlack, kBlack, kRed51, kBlack, kRed51, kRed51}));
    EXPECT_EQ(reduce(Reduction::Nearest8, in, 3, 2),
              (std::vector<RefColour>{kBlack, kBlack, kRed51, kBlack, kBlack, kRed51}));
}

// An error whose absolute sum is 3 stays put; 4 is spread (7 * 4 / 16 = 1
// lifts 25 to 26, which becomes 51).  One pixel high: only to the right.
TEST_F(Palm8Reduction, ErrorsAboveThreeAreSpread) {
    EXPECT_EQ(reduce(Reduction::Diffused8, {{54, 0, 0}, {25, 0, 0}, kBlack}, 3, 1),
              (std::vector<RefColour>{kRed51, kBlack, kBlack}));
    EXPECT_EQ(reduce(Reduction::Diffused8, {{52, 1, 1}, {25, 0, 0}, kBlack}, 3, 1),
              (std::vector<RefColour>{kRed51, kBlack, kBlack}));
    EXPECT_EQ(reduce(Reduction::Diffused8, {{55, 0, 0}, {25, 0, 0}, kBlack}, 3, 1),
              (std::vector<RefColour>{kRed51, kRed51, kBlack}));
    EXPECT_EQ(reduce(Reduction::Diffused8, {{20, 0, 0}, {20, 0, 0}, {20, 0, 0}}, 3, 1),
              (std::vector<RefColour>{kBlack, kRed51, kBlack}));
}

TEST_F(Palm8Reduction, OneAndTwoColumnPicturesSpreadNothing) {
    for (int32_t w : {1, 2}) {
        auto in = randomPixels(static_cast<std::size_t>(w) * 40, 5u + static_cast<uint32_t>(w));
        EXPECT_EQ(reduce(Reduction::Diffused8, in, w, 40), reduce(Reduction::Nearest8, in, w, 40)) << "width " << w;
    }
}

TEST_F(Palm8Reduction, OnlyTheFirst256RowsOfALargerTableCount) {
    PaletteTable big(300);
    fillPalm8(big);
    for (int32_t row = 256; row < 300; ++row) big.set(row, 46, 0, 0);
    std::vector<uint8_t> file = reduceToFile(Reduction::Nearest8, deviceBits32({{46, 0, 0}}), big, 1, 1, dir.file("a.bmp"));
    EXPECT_EQ(filePixels(file, 1, 1), std::vector<RefColour>{kRed51});
}

TEST_F(Palm8Reduction, TableWithAnotherLowerBoundIsReadFromItsFirstRow) {
    palm.arg.lowerBound[0] = 1;
    palm.arg.lowerBound[1] = 0;
    EXPECT_EQ(reduce(Reduction::Nearest8, {{25, 0, 0}, {26, 0, 0}}, 2, 1), (std::vector<RefColour>{kBlack, kRed51}));
}

// The exports agree byte for byte with the full table walk on a photo-like
// picture and on noise, for odd sizes and every pad length.
TEST_F(Palm8Reduction, FilesMatchTheFullTableWalk) {
    SyntheticPicture photo(61, 47, 3);
    auto noise = deviceBits32(randomPixels(5 * 9, 77));
    for (Reduction r : {Reduction::Nearest8, Reduction::Diffused8}) {
        auto bits = photo.deviceBits(32);
        EXPECT_EQ(reduceToFile(r, bits, palm, 61, 47, dir.file("p.bmp")), referenceBmp(r, bits, palm, 61, 47, 32));
        EXPECT_EQ(reduceToFile(r, noise, palm, 5, 9, dir.file("n.bmp")), referenceBmp(r, noise, palm, 5, 9, 32));
        EXPECT_EQ(reduceToFile(r, noise, palm, 9, 5, dir.file("m.bmp")), referenceBmp(r, noise, palm, 9, 5, 32));
    }
    EXPECT_TRUE(ws.messages.empty());
}

// 24-bit bits give the same file as 32-bit ones; 16-bit words are
// expanded first (0x8410 -> (132, 130, 132) -> grey 136); an unknown depth
// is a black picture.
TEST_F(Palm8Reduction, EveryInputDepth) {
    SyntheticPicture photo(10, 7);
    for (Reduction r : {Reduction::Nearest8, Reduction::Diffused8}) {
        EXPECT_EQ(reduceToFile(r, photo.deviceBits(24), palm, 10, 7, dir.file("a.bmp"), 24),
                  reduceToFile(r, photo.deviceBits(32), palm, 10, 7, dir.file("b.bmp"), 32));
        std::vector<uint8_t> words = {0x10, 0x84, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00};
        EXPECT_EQ(filePixels(reduceToFile(r, words, palm, 4, 1, dir.file("c.bmp"), 16), 4, 1),
                  (std::vector<RefColour>{{136, 136, 136}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}));
        EXPECT_EQ(filePixels(reduceToFile(r, photo.deviceBits(32), palm, 10, 7, dir.file("d.bmp"), 8), 10, 7),
                  std::vector<RefColour>(70, kBlack));
    }
    EXPECT_TRUE(ws.messages.empty());
}
