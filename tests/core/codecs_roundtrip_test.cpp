// Every encoder's stream decodes back to its block, for blocks of many
// shapes and contents, and carries its own length.
#include <gtest/gtest.h>

#include <random>

#include "codecs.h"
#include "numeric.h"

using Bytes = std::vector<uint8_t>;

namespace {

// Random bytes, or runs of random lengths from a few values with rows that
// often repeat the row above (what pictures with flat areas look like).
Bytes makeBlock(std::mt19937& rng, int32_t rows, int32_t rowBytes, bool runHeavy) {
    Bytes block(static_cast<std::size_t>(rows) * rowBytes);
    if (!runHeavy) {
        for (auto& b : block) b = static_cast<uint8_t>(rng());
        return block;
    }
    std::size_t i = 0;
    while (i < block.size()) {
        if (i >= static_cast<std::size_t>(rowBytes) && rng() % 3 == 0) {
            for (std::size_t n = 0; n < static_cast<std::size_t>(rowBytes) && i < block.size(); ++n, ++i)
                block[i] = block[i - rowBytes];
            continue;
        }
        auto value = static_cast<uint8_t>(rng() % 4);
        std::size_t run = 1 + rng() % 300;
        for (std::size_t n = 0; n < run && i < block.size(); ++n) block[i++] = value;
    }
    return block;
}

void expectFramed(const Bytes& s) {
    ASSERT_GE(s.size(), 4u);
    EXPECT_EQ(mireo::getBe32(s.data()), s.size());
}

void checkBlock(const Bytes& block, int32_t rows, int32_t width, int32_t depth) {
    int32_t rowBytes = mireo::packedRowBytes(width, depth);
    Bytes out;
    auto s = mireo::encodeScanline(block, rows, rowBytes);
    expectFramed(s);
    EXPECT_EQ(mireo::decodeScanline(s, rows, rowBytes, out), s.size());
    EXPECT_EQ(out, block) << "scanline";
    if (depth == 16) {
        s = mireo::encodePackBits16(block, rows, width);
        expectFramed(s);
        EXPECT_EQ(mireo::decodePackBits(s, rows, rowBytes, 16, out), s.size());
        EXPECT_EQ(out, block) << "packbits 16";
        EXPECT_LE(s.size(), 2 * block.size() + 4);
        return;
    }
    s = mireo::encodeRle(block, rows, rowBytes);
    expectFramed(s);
    EXPECT_EQ(mireo::decodeRle(s, rows, rowBytes, out), s.size());
    EXPECT_EQ(out, block) << "rle";
    s = mireo::encodePackBits8(block, rows, rowBytes);
    expectFramed(s);
    EXPECT_EQ(mireo::decodePackBits(s, rows, rowBytes, depth, out), s.size());
    EXPECT_EQ(out, block) << "packbits";
}

}  // namespace

TEST(CodecRoundTrip, EveryWidthAtEveryDepth) {
    std::mt19937 rng(20240611);
    for (int32_t depth : {16, 8, 4}) {
        for (int32_t width = 1; width <= 600; ++width) {
            int32_t rows = 1 + width % 5;
            int32_t rowBytes = mireo::packedRowBytes(width, depth);
            for (bool runHeavy : {false, true}) {
                SCOPED_TRACE(testing::Message() << width << " x " << rows << " at " << depth << (runHeavy ? " runs" : ""));
                checkBlock(makeBlock(rng, rows, rowBytes, runHeavy), rows, width, depth);
                if (HasFailure()) return;
            }
        }
    }
}

TEST(CodecRoundTrip, TallBlocksAndUniformContent) {
    std::mt19937 rng(7);
    for (int32_t depth : {16, 8, 4}) {
        for (int32_t width : {160, 240, 320, 480}) {
            int32_t rowBytes = mireo::packedRowBytes(width, depth);
            int32_t rows = 51200 / rowBytes;
            SCOPED_TRACE(testing::Message() << width << " at " << depth);
            checkBlock(makeBlock(rng, rows, rowBytes, true), rows, width, depth);
            checkBlock(Bytes(static_cast<std::size_t>(rows) * rowBytes, 0xFF), rows, width, depth);
        }
    }
}

TEST(CodecRoundTrip, EmptyBlockIsABareLengthField) {
    Bytes out{1, 2, 3};
    auto s = mireo::encodeScanline({}, 0, 10);
    EXPECT_EQ(s, (Bytes{0, 0, 0, 4}));
    EXPECT_EQ(mireo::decodeScanline(s, 0, 10, out), 4u);
    EXPECT_TRUE(out.empty());
}
