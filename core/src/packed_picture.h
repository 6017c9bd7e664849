// A 24-bit picture as packed rows (3 bytes per pixel, no padding), and the
// steps between it and the padded bottom-up rows of a BMP file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mireo {

struct PackedPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bytes;
};

// The BMP's pixel rows without their padding, in file order (bottom row
// first).  Raises when `size` is short of the picture.
PackedPicture unPad(const uint8_t* data, std::size_t size, int32_t width, int32_t height);

// Reverses the row order in place.
void flipRows(PackedPicture& picture);

// The padded bottom-up rows of a BMP from a packed, top-first picture.
std::vector<uint8_t> packBmpRows(PackedPicture picture);

}  // namespace mireo
