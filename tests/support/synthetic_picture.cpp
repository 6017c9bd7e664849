#include "synthetic_picture.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace mireo::test {

SyntheticPicture::SyntheticPicture(int32_t width, int32_t height, uint32_t seed) {
    // xorshift32: a fixed generator, so pictures do not depend on the
    // standard library's distributions.  A value in -amplitude..amplitude.
    uint32_t state = seed ? seed : 0x9E3779B9u;
    auto noise = [&](int amplitude) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        return static_cast<int>(state % static_cast<uint32_t>(2 * amplitude + 1)) - amplitude;
    };
    auto put = [&](double r, double g, double b) {
        for (double v : {r, g, b}) rgb_.push_back(static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)));
    };
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            double fx = double(x) / width, fy = double(y) / height, d = std::hypot(fx - 0.35, fy - 0.45);
            if (fy < 0.12) put(120, 170, 230);  // flat patches: a sky band and two solid blocks
            else if (fx > 0.70 && fx < 0.85 && fy > 0.20 && fy < 0.35) put(200, 40, 40);
            else if (fx < 0.15 && fy > 0.80) put(30, 30, 30);
            else if (d < 0.2) put(90 + 160 * (1 - d / 0.2), 60 + 120 * (1 - d / 0.2), 20 + 40 * (1 - d / 0.2));  // a disc
            else {  // a gradient with noisy texture in the lower half
                int grain = fy > 0.5 ? 14 : 3, nr = noise(grain), ng = noise(grain), nb = noise(grain);
                put(255 * fx + nr, 200 * fy + 40 * fx + ng, 255 * (1 - fx) * fy + 60 + nb);
            }
        }
}

std::vector<uint8_t> SyntheticPicture::deviceBits(int32_t bitsPerPixel) const {
    if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) throw std::invalid_argument("bits per pixel");
    std::vector<uint8_t> bits;
    for (std::size_t i = 0; i < rgb_.size(); i += 3) {
        uint8_t r = rgb_[i], g = rgb_[i + 1], b = rgb_[i + 2];
        unsigned word = unsigned(r >> 3) << 11 | unsigned(g >> 2) << 5 | unsigned(b >> 3);
        if (bitsPerPixel == 16) bits.insert(bits.end(), {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)});
        else bits.insert(bits.end(), {b, g, r});
        if (bitsPerPixel == 32) bits.push_back(0xFF);
    }
    return bits;
}

}  // namespace mireo::test
