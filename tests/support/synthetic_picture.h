// A photo-like test picture: smooth gradients, a shaded disc, noisy texture
// and flat patches, the same for the same size and seed on every machine.
#pragma once

#include <cstdint>
#include <vector>

namespace mireo::test {

struct PictureRgb {
    uint8_t red, green, blue;
};

// The picture's colour at column x, row y (row 0 = top).
class SyntheticPicture {
public:
    SyntheticPicture(int32_t width, int32_t height, uint32_t seed = 1);
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    PictureRgb at(int32_t x, int32_t y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

    // Packed device bits, top row first: 32 (blue, green, red, 0xFF),
    // 24 (blue, green, red) or 16 (RGB565 words, low byte first).
    std::vector<uint8_t> deviceBits(int32_t bitsPerPixel) const;

private:
    int32_t width_, height_;
    std::vector<PictureRgb> pixels_;
};

}  // namespace mireo::test
