#include "packed_picture.h"

#include <algorithm>
#include <cstring>

#include "bmp.h"
#include "errors.h"

namespace mireo {

PackedPicture unPad(const uint8_t* data, std::size_t size, int32_t width, int32_t height) {
    auto rowBytes = std::size_t(3) * static_cast<std::size_t>(width);
    auto padded = static_cast<std::size_t>(paddedRowBytes(width));
    auto rows = static_cast<std::size_t>(height);
    if (size / padded < rows) raise(kInputPastEnd, "pixel data shorter than the picture");
    PackedPicture picture{width, height, std::vector<uint8_t>(rowBytes * rows)};
    for (std::size_t r = 0; r < rows; ++r) std::memcpy(picture.bytes.data() + rowBytes * r, data + padded * r, rowBytes);
    return picture;
}

void flipRows(PackedPicture& picture) {
    auto rowBytes = std::size_t(3) * static_cast<std::size_t>(picture.width);
    auto rows = static_cast<std::size_t>(picture.height);
    std::vector<uint8_t> spare(rowBytes);
    for (std::size_t top = 0, bottom = rows; top + 1 < bottom; ++top, --bottom) {
        uint8_t* upper = picture.bytes.data() + rowBytes * top;
        uint8_t* lower = picture.bytes.data() + rowBytes * (bottom - 1);
        std::memcpy(spare.data(), upper, rowBytes);
        std::memcpy(upper, lower, rowBytes);
        std::memcpy(lower, spare.data(), rowBytes);
    }
}

std::vector<uint8_t> packBmpRows(PackedPicture picture) {
    Grid grid;
    grid.width = picture.width;
    grid.height = picture.height;
    grid.bytes = std::move(picture.bytes);
    return bmpPixelData(grid, false);
}

}  // namespace mireo
