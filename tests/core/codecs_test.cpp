// The codecs: every encoder against streams worked out by hand,
// the decoders on good, damaged and hostile streams, the codecs' own
// message boxes, and round trips over blocks of many shapes.
#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "codec_messages.h"
#include "numeric.h"
#include "test_support.h"

using mireo::Encoder;
using namespace mireo::test;

namespace {

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes counting(std::size_t n, uint8_t first = 0) { Bytes b(n); return std::iota(b.begin(), b.end(), first), b; }
Bytes part(const Bytes& b, std::size_t from, std::size_t to) { return Bytes(b.begin() + from, b.begin() + to); }
Bytes repeat(std::size_t times, const Bytes& unit) { Bytes out; while (times--) out = cat({out, unit}); return out; }

// A compressed stream: its 4-byte big-endian length, then the codes.
Bytes codecStream(const Bytes& codes) {
    Bytes length(4);
    mireo::putBe32(length.data(), static_cast<uint32_t>(codes.size() + 4));
    return cat({length, codes});
}

// The number of the DecodeError that decoding raises (0 for none), where it stopped, and the block in `out`.
int decodeErrorOf(mireo::CompressionType type, const Bytes& stream, int32_t rows, int32_t rowBytes, int32_t depth = 8,
                  mireo::DecodePosition* where = nullptr, Bytes* out = nullptr) {
    Bytes scratch;
    try {
        mireo::decodeBlock(type, stream, rows, rowBytes, depth, out ? *out : scratch);
    } catch (const mireo::DecodeError& e) {
        return where ? (*where = e.position, e.number) : e.number;
    }
    return 0;
}

// Every encoder of the depth: the stream carries its own length, decodes to
// the block and is consumed whole.
void expectRoundTrip(const Bytes& block, int32_t rows, int32_t width, int32_t depth) {
    int32_t rowBytes = mireo::packedRowBytes(width, depth);
    std::vector<std::pair<Encoder, mireo::CompressionType>> codecs = {{Encoder::kScanline, mireo::kScanline}};
    if (depth == 16) codecs.push_back({Encoder::kPackBits16, mireo::kPackBits});
    else codecs.insert(codecs.end(), {{Encoder::kRle, mireo::kRle}, {Encoder::kPackBits8, mireo::kPackBits}});
    for (auto [encoder, type] : codecs) {
        Bytes s = mireo::runEncoder(encoder, block, rows, rowBytes), out;
        ASSERT_GE(s.size(), 4u);
        EXPECT_EQ(mireo::getBe32(s.data()), s.size());
        EXPECT_EQ(mireo::decodeBlock(type, s, rows, rowBytes, depth, out), s.size()) << int(encoder);
        EXPECT_EQ(out, block) << int(encoder);
    }
}

// Random bytes, or runs of random lengths from a few values with rows that
// often repeat the row above (what pictures with flat areas look like).
Bytes makeBlock(std::mt19937& rng, int32_t rows, int32_t rowBytes, bool runHeavy) {
    const auto row = static_cast<std::size_t>(rowBytes);
    Bytes block(static_cast<std::size_t>(rows) * row);
    for (std::size_t i = 0; i < block.size();) {
        if (!runHeavy) block[i++] = static_cast<uint8_t>(rng());
        else if (i >= row && rng() % 3 == 0)
            for (std::size_t n = 0; n < row && i < block.size(); ++n, ++i) block[i] = block[i - row];
        else
            for (std::size_t value = rng() % 4, n = 1 + rng() % 300; n > 0 && i < block.size(); --n) block[i++] = uint8_t(value);
    }
    return block;
}

}  // namespace

TEST(Encoders, StreamsWorkedOutByHand) {
    using enum Encoder;
    const Bytes c127 = counting(127), c128 = counting(128), c300 = counting(300);
    const Bytes first82 = counting(82, 1);
    Bytes second82 = first82;
    second82[0] = 200, second82[15] = 201, second82[81] = 202;  // group 0 bit 7, group 1 bit 0, short group bit 6
    Bytes groups82, pixels128;
    for (std::size_t g = 0; g < 10; ++g) groups82 = cat({groups82, {0xFF}, part(first82, 8 * g, 8 * g + 8)});
    for (int i = 0; i < 128; ++i) pixels128.insert(pixels128.end(), {0, uint8_t(i)});
    // rowBytes is 2 x width at 16 bits.
    struct Case { const char* what; Encoder encoder; Bytes block; int32_t rows, rowBytes; Bytes codes; } cases[] = {
        {"split at 255", kRle, Bytes(300, 0x5A), 1, 300, {255, 0x5A, 45, 0x5A}}, {"255", kRle, Bytes(255, 7), 1, 255, {255, 7}},
        {"255, 1", kRle, cat({Bytes(255, 3), {4}}), 1, 256, {255, 3, 1, 4}}, {"no rows", kRle, {}, 0, 8, {}},
        {"run inside", kRle, {1, 2, 2, 3}, 1, 4, {1, 1, 2, 2, 1, 3}}, {"run at the end", kRle, {1, 2, 2}, 1, 3, {1, 1, 2, 2}},
        {"one byte", kRle, {9}, 1, 1, {1, 9}}, {"rows by themselves", kRle, Bytes(4, 6), 2, 2, {2, 6, 2, 6}},
        {"three equal", kPackBits8, {5, 5, 5}, 1, 3, {0xFE, 5}}, {"two equal ending the row", kPackBits8, {5, 5}, 1, 2, {0xFF, 5}},
        {"one byte", kPackBits8, {8}, 1, 1, {0, 8}}, {"two equal then another", kPackBits8, {5, 5, 6}, 1, 3, {2, 5, 5, 6}},
        {"literal takes the last two", kPackBits8, {1, 2, 3, 4, 4}, 1, 5, {4, 1, 2, 3, 4, 4}},
        {"repeat, literal", kPackBits8, {1, 1, 1, 2, 3}, 1, 5, {0xFE, 1, 1, 2, 3}},
        {"a pair inside a literal", kPackBits8, {1, 2, 2, 3, 4}, 1, 5, {4, 1, 2, 2, 3, 4}},
        {"mixed", kPackBits8, {1, 2, 2, 2, 3, 3, 3, 3, 4}, 1, 9, {0, 1, 0xFE, 2, 0xFD, 3, 0, 4}},
        {"128 equal", kPackBits8, Bytes(128, 9), 1, 128, {0x81, 9}}, {"129 equal", kPackBits8, Bytes(129, 9), 1, 129, {0x81, 9, 0, 9}},
        {"131 equal", kPackBits8, Bytes(131, 9), 1, 131, {0x81, 9, 0xFE, 9}},
        {"127 and 1", kPackBits8, c128, 1, 128, cat({{126}, part(c128, 0, 127), {0, 127}})},
        {"127, run", kPackBits8, cat({c127, {200, 200, 200, 1}}), 1, 131, cat({{126}, c127, {0xFE, 200, 0, 1}})},
        {"300 distinct", kPackBits8, c300, 1, 300,
         cat({{126}, part(c300, 0, 127), {126}, part(c300, 127, 254), {45}, part(c300, 254, 300)})},
        {"rows by themselves", kPackBits8, Bytes(6, 1), 2, 3, {0xFE, 1, 0xFE, 1}},
        {"repeat stops at the row", kPackBits8, {1, 2, 2, 2}, 2, 2, {1, 1, 2, 0xFF, 2}},
        {"three equal pixels", kPackBits16, {1, 2, 1, 2, 1, 2}, 1, 6, {0xFE, 1, 2}},
        {"one pixel", kPackBits16, {7, 8}, 1, 2, {0, 7, 8}},
        {"equal bytes of two pixels", kPackBits16, {5, 5, 5, 6}, 1, 4, {1, 5, 5, 5, 6}},
        {"129 pixels", kPackBits16, repeat(129, {0xF8, 0x1F}), 1, 258, {0x81, 0xF8, 0x1F, 0, 0xF8, 0x1F}},
        {"two rows", kPackBits16, {1, 1, 1, 1, 2, 3, 4, 5}, 2, 4, {0xFF, 1, 1, 1, 2, 3, 4, 5}},
        {"127 and 1 pixels", kPackBits16, pixels128, 1, 256, cat({{126}, part(pixels128, 0, 254), {0, 0, 127}})},
        {"first row whole", kScanline, counting(8, 10), 1, 8, cat({{0xFF}, counting(8, 10)})},
        {"short first group", kScanline, {1, 2}, 1, 2, {0xC0, 1, 2}},
        {"rows like the one above", kScanline, repeat(3, counting(16)), 3, 16,
         cat({{0xFF}, counting(8), {0xFF}, counting(8, 8), {0, 0, 0, 0}})},
        {"82-byte rows", kScanline, cat({first82, second82}), 2, 82,
         cat({groups82, {0xC0, 81, 82}, {0x80, 200, 0x01, 201, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 202}})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mireo::runEncoder(c.encoder, c.block, c.rows, c.rowBytes), codecStream(c.codes)) << int(c.encoder) << " " << c.what;
}

TEST(Decoders, StreamsWorkedOutByHandAndMalformedOnes) {
    using mireo::kRle, mireo::kPackBits, mireo::kScanline, mireo::kInputPastEnd, mireo::kInvalidCall, mireo::kSubscriptOutOfRange;
    struct Case {  // consumed: the whole stream when 0
        const char* what; mireo::CompressionType type; Bytes codes; int32_t rows, rowBytes, depth; Bytes block;
        std::size_t consumed = 0;
    } cases[] = {
        {"RLE pairs", kRle, {2, 6, 1, 7, 3, 8}, 2, 3, 8, {6, 6, 7, 8, 8, 8}},
        {"RLE leaves bytes after the block unread", kRle, {2, 6, 0, 0}, 1, 2, 8, {6, 6}, 6},
        {"PackBits repeat and literal", kPackBits, {0xFE, 1, 1, 2, 3}, 1, 5, 8, {1, 1, 1, 2, 3}},
        {"PackBits header 0x80: 129 times", kPackBits, {0x80, 4, 0, 5}, 1, 130, 8, cat({Bytes(129, 4), {5}})},
        {"PackBits 16-bit units", kPackBits, {0xFF, 1, 2, 0, 3, 4}, 1, 6, 16, {1, 2, 1, 2, 3, 4}},
        {"scanline copies from the row above", kScanline, {0xC0, 1, 2, 0x40, 5}, 2, 2, 8, {1, 2, 1, 5}},
        {"scanline flag bits past a short group", kScanline, {0xFF, 1, 2, 0x3F}, 2, 2, 8, {1, 2, 1, 2}},
        {"scanline rows one byte wide", kScanline, {0x80, 9, 0x00}, 2, 1, 8, {9, 9}}, {"scanline no rows", kScanline, {}, 0, 10, 8, {}},
    };
    for (const Case& c : cases) {
        Bytes out{1, 2, 3}, stream = codecStream(c.codes);
        EXPECT_EQ(mireo::decodeBlock(c.type, stream, c.rows, c.rowBytes, c.depth, out), c.consumed ? c.consumed : stream.size())
            << c.what;
        EXPECT_EQ(out, c.block) << c.what;
    }
    // Malformed streams (the length field included) raise their number; a stream that fails at row 1 decodes row 0 alone.
    const Bytes rleRows = {0, 0, 0, 6, 2, 1, 2, 1}, scanlineRows = {0, 0, 0, 7, 0xC0, 1, 1, 0, 0, 0};
    struct Bad { const char* what; mireo::CompressionType type; Bytes stream; int32_t rows, rowBytes, number; } bad[] = {
        {"RLE run short of the row", kRle, codecStream({2, 6, 5}), 1, 4, kInputPastEnd},
        {"RLE count 0", kRle, codecStream({0, 6, 2, 6}), 1, 2, kInvalidCall},
        {"RLE past the row", kRle, codecStream({1, 6, 2, 6}), 1, 2, kSubscriptOutOfRange},
        {"RLE spills into the next row", kRle, codecStream({3, 6, 1, 6}), 2, 2, kSubscriptOutOfRange},
        {"RLE stream ends after row 1", kRle, rleRows, 2, 2, kInputPastEnd}, {"RLE row 0 alone", kRle, rleRows, 1, 2, 0},
        {"scanline first row refers up", kScanline, codecStream({0x7F, 1, 2, 3, 4, 5, 6, 7}), 1, 8, kInvalidCall},
        {"scanline short first group refers up", kScanline, codecStream({0x80, 1}), 1, 2, kInvalidCall},
        {"scanline flags promise more", kScanline, codecStream({0xC0, 1}), 1, 2, kInputPastEnd},
        {"scanline block ends short", kScanline, codecStream({0xC0, 1, 2}), 2, 2, kInputPastEnd},
        {"scanline stream ends after row 1", kScanline, scanlineRows, 2, 2, kInputPastEnd},
        {"scanline row 0 alone", kScanline, scanlineRows, 1, 2, 0},
        {"PackBits stream ends after row 1", kPackBits, {0, 0, 0, 6, 0xFF, 1, 0xFF, 1}, 2, 2, kInputPastEnd},
        {"uncompressed has no decoder", mireo::kUncompressed, codecStream({1, 1}), 1, 1, kInvalidCall},
    };
    for (const Bad& c : bad) EXPECT_EQ(decodeErrorOf(c.type, c.stream, c.rows, c.rowBytes), c.number) << c.what;
    for (auto type : {kScanline, kRle, kPackBits}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(decodeErrorOf(type, {0, 0}, 1, 2), kInputPastEnd) << "shorter than a length field";
        EXPECT_EQ(decodeErrorOf(type, {0, 0, 0, 9, 0xFF, 1, 1}, 1, 2), kInputPastEnd) << "length past the record";
        EXPECT_EQ(decodeErrorOf(type, {0, 0, 0, 3, 0xFF, 1, 1}, 1, 2), kInvalidCall) << "length below 4";
        Bytes out;
        EXPECT_EQ(decodeErrorOf(type, codecStream({0xFF, 1}), 30000, 30000, 8, nullptr, &out), kInputPastEnd);
        EXPECT_EQ(out.capacity(), 0u) << "a block the stream cannot fill is refused before it is allocated";
        EXPECT_NE(decodeErrorOf(type, codecStream({1, 1}), -1, 2), 0);
        EXPECT_NE(decodeErrorOf(type, codecStream({1, 1}), 1, -2), 0);
    }
    // PackBits tells the column, row and unit where it stopped.
    struct Stop { const char* what; Bytes codes; int32_t rows, rowBytes, depth, number; int64_t column, row, unit; } stops[] = {
        {"row 1 stops after one of two literal units", {0xFD, 7, 1, 9}, 2, 4, 8, kInputPastEnd, 1, 1, 1},
        {"repeat of 4 after 2 bytes of a 4-byte row", {1, 1, 2, 0xFD, 3}, 1, 4, 8, kSubscriptOutOfRange, 4, 0, 2},
        {"pixel past the last byte of an odd row", {0xFF, 1, 2}, 1, 3, 16, kSubscriptOutOfRange, 2, 0, 1},
        {"repeated pixel cut off", {0xFF, 1}, 1, 4, 16, kInputPastEnd, 0, 0, 0},
        {"depth 24", {0xFF, 1}, 1, 2, 24, kInvalidCall, 0, 0, 0},
    };
    for (const Stop& c : stops) {
        mireo::DecodePosition at{-1, -1, -1};
        EXPECT_EQ(decodeErrorOf(kPackBits, codecStream(c.codes), c.rows, c.rowBytes, c.depth, &at), c.number) << c.what;
        EXPECT_EQ(std::vector<int64_t>({at.column, at.row, at.unit}), std::vector<int64_t>({c.column, c.row, c.unit})) << c.what;
    }
}

TEST(CodecMessages, EachCodecReportsItsOwnFailure) {
    RecordingWindowSystem ws;
    mireo::reportDecoderError(mireo::kRle, {mireo::kInputPastEnd, {}});
    mireo::reportDecoderError(mireo::kScanline, {mireo::kInvalidCall, {}});
    mireo::reportDecoderError(mireo::kPackBits, {mireo::kSubscriptOutOfRange, {4, 0, 2}});
    EXPECT_EQ(ws.takeTexts(), (Texts{"Error in dll RLE Un-compress -  62 - Input past end of file",
                                     "Error in dll Scanlines Un-compress -  5 - Invalid procedure call or argument",
                                     "Error in dll Packbits Un-compress. 9 - Subscript out of range", " 4 -  0X 2"}));
    // A failed encoder shows two boxes and counts as no candidate.
    const std::pair<Encoder, std::string> encoders[] = {
        {Encoder::kScanline, "Error in Scanline compression   "}, {Encoder::kRle, "Error in RLE Compressor   "},
        {Encoder::kPackBits8, "Error in Packbits 4/8 bit Compressor   "},
        {Encoder::kPackBits16, "Error in 16-bit Packbits Compressor   "}};
    for (const auto& [encoder, text] : encoders) {
        EXPECT_TRUE(mireo::runEncoder(encoder, Bytes(10), 2, 6).empty()) << "a block shorter than its rows";
        EXPECT_EQ(ws.takeTexts(), (Texts{text, " 9 - Subscript out of range"}));
        EXPECT_EQ(mireo::runEncoder(encoder, Bytes(10), 2, 4), mireo::runEncoder(encoder, Bytes(8), 2, 4)) << "the next block";
        EXPECT_TRUE(ws.messages.empty());
    }
    EXPECT_TRUE(mireo::runEncoder(Encoder::kPackBits16, Bytes(10), 1, 3).empty()) << "a row of an odd byte count";
    EXPECT_EQ(ws.takeTexts(), (Texts{"Error in 16-bit Packbits Compressor   ", " 5 - Invalid procedure call or argument"}));
}

TEST(CodecRoundTrip, EveryWidthAtEveryDepth) {
    std::mt19937 rng(20240611);
    for (int32_t depth : {16, 8, 4})
        for (int32_t width = 1; width <= 600; ++width)
            for (bool runHeavy : {false, true}) {
                int32_t rows = 1 + width % 5, rowBytes = mireo::packedRowBytes(width, depth);
                SCOPED_TRACE(testing::Message() << width << " x " << rows << " at " << depth << (runHeavy ? " runs" : ""));
                expectRoundTrip(makeBlock(rng, rows, rowBytes, runHeavy), rows, width, depth);
                if (HasFailure()) return;
            }
    // Three 50-pixel rows at 16 bits of a repeated pattern, which once broke
    // a round trip.
    const Bytes pattern = {0xA6, 0x95, 0xA6, 0xA6, 0x5D, 0x8E, 0x1A, 0x96, 0xBF, 0x08, 0x1F, 0x00, 0xF0, 0xF0};
    expectRoundTrip(part(repeat(22, pattern), 0, 300), 3, 50, 16);
}
