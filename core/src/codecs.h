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
int32_t packedRowBytes(int32_t width, int32_t depth);

// Encoders over one block of `rows` rows of packed pixels, top row first.
std::vector<uint8_t> encodeScanline(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes);
std::vector<uint8_t> encodeRle(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes);
std::vector<uint8_t> encodePackBits8(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes);
// Units are 2-byte pixels, high byte first; a row is `width` pixels.
std::vector<uint8_t> encodePackBits16(std::span<const uint8_t> block, int32_t rows, int32_t width);

// Where a PackBits decoder stopped: the column (byte within the row), the
// row and the unit index within the current code, for its second message.
struct DecodePosition {
    int64_t column = 0, row = 0, unit = 0;
};

// A stream that cannot be decoded.  `number` is the run-time error number.
struct DecodeError {
    int number;
    DecodePosition position;
};

// Decoders: `stream` starts at the 4-byte length field and ends where the
// record ends.  Exactly rows x rowBytes bytes are written to `out` (which the
// decoder sizes).  Returns the number of stream bytes consumed.  Throws
// DecodeError when the stream runs past its end or does not fill the block.
std::size_t decodeScanline(std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes, std::vector<uint8_t>& out);
std::size_t decodeRle(std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes, std::vector<uint8_t>& out);
std::size_t decodePackBits(std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes, int32_t depth,
                           std::vector<uint8_t>& out);

}  // namespace mireo
