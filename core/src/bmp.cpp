#include "bmp.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "errors.h"
#include "files.h"
#include "numeric.h"

namespace mireo {
namespace {

struct Rgb565Tables {
    uint8_t five[32];
    uint8_t six[64];
    Rgb565Tables() {
        for (int v = 0; v < 32; ++v) five[v] = static_cast<uint8_t>(roundHalfEven(8.0 * v * 255.0 / 248.0));
        for (int v = 0; v < 64; ++v) six[v] = static_cast<uint8_t>(roundHalfEven(4.0 * v * 255.0 / 252.0));
    }
};

const Rgb565Tables& rgb565Tables() {
    static const Rgb565Tables tables;
    return tables;
}

}  // namespace

void checkBmpSize(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) raise(kInvalidCall, "picture size");
    int64_t fileSize = kBmpHeaderSize + paddedRowBytes(width) * height;
    if (fileSize > std::numeric_limits<int32_t>::max()) raise(kOverflow, "picture too large");
}

std::array<uint8_t, kBmpHeaderSize> bmpHeader(int32_t width, int32_t height) {
    std::array<uint8_t, kBmpHeaderSize> h{};
    h[0] = 'B';
    h[1] = 'M';
    putLe32(&h[2], static_cast<uint32_t>(kBmpHeaderSize + paddedRowBytes(width) * height));
    putLe32(&h[10], kBmpHeaderSize);
    putLe32(&h[14], 40);
    putLe32(&h[18], static_cast<uint32_t>(width));
    putLe32(&h[22], static_cast<uint32_t>(height));
    putLe16(&h[26], 1);
    putLe16(&h[28], 24);
    putLe32(&h[38], 2835);
    putLe32(&h[42], 2835);
    return h;
}

Bgr expandRgb565(uint8_t lo, uint8_t hi) {
    const Rgb565Tables& t = rgb565Tables();
    return Bgr{t.five[lo & 0x1F], t.six[(hi & 7) << 3 | lo >> 5], t.five[hi >> 3]};
}

Grid::Grid(int32_t w, int32_t h)
    : width(w), height(h), bytes(std::size_t(3) * static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {}

Grid loadDeviceBits(ByteView bits, int32_t width, int32_t height, int32_t bitsPerPixel) {
    Grid grid(width, height);
    std::size_t total = grid.bytes.size();
    uint8_t* out = grid.bytes.data();
    const uint8_t* in = bits.data;
    if (bitsPerPixel == 24) {
        std::memcpy(out, in, std::min(total, bits.size));
    } else if (bitsPerPixel == 32) {
        std::size_t pixels = std::min(total / 3, bits.size / 4);
        for (std::size_t i = 0; i < pixels; ++i, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
        // A final group cut short by the array's end still stores its bytes.
        std::size_t tail = std::min<std::size_t>(bits.size - pixels * 4, 3);
        if (pixels < total / 3) std::memcpy(out, in, tail);
    } else if (bitsPerPixel == 16) {
        std::size_t pixels = std::min(total / 3, bits.size / 2);
        for (std::size_t i = 0; i < pixels; ++i, in += 2, out += 3) {
            Bgr c = expandRgb565(in[0], in[1]);
            out[0] = c.blue;
            out[1] = c.green;
            out[2] = c.red;
        }
    }
    return grid;
}

std::vector<uint8_t> bmpPixelData(const Grid& grid, bool gridRow0IsBottom) {
    std::size_t rowBytes = grid.rowBytes();
    std::size_t padded = static_cast<std::size_t>(paddedRowBytes(grid.width));
    std::vector<uint8_t> data(padded * static_cast<std::size_t>(grid.height));
    for (int32_t i = 0; i < grid.height; ++i) {
        int32_t r = gridRow0IsBottom ? i : grid.height - 1 - i;
        std::memcpy(data.data() + padded * static_cast<std::size_t>(i), grid.row(r), rowBytes);
    }
    return data;
}

void writeBmpFile(const std::string& path, int32_t width, int32_t height, std::span<const uint8_t> pixelData) {
    auto header = bmpHeader(width, height);
    deleteIfExists(path);
    writeFileAtomic(path, {std::span<const uint8_t>(header), pixelData});
}

}  // namespace mireo
