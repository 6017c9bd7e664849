// Turning a 24-bit picture by 90 degrees.
#pragma once

#include <cstdint>
#include <vector>

namespace mireo {

// Packed rows (3 bytes per pixel, no padding), top row first.
struct PackedPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bytes;
};

// Counter-clockwise when `left`, clockwise otherwise.
PackedPicture rotate90(const PackedPicture& in, bool left);

// The padded bottom-up rows of a BMP (after its header) as a packed,
// top-first picture; raises when the data are too short for the size.
PackedPicture unpackBmpRows(const uint8_t* data, std::size_t size, int32_t width, int32_t height);

// The padded bottom-up rows of a BMP from a packed, top-first picture.
std::vector<uint8_t> packBmpRows(const PackedPicture& picture);

}  // namespace mireo
