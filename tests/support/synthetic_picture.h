// A photo-like test picture: smooth gradients, a shaded disc, noisy texture
// and flat patches, the same for the same size and seed on every machine.
#pragma once

#include <cstdint>
#include <vector>

namespace mireo::test {

class SyntheticPicture {
public:
    SyntheticPicture(int32_t width, int32_t height, uint32_t seed = 1);
    // Packed device bits, top row first: 32 (blue, green, red, 0xFF),
    // 24 (blue, green, red) or 16 (RGB565 words, low byte first).
    std::vector<uint8_t> deviceBits(int32_t bitsPerPixel) const;

private:
    std::vector<uint8_t> rgb_;  // red, green, blue per pixel, row 0 = top
};

}  // namespace mireo::test
