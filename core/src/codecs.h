// Palm bitmap compression: scanline, RLE and PackBits (with its 16-bit
// variant).  Every stream starts with its total length (this field
// included) as a big-endian 32-bit number; each row is encoded by itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mireo {

enum CompressionType : uint8_t {
    kUncompressed = 0,
    kScanline = 1,
    kRle = 2,
    kPackBits = 3,
};

// Bytes of a packed row: 2 x width at 16 bits; width rounded up to even at
// 8 bits; half the width rounded up, then rounded up to even, at 4 bits.
// Raises kInvalidCall for a negative width or another depth, kOverflow when
// the result does not fit.
int32_t packedRowBytes(int32_t width, int32_t depth);

// Encoders over one block of `rows` rows of packed pixels, top row first.
// They write into a buffer sized for the worst case in advance and return
// it cut to the stream.  A block shorter than rows x rowBytes, or negative
// sizes, raise a RuntimeError.
std::vector<uint8_t> encodeScanline(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes);
std::vector<uint8_t> encodeRle(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes);
std::vector<uint8_t> encodePackBits8(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes);
// Units are 2-byte pixels, high byte first; a row is `width` pixels.
std::vector<uint8_t> encodePackBits16(std::span<const uint8_t> block, int32_t rows, int32_t width);

// Where a PackBits decoder stopped: the column (byte within the row), the
// row and the unit index within the current code, for its second message.
// All three count from 0.
struct DecodePosition {
    int64_t column = 0, row = 0, unit = 0;
};

// A stream that cannot be decoded.  `number` is the run-time error number:
// kInputPastEnd when the stream ends before the block is full (or its length
// field points past the record), kInvalidCall for a code that has no meaning
// (a length field below 4, an RLE count of 0, a scanline first row that
// refers to the row above, an unknown depth), kSubscriptOutOfRange for a code
// that would write past the end of its row.
struct DecodeError {
    int number;
    DecodePosition position;
};

// Decoders: `stream` starts at the 4-byte length field and ends where the
// record ends; no byte past the length field's end is read.  Exactly
// rows x rowBytes bytes are written to `out` (which the decoder sizes, only
// after checking that the stream could fill that many).  Returns the number
// of stream bytes consumed, length field included.  Throws DecodeError when
// the stream is malformed, runs past its end or does not fill the block.
std::size_t decodeScanline(std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes, std::vector<uint8_t>& out);
std::size_t decodeRle(std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes, std::vector<uint8_t>& out);
std::size_t decodePackBits(std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes, int32_t depth,
                           std::vector<uint8_t>& out);

// The four encoders, for the reporting wrapper below.
enum class Encoder : uint8_t { kScanline, kRle, kPackBits8, kPackBits16 };

// Runs one encoder on a block of rows x rowBytes bytes (for kPackBits16 the
// row holds rowBytes / 2 pixels).  On any failure it shows the encoder's two
// message boxes and returns an empty stream, which the caller counts as
// length 0 (not a candidate).
std::vector<uint8_t> runEncoder(Encoder encoder, std::span<const uint8_t> block, int32_t rows, int32_t rowBytes);

// Runs the decoder of `type` (kScanline, kRle or kPackBits) and returns the
// stream bytes it read; throws DecodeError (kInvalidCall for a type that has
// no decoder).
std::size_t decodeBlock(CompressionType type, std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes,
                        int32_t depth, std::vector<uint8_t>& out);

}  // namespace mireo
