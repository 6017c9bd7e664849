// The one BMP layout the library writes and reads: a 54-byte header, then
// bottom-up rows of blue, green, red, each padded to a multiple of 4 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "args.h"

namespace mireo {

constexpr int kBmpHeaderSize = 54;

// Zero bytes that end each row of a picture `width` pixels wide.
inline int32_t rowPad(int32_t width) { return static_cast<int32_t>((4 - (int64_t{3} * width) % 4) % 4); }

// 3 * width + rowPad(width), in 64 bits so that no size overflows.
inline int64_t paddedRowBytes(int32_t width) { return int64_t{3} * width + rowPad(width); }

// Raises unless width and height are positive and the file fits its size field.
void checkBmpSize(int32_t width, int32_t height);

std::array<uint8_t, kBmpHeaderSize> bmpHeader(int32_t width, int32_t height);

struct Bgr {
    uint8_t blue, green, red;
};

// One RGB565 pixel, given as its low and high byte, as three 8-bit channels.
Bgr expandRgb565(uint8_t lo, uint8_t hi);

// A picture as rows of 3 * width bytes (blue, green, red per pixel).
struct Grid {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bytes;

    Grid() = default;
    Grid(int32_t w, int32_t h);
    std::size_t rowBytes() const { return std::size_t(3) * static_cast<std::size_t>(width); }
    uint8_t* row(int32_t r) { return bytes.data() + rowBytes() * static_cast<std::size_t>(r); }
    const uint8_t* row(int32_t r) const { return bytes.data() + rowBytes() * static_cast<std::size_t>(r); }
};

// Device pixel bits (top row first, packed rows, 32, 24 or 16 bits per
// pixel) into a grid with row 0 = top row.  The walk stops at the end of the
// caller's array; rows it does not reach stay black, and an unknown depth
// leaves the whole grid black.
Grid loadDeviceBits(ByteView bits, int32_t width, int32_t height, int32_t bitsPerPixel);

// BMP pixel data (bottom row first, padded rows) from a grid whose row 0 is
// the top row of the picture, or the bottom row when `gridRow0IsBottom`.
std::vector<uint8_t> bmpPixelData(const Grid& grid, bool gridRow0IsBottom);

// Deletes an existing file of that name, then writes header and data.
void writeBmpFile(const std::string& path, int32_t width, int32_t height, std::span<const uint8_t> pixelData);

}  // namespace mireo
