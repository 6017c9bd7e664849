// The decoders on damaged and hostile streams, and the message boxes the
// codecs show for their own failures.
#include <gtest/gtest.h>

#include "codec_messages.h"
#include "codecs.h"
#include "test_support.h"

using Bytes = std::vector<uint8_t>;
using mireo::test::codecStream;
using mireo::test::RecordingWindowSystem;

namespace {

struct Failure {
    bool ok;
    std::vector<std::string> texts;
};

Failure decode(mireo::CompressionType type, const Bytes& s, int32_t rows, int32_t rowBytes, int32_t depth = 8) {
    RecordingWindowSystem ws;
    Bytes out;
    std::size_t consumed = 0;
    bool ok = mireo::decodeBlockReporting(type, s, rows, rowBytes, depth, out, consumed);
    EXPECT_LE(out.size(), static_cast<std::size_t>(rows) * static_cast<std::size_t>(rowBytes));
    Failure f{ok, {}};
    for (auto& m : ws.messages) f.texts.push_back(m.text);
    return f;
}

const std::string kPastEnd = " 62 - Input past end of file";
const std::string kInvalid = " 5 - Invalid procedure call or argument";
const std::string kRange = " 9 - Subscript out of range";

}  // namespace

TEST(Decoders, DecodeValidStreamsAndReportTheBytesRead) {
    Bytes out;
    EXPECT_EQ(mireo::decodeRle(codecStream({2, 6, 1, 7, 3, 8}), 2, 3, out), 10u);
    EXPECT_EQ(out, (Bytes{6, 6, 7, 8, 8, 8}));
    EXPECT_EQ(mireo::decodePackBits(codecStream({0xFE, 1, 1, 2, 3}), 1, 5, 8, out), 9u);
    EXPECT_EQ(out, (Bytes{1, 1, 1, 2, 3}));
    EXPECT_EQ(mireo::decodePackBits(codecStream({0xFF, 1, 2, 0, 3, 4}), 1, 6, 16, out), 10u);
    EXPECT_EQ(out, (Bytes{1, 2, 1, 2, 3, 4}));
    EXPECT_EQ(mireo::decodeScanline(codecStream({0xC0, 1, 2, 0x40, 5}), 2, 2, out), 9u);
    EXPECT_EQ(out, (Bytes{1, 2, 1, 5}));
    // Bytes after the block, inside the stream's length, are left unread.
    EXPECT_EQ(mireo::decodeRle(codecStream({2, 6, 0, 0}), 1, 2, out), 6u);
    EXPECT_EQ(out, (Bytes{6, 6}));
}

TEST(Decoders, PackBitsHeader0x80RepeatsItsUnit129Times) {
    Bytes out;
    mireo::decodePackBits(codecStream({0x80, 4, 0, 5}), 1, 130, 8, out);
    Bytes expected(129, 4);
    expected.push_back(5);
    EXPECT_EQ(out, expected);
}

TEST(Decoders, LengthFieldMustFrameTheStream) {
    for (auto type : {mireo::kScanline, mireo::kRle, mireo::kPackBits}) {
        std::string prefix = mireo::decoderErrorText(type);
        // Shorter than a length field.
        EXPECT_EQ(decode(type, {0, 0}, 1, 2).texts.at(0), prefix + kPastEnd);
        // Length past the end of the record.
        EXPECT_EQ(decode(type, {0, 0, 0, 9, 0xFF, 1, 1}, 1, 2).texts.at(0), prefix + kPastEnd);
        // Length that does not even cover itself.
        EXPECT_EQ(decode(type, {0, 0, 0, 3, 0xFF, 1, 1}, 1, 2).texts.at(0), prefix + kInvalid);
        // The record goes on, but the stream ends after its first row.
        Bytes s = type == mireo::kRle ? Bytes{0, 0, 0, 6, 2, 1, 2, 1} : Bytes{0, 0, 0, 7, 0xC0, 1, 1, 0, 0, 0};
        if (type == mireo::kPackBits) s = {0, 0, 0, 6, 0xFF, 1, 0xFF, 1};
        EXPECT_FALSE(decode(type, s, 2, 2).ok);
        EXPECT_EQ(decode(type, s, 1, 2).texts.size(), 0u);
    }
}

TEST(Decoders, RleFailuresShowOneBox) {
    auto f = decode(mireo::kRle, codecStream({2, 6, 5}), 1, 4);
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.texts, std::vector<std::string>{"Error in dll RLE Un-compress - " + kPastEnd});
    EXPECT_EQ(decode(mireo::kRle, codecStream({0, 6, 2, 6}), 1, 2).texts,
              std::vector<std::string>{"Error in dll RLE Un-compress - " + kInvalid});
    EXPECT_EQ(decode(mireo::kRle, codecStream({1, 6, 2, 6}), 1, 2).texts,
              std::vector<std::string>{"Error in dll RLE Un-compress - " + kRange});
    // A run may not spill into the next row.
    EXPECT_EQ(decode(mireo::kRle, codecStream({3, 6, 1, 6}), 2, 2).texts.at(0), "Error in dll RLE Un-compress - " + kRange);
}

TEST(Decoders, ScanlineFailuresShowOneBox) {
    // The first row has no row above to copy from.
    auto f = decode(mireo::kScanline, codecStream({0x7F, 1, 2, 3, 4, 5, 6, 7}), 1, 8);
    EXPECT_EQ(f.texts, std::vector<std::string>{"Error in dll Scanlines Un-compress - " + kInvalid});
    EXPECT_EQ(decode(mireo::kScanline, codecStream({0x80, 1}), 1, 2).texts.at(0), "Error in dll Scanlines Un-compress - " + kInvalid);
    // Flags promise more bytes than the stream holds; a block that ends short.
    EXPECT_EQ(decode(mireo::kScanline, codecStream({0xC0, 1}), 1, 2).texts,
              std::vector<std::string>{"Error in dll Scanlines Un-compress - " + kPastEnd});
    EXPECT_EQ(decode(mireo::kScanline, codecStream({0xC0, 1, 2}), 2, 2).texts.at(0),
              "Error in dll Scanlines Un-compress - " + kPastEnd);
    // Flag bits past a short group are not bytes of the row.
    Bytes out;
    mireo::decodeScanline(codecStream({0xFF, 1, 2, 0x3F}), 2, 2, out);
    EXPECT_EQ(out, (Bytes{1, 2, 1, 2}));
}

TEST(Decoders, PackBitsFailuresShowWhereTheyStopped) {
    // Row 1 stops after the first of two literal units.
    auto f = decode(mireo::kPackBits, codecStream({0xFD, 7, 1, 9}), 2, 4);
    EXPECT_EQ(f.texts, (std::vector<std::string>{"Error in dll Packbits Un-compress." + kPastEnd, " 1 -  1X 1"}));
    // A repeat of 4 after 2 literal bytes runs past a 4-byte row at its third unit.
    f = decode(mireo::kPackBits, codecStream({1, 1, 2, 0xFD, 3}), 1, 4);
    EXPECT_EQ(f.texts, (std::vector<std::string>{"Error in dll Packbits Un-compress." + kRange, " 4 -  0X 2"}));
    // A 2-byte pixel does not fit the last byte of an odd row.
    f = decode(mireo::kPackBits, codecStream({0xFF, 1, 2}), 1, 3, 16);
    EXPECT_EQ(f.texts, (std::vector<std::string>{"Error in dll Packbits Un-compress." + kRange, " 2 -  0X 1"}));
    // The repeated pixel itself is cut off.
    f = decode(mireo::kPackBits, codecStream({0xFF, 1}), 1, 4, 16);
    EXPECT_EQ(f.texts, (std::vector<std::string>{"Error in dll Packbits Un-compress." + kPastEnd, " 0 -  0X 0"}));
    f = decode(mireo::kPackBits, codecStream({0xFF, 1}), 1, 2, 24);
    EXPECT_EQ(f.texts, (std::vector<std::string>{"Error in dll Packbits Un-compress." + kInvalid, " 0 -  0X 0"}));
}

TEST(Decoders, RefuseBlocksTheStreamCannotFillBeforeAllocating) {
    for (auto type : {mireo::kScanline, mireo::kRle, mireo::kPackBits}) {
        RecordingWindowSystem ws;
        Bytes out;
        std::size_t consumed = 0;
        EXPECT_FALSE(mireo::decodeBlockReporting(type, codecStream({0xFF, 1}), 30000, 30000, 8, out, consumed));
        EXPECT_EQ(out.capacity(), 0u);
        ASSERT_FALSE(ws.messages.empty());
        EXPECT_NE(ws.messages[0].text.find(kPastEnd), std::string::npos);
    }
    Bytes out;
    EXPECT_THROW(mireo::decodeRle(codecStream({1, 1}), -1, 2, out), mireo::DecodeError);
    EXPECT_THROW(mireo::decodeRle(codecStream({1, 1}), 1, -2, out), mireo::DecodeError);
}

TEST(Decoders, UncompressedTypeHasNoDecoder) {
    auto f = decode(mireo::kUncompressed, codecStream({1, 1}), 1, 1);
    EXPECT_FALSE(f.ok);
    EXPECT_TRUE(f.texts.empty());
}

TEST(Encoders, FailuresShowTwoBoxesAndCountAsNoCandidate) {
    Bytes block(10);
    const std::pair<mireo::Encoder, std::string> encoders[] = {
        {mireo::Encoder::kScanline, "Error in Scanline compression   "},
        {mireo::Encoder::kRle, "Error in RLE Compressor   "},
        {mireo::Encoder::kPackBits8, "Error in Packbits 4/8 bit Compressor   "},
        {mireo::Encoder::kPackBits16, "Error in 16-bit Packbits Compressor   "},
    };
    for (const auto& [encoder, text] : encoders) {
        RecordingWindowSystem ws;
        EXPECT_TRUE(mireo::runEncoder(encoder, block, 2, 6).empty());
        ASSERT_EQ(ws.messages.size(), 2u);
        EXPECT_EQ(ws.messages[0].text, text);
        EXPECT_EQ(ws.messages[1].text, kRange);
        // The next block is encoded normally.
        auto s = mireo::runEncoder(encoder, block, 2, 4);
        EXPECT_EQ(ws.messages.size(), 2u);
        Bytes out;
        if (encoder == mireo::Encoder::kScanline) mireo::decodeScanline(s, 2, 4, out);
        if (encoder == mireo::Encoder::kRle) mireo::decodeRle(s, 2, 4, out);
        if (encoder == mireo::Encoder::kPackBits8) mireo::decodePackBits(s, 2, 4, 8, out);
        if (encoder == mireo::Encoder::kPackBits16) mireo::decodePackBits(s, 2, 4, 16, out);
        EXPECT_EQ(out, Bytes(8, 0));
    }
    RecordingWindowSystem ws;
    EXPECT_TRUE(mireo::runEncoder(mireo::Encoder::kPackBits16, block, 1, 3).empty());
    ASSERT_EQ(ws.messages.size(), 2u);
    EXPECT_EQ(ws.messages[1].text, kInvalid);
}
