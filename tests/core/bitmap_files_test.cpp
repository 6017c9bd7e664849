// WriteBmp24, the device-bit decoding and the BMP layout.
#include <gtest/gtest.h>

#include <cmath>

#include "bmp.h"
#include "test_support.h"

using namespace mireo::test;

namespace {

std::vector<uint8_t> writeBmp24(std::vector<uint8_t> bits, int32_t w, int32_t h, int32_t bpp, const std::string& path) {
    MireoArray array = byteArray(bits);
    StringArg name(path);
    WriteBmp24(&array, &w, &h, &name, &bpp);
    return readFile(path);
}

std::vector<uint8_t> pixelData(const std::vector<uint8_t>& file) { return {file.begin() + 54, file.end()}; }

}  // namespace

TEST(BmpLayout, HeaderFieldsAreThoseOfAWorkingFile) {
    auto h = mireo::bmpHeader(3, 2);
    const uint8_t expected[54] = {'B', 'M', 54 + 24, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                  3,   0,   0,       0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0,
                                  0,   0,   0x13,    0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(h.begin(), h.end()), std::vector<uint8_t>(expected, expected + 54));
}

TEST(BmpLayout, RowPaddingFollowsTheWidth) {
    EXPECT_EQ(mireo::rowPad(1), 1);
    EXPECT_EQ(mireo::rowPad(2), 2);
    EXPECT_EQ(mireo::rowPad(3), 3);
    EXPECT_EQ(mireo::rowPad(4), 0);
    for (int w : {160, 320, 480}) EXPECT_EQ(mireo::rowPad(w), 0) << w;
}

TEST(ExpandRgb565, SpotValues) {
    auto c = mireo::expandRgb565(0xFF, 0xFF);
    EXPECT_EQ(c.red, 255);
    EXPECT_EQ(c.green, 255);
    EXPECT_EQ(c.blue, 255);
    c = mireo::expandRgb565(0x21, 0x08);  // red 1, green 1, blue 1
    EXPECT_EQ(c.red, 8);
    EXPECT_EQ(c.green, 4);
    EXPECT_EQ(c.blue, 8);
    EXPECT_EQ(mireo::expandRgb565(0x00, 15 << 3).red, 123);
    EXPECT_EQ(mireo::expandRgb565(0x00, 16 << 3).red, 132);
    EXPECT_EQ(mireo::expandRgb565(0x00, 0x04).green, 130);  // green 32
}

TEST(ExpandRgb565, EveryChannelValueRoundsItsScaledValue) {
    for (int v = 0; v < 32; ++v) {
        auto c = mireo::expandRgb565(static_cast<uint8_t>(v), static_cast<uint8_t>(v << 3));
        EXPECT_EQ(c.blue, std::lround(v * 255.0 / 31)) << v;
        EXPECT_EQ(c.red, std::lround(v * 255.0 / 31)) << v;
    }
    for (int g = 0; g < 64; ++g) {
        auto c = mireo::expandRgb565(static_cast<uint8_t>((g & 7) << 5), static_cast<uint8_t>(g >> 3));
        EXPECT_EQ(c.green, std::lround(g * 255.0 / 63)) << g;
    }
}

TEST(WriteBmp24, ThirtyTwoBitPixelsDropTheFourthByteAndPadTheRow) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    auto file = writeBmp24({10, 20, 30, 99, 40, 50, 60, 99}, 2, 1, 32, dir.file("a.bmp"));
    EXPECT_EQ(pixelData(file), (std::vector<uint8_t>{10, 20, 30, 40, 50, 60, 0, 0}));
    EXPECT_EQ(file.size(), 62u);
    EXPECT_TRUE(ws.messages.empty());
}

TEST(WriteBmp24, SixteenBitPrimaries) {
    ScratchDir dir;
    auto file = writeBmp24({0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00}, 4, 1, 16, dir.file("a.bmp"));
    EXPECT_EQ(pixelData(file), (std::vector<uint8_t>{255, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0}));
}

TEST(WriteBmp24, TwentyFourBitRowsAreWrittenBottomFirst) {
    ScratchDir dir;
    // 1 x 3 picture: top (1,2,3), middle (4,5,6), bottom (7,8,9); one pad byte per row.
    auto file = writeBmp24({1, 2, 3, 4, 5, 6, 7, 8, 9}, 1, 3, 24, dir.file("a.bmp"));
    EXPECT_EQ(pixelData(file), (std::vector<uint8_t>{7, 8, 9, 0, 4, 5, 6, 0, 1, 2, 3, 0}));
}

TEST(WriteBmp24, UnknownDepthGivesABlackPictureOfTheRightSize) {
    ScratchDir dir;
    auto file = writeBmp24(std::vector<uint8_t>(100, 0xAB), 3, 2, 8, dir.file("a.bmp"));
    EXPECT_EQ(file.size(), 54u + 2 * 12);
    EXPECT_EQ(pixelData(file), std::vector<uint8_t>(24, 0));
}

TEST(WriteBmp24, RowsBeyondTheEndOfTheArrayStayBlack) {
    ScratchDir dir;
    // 2 x 2 at 32 bits needs 16 bytes; 6 given: the first pixel and two bytes of the second.
    auto file = writeBmp24({1, 2, 3, 0, 4, 5}, 2, 2, 32, dir.file("a.bmp"));
    std::vector<uint8_t> expected = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0};
    EXPECT_EQ(pixelData(file), expected);
}

TEST(WriteBmp24, ReplacesAnExistingFileInsteadOfAppending) {
    ScratchDir dir;
    writeFile(dir.file("a.bmp"), std::vector<uint8_t>(1000, 7));
    auto file = writeBmp24({1, 2, 3, 4}, 1, 1, 32, dir.file("a.bmp"));
    EXPECT_EQ(file.size(), 58u);
}

TEST(WriteBmp24, MissingFolderIsReportedOnceAndTheNextCallWorks) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    std::vector<uint8_t> bits = {1, 2, 3, 4};
    MireoArray array = byteArray(bits);
    int32_t w = 1, h = 1, bpp = 32;
    StringArg bad(dir.file("missing/a.bmp"));
    WriteBmp24(&array, &w, &h, &bad, &bpp);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll module WriteBmp24 -  76 - Path not found");
    StringArg good(dir.file("a.bmp"));
    WriteBmp24(&array, &w, &h, &good, &bpp);
    EXPECT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(readFile(dir.file("a.bmp")).size(), 58u);
}

TEST(WriteBmp24, NonPositiveSizeIsAnInvalidCall) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    std::vector<uint8_t> bits = {1, 2, 3, 4};
    MireoArray array = byteArray(bits);
    int32_t w = 0, h = 1, bpp = 32;
    StringArg name(dir.file("a.bmp"));
    WriteBmp24(&array, &w, &h, &name, &bpp);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll module WriteBmp24 -  5 - Invalid procedure call or argument");
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.bmp")));
}
