// The encoders against streams worked out by hand, byte for byte.
#include <gtest/gtest.h>

#include <numeric>

#include "codecs.h"
#include "errors.h"
#include "test_support.h"

using Bytes = std::vector<uint8_t>;
using mireo::test::codecStream;

namespace {

Bytes oneRowRle(const Bytes& row) { return mireo::encodeRle(row, 1, static_cast<int32_t>(row.size())); }
Bytes oneRowPackBits(const Bytes& row) { return mireo::encodePackBits8(row, 1, static_cast<int32_t>(row.size())); }

Bytes counting(std::size_t n, uint8_t first = 0) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), first);
    return b;
}

}  // namespace

TEST(PackedRowBytes, RoundsEachDepthToAnEvenRow) {
    EXPECT_EQ(mireo::packedRowBytes(160, 16), 320);
    EXPECT_EQ(mireo::packedRowBytes(161, 16), 322);
    EXPECT_EQ(mireo::packedRowBytes(160, 8), 160);
    EXPECT_EQ(mireo::packedRowBytes(161, 8), 162);
    EXPECT_EQ(mireo::packedRowBytes(160, 4), 80);
    EXPECT_EQ(mireo::packedRowBytes(161, 4), 82);
    EXPECT_EQ(mireo::packedRowBytes(162, 4), 82);
    EXPECT_EQ(mireo::packedRowBytes(163, 4), 82);
    EXPECT_EQ(mireo::packedRowBytes(1, 4), 2);
    EXPECT_EQ(mireo::packedRowBytes(1, 8), 2);
    EXPECT_EQ(mireo::packedRowBytes(0, 8), 0);
}

TEST(PackedRowBytes, RejectsWhatNoRowCanHold) {
    for (auto [width, depth] : {std::pair{10, 24}, {10, 0}, {-1, 8}}) {
        try {
            mireo::packedRowBytes(width, depth);
            ADD_FAILURE() << width << " at " << depth;
        } catch (const mireo::RuntimeError& e) {
            EXPECT_EQ(e.number, mireo::kInvalidCall);
        }
    }
    EXPECT_THROW(mireo::packedRowBytes(0x40000000, 16), mireo::RuntimeError);
}

TEST(RleEncoder, SplitsLongRunsAt255) {
    EXPECT_EQ(oneRowRle(Bytes(300, 0x5A)), codecStream({255, 0x5A, 45, 0x5A}));
    EXPECT_EQ(oneRowRle(Bytes(255, 7)), codecStream({255, 7}));
}

TEST(RleEncoder, LastByteOfARowClosesTheRun) {
    // A full run of 255 is written before the last byte, equal or not.
    Bytes full(256, 3);
    EXPECT_EQ(oneRowRle(full), codecStream({255, 3, 1, 3}));
    full.back() = 4;
    EXPECT_EQ(oneRowRle(full), codecStream({255, 3, 1, 4}));
    EXPECT_EQ(oneRowRle({1, 2, 2, 3}), codecStream({1, 1, 2, 2, 1, 3}));
    EXPECT_EQ(oneRowRle({1, 2, 2}), codecStream({1, 1, 2, 2}));
    EXPECT_EQ(oneRowRle({9}), codecStream({1, 9}));
}

TEST(RleEncoder, EncodesEveryRowByItself) {
    EXPECT_EQ(mireo::encodeRle(Bytes(4, 6), 2, 2), codecStream({2, 6, 2, 6}));
    EXPECT_EQ(mireo::encodeRle(Bytes{}, 0, 8), codecStream({}));
}

TEST(PackBitsEncoder, RepeatsNeedThreeEqualBytesOrTwoAtTheEnd) {
    EXPECT_EQ(oneRowPackBits({5, 5, 5}), codecStream({0xFE, 5}));
    EXPECT_EQ(oneRowPackBits({5, 5}), codecStream({0xFF, 5}));
    EXPECT_EQ(oneRowPackBits({5, 5, 6}), codecStream({2, 5, 5, 6}));
    EXPECT_EQ(oneRowPackBits({1, 2, 3, 4, 4}), codecStream({4, 1, 2, 3, 4, 4}));
    EXPECT_EQ(oneRowPackBits({1, 2, 3, 3}), codecStream({3, 1, 2, 3, 3}));
    EXPECT_EQ(oneRowPackBits({8}), codecStream({0, 8}));
}

TEST(PackBitsEncoder, SwitchesBetweenLiteralsAndRepeats) {
    EXPECT_EQ(oneRowPackBits({1, 2, 3, 3, 3}), codecStream({1, 1, 2, 0xFE, 3}));
    EXPECT_EQ(oneRowPackBits({1, 1, 1, 2, 3}), codecStream({0xFE, 1, 1, 2, 3}));
    EXPECT_EQ(oneRowPackBits({1, 1, 1, 2}), codecStream({0xFE, 1, 0, 2}));
    EXPECT_EQ(oneRowPackBits({1, 2, 2, 2, 3, 3, 3, 3, 4}), codecStream({0, 1, 0xFE, 2, 0xFD, 3, 0, 4}));
}

TEST(PackBitsEncoder, RepeatsHoldAtMost128Units) {
    EXPECT_EQ(oneRowPackBits(Bytes(128, 9)), codecStream({0x81, 9}));
    EXPECT_EQ(oneRowPackBits(Bytes(129, 9)), codecStream({0x81, 9, 0, 9}));
    EXPECT_EQ(oneRowPackBits(Bytes(130, 9)), codecStream({0x81, 9, 0xFF, 9}));
    EXPECT_EQ(oneRowPackBits(Bytes(131, 9)), codecStream({0x81, 9, 0xFE, 9}));
}

TEST(PackBitsEncoder, LiteralsHoldAtMost127Units) {
    Bytes row = counting(128);
    Bytes codes{126};
    codes.insert(codes.end(), row.begin(), row.begin() + 127);
    codes.insert(codes.end(), {0, 127});
    EXPECT_EQ(oneRowPackBits(row), codecStream(codes));

    // 127 literal units, then a repeat in the middle of the row.
    row = counting(127);
    row.insert(row.end(), {200, 200, 200, 1});
    codes = {126};
    codes.insert(codes.end(), row.begin(), row.begin() + 127);
    codes.insert(codes.end(), {0xFE, 200, 0, 1});
    EXPECT_EQ(oneRowPackBits(row), codecStream(codes));

    // 129 distinct units: the second-to-last opens a new literal that takes
    // the last one too.
    row = counting(129);
    codes = {126};
    codes.insert(codes.end(), row.begin(), row.begin() + 127);
    codes.insert(codes.end(), {1, 127, 128});
    EXPECT_EQ(oneRowPackBits(row), codecStream(codes));

    // 300 distinct units: a full literal is closed in the middle of the row.
    row = counting(300);
    Bytes s = oneRowPackBits(row);
    ASSERT_EQ(s.size(), 4u + 128 + 128 + 47);
    EXPECT_EQ(s[4], 126);
    EXPECT_EQ(s[4 + 128], 126);
    EXPECT_EQ(s[4 + 256], 45);
    EXPECT_EQ(s[4 + 256 + 1], 254);
}

TEST(PackBitsEncoder, NeverCrossesARow) {
    EXPECT_EQ(mireo::encodePackBits8(Bytes(6, 1), 2, 3), codecStream({0xFE, 1, 0xFE, 1}));
    EXPECT_EQ(mireo::encodePackBits8(Bytes{1, 2, 2, 2}, 2, 2), codecStream({1, 1, 2, 0xFF, 2}));
}

TEST(PackBits16Encoder, CountsTwoBytePixels) {
    // Three equal pixels are one repeat, though no two neighbouring bytes agree.
    EXPECT_EQ(mireo::encodePackBits16(Bytes{1, 2, 1, 2, 1, 2}, 1, 3), codecStream({0xFE, 1, 2}));
    // Equal bytes in different pixels are no repeat.
    EXPECT_EQ(mireo::encodePackBits16(Bytes{5, 5, 5, 6}, 1, 2), codecStream({1, 5, 5, 5, 6}));
    EXPECT_EQ(mireo::encodePackBits16(Bytes{7, 8}, 1, 1), codecStream({0, 7, 8}));
    Bytes row;
    for (int i = 0; i < 129; ++i) row.insert(row.end(), {0xF8, 0x1F});
    EXPECT_EQ(mireo::encodePackBits16(row, 1, 129), codecStream({0x81, 0xF8, 0x1F, 0, 0xF8, 0x1F}));
    EXPECT_EQ(mireo::encodePackBits16(Bytes{1, 1, 1, 1, 2, 3, 4, 5}, 2, 2), codecStream({0xFF, 1, 1, 1, 2, 3, 4, 5}));
}

TEST(PackBits16Encoder, LiteralOf127PixelsThenOne) {
    Bytes row;
    for (int i = 0; i < 128; ++i) row.insert(row.end(), {0, uint8_t(i)});
    Bytes codes{126};
    codes.insert(codes.end(), row.begin(), row.begin() + 254);
    codes.insert(codes.end(), {0, 0, 127});
    EXPECT_EQ(mireo::encodePackBits16(row, 1, 128), codecStream(codes));
}

TEST(ScanlineEncoder, StoresTheFirstRowWhole) {
    Bytes row = counting(8, 10);
    Bytes codes{0xFF};
    codes.insert(codes.end(), row.begin(), row.end());
    Bytes s = mireo::encodeScanline(row, 1, 8);
    EXPECT_EQ(s.size(), 13u);
    EXPECT_EQ(s, codecStream(codes));
    EXPECT_EQ(mireo::encodeScanline(Bytes{1, 2}, 1, 2), codecStream({0xC0, 1, 2}));
}

TEST(ScanlineEncoder, RowsLikeTheOneAboveCostOneFlagPerGroup) {
    Bytes row = counting(16);
    Bytes block;
    for (int r = 0; r < 3; ++r) block.insert(block.end(), row.begin(), row.end());
    Bytes codes{0xFF};
    codes.insert(codes.end(), row.begin(), row.begin() + 8);
    codes.push_back(0xFF);
    codes.insert(codes.end(), row.begin() + 8, row.end());
    codes.insert(codes.end(), {0, 0, 0, 0});
    EXPECT_EQ(mireo::encodeScanline(block, 3, 16), codecStream(codes));
}

TEST(ScanlineEncoder, ShortLastGroupUsesTheTopFlagBits) {
    // 82 bytes: ten groups of 8 and one of 2.
    Bytes first = counting(82, 1);
    Bytes second = first;
    second[0] = 200;   // group 0, bit 7
    second[15] = 201;  // group 1, bit 0
    second[81] = 202;  // short group, bit 6
    Bytes block = first;
    block.insert(block.end(), second.begin(), second.end());

    Bytes codes;
    for (std::size_t g = 0; g < 10; ++g) {
        codes.push_back(0xFF);
        codes.insert(codes.end(), first.begin() + 8 * g, first.begin() + 8 * g + 8);
    }
    codes.insert(codes.end(), {0xC0, 81, 82});
    codes.insert(codes.end(), {0x80, 200, 0x01, 201, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 202});
    EXPECT_EQ(mireo::encodeScanline(block, 2, 82), codecStream(codes));
}

TEST(Encoders, RejectABlockShorterThanItsRows) {
    Bytes block(10);
    EXPECT_THROW(mireo::encodeScanline(block, 2, 6), mireo::RuntimeError);
    EXPECT_THROW(mireo::encodeRle(block, 3, 4), mireo::RuntimeError);
    EXPECT_THROW(mireo::encodePackBits8(block, 1, 12), mireo::RuntimeError);
    EXPECT_THROW(mireo::encodePackBits16(block, 1, 6), mireo::RuntimeError);
    EXPECT_THROW(mireo::encodeRle(block, -1, 4), mireo::RuntimeError);
}
