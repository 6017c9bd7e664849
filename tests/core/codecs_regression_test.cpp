// Inputs that once made a fuzz target fail, replayed under the same rules:
// a decoder either fills the block from within its stream or throws
// DecodeError; every encoder's stream decodes back to its block.
#include <gtest/gtest.h>

#include <filesystem>

#include "codecs.h"
#include "numeric.h"
#include "test_support.h"

using Bytes = std::vector<uint8_t>;

namespace {

std::vector<Bytes> regressionInputs(const std::string& target) {
    std::vector<Bytes> inputs;
    std::filesystem::path dir = std::filesystem::path(MIREO_SOURCE_DIR) / "fuzz" / "regressions" / target;
    if (!std::filesystem::exists(dir)) return inputs;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        inputs.push_back(mireo::test::readFile(entry.path().string()));
    return inputs;
}

// rows, row bytes, options, then the stream (its length field made to match
// when bit 0 of the options is set).
void checkDecoderInput(const std::string& target, const Bytes& input) {
    ASSERT_GE(input.size(), 3u);
    int32_t rows = input[0] % 33, rowBytes = input[1] % 129;
    const int32_t depths[] = {16, 8, 4, 24};
    int32_t depth = depths[input[2] >> 1 & 3];
    Bytes stream(input.begin() + 3, input.end());
    if ((input[2] & 1) && stream.size() >= 4) mireo::putBe32(stream.data(), static_cast<uint32_t>(stream.size()));
    Bytes out;
    try {
        std::size_t consumed = target == "decode_scanline" ? mireo::decodeScanline(stream, rows, rowBytes, out)
                               : target == "decode_rle"    ? mireo::decodeRle(stream, rows, rowBytes, out)
                                                           : mireo::decodePackBits(stream, rows, rowBytes, depth, out);
        EXPECT_EQ(out.size(), static_cast<std::size_t>(rows * rowBytes));
        EXPECT_LE(consumed, stream.size());
    } catch (const mireo::DecodeError& e) {
        EXPECT_TRUE(e.number == 5 || e.number == 9 || e.number == 62) << e.number;
    }
}

// rows, width, depth, then bytes repeated to fill the block.
void checkRoundTripInput(const Bytes& input) {
    ASSERT_GE(input.size(), 3u);
    int32_t rows = input[0] % 17, width = 1 + input[1] % 200;
    const int32_t depths[] = {16, 8, 4};
    int32_t depth = depths[input[2] % 3];
    int32_t rowBytes = mireo::packedRowBytes(width, depth);
    Bytes block(static_cast<std::size_t>(rows * rowBytes));
    for (std::size_t i = 0; i < block.size() && input.size() > 3; ++i) block[i] = input[3 + i % (input.size() - 3)];
    Bytes out;
    auto s = mireo::encodeScanline(block, rows, rowBytes);
    EXPECT_EQ(mireo::getBe32(s.data()), s.size());
    mireo::decodeScanline(s, rows, rowBytes, out);
    EXPECT_EQ(out, block);
    if (depth == 16) {
        s = mireo::encodePackBits16(block, rows, width);
        mireo::decodePackBits(s, rows, rowBytes, 16, out);
    } else {
        s = mireo::encodeRle(block, rows, rowBytes);
        mireo::decodeRle(s, rows, rowBytes, out);
        EXPECT_EQ(out, block);
        s = mireo::encodePackBits8(block, rows, rowBytes);
        mireo::decodePackBits(s, rows, rowBytes, depth, out);
    }
    EXPECT_EQ(mireo::getBe32(s.data()), s.size());
    EXPECT_EQ(out, block);
}

}  // namespace

TEST(CodecFuzzRegressions, DecodersKeepTheirContract) {
    for (const char* target : {"decode_scanline", "decode_rle", "decode_packbits"})
        for (const Bytes& input : regressionInputs(target)) {
            SCOPED_TRACE(target);
            checkDecoderInput(target, input);
        }
}

TEST(CodecFuzzRegressions, EncodersRoundTrip) {
    auto inputs = regressionInputs("encode_roundtrip");
    EXPECT_FALSE(inputs.empty());
    for (const Bytes& input : inputs) checkRoundTripInput(input);
}

// The input that found it: later rows copy bytes from the row above, also
// where the row is a single byte wide.
TEST(CodecFuzzRegressions, ScanlineCopiesFromTheRowAboveInNarrowRows) {
    Bytes out;
    Bytes s{0, 0, 0, 7, 0x80, 9, 0x00};
    EXPECT_EQ(mireo::decodeScanline(s, 2, 1, out), 7u);
    EXPECT_EQ(out, (Bytes{9, 9}));
}
