#include "synthetic_picture.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace mireo::test {
namespace {

// xorshift32: a fixed generator, so pictures do not depend on the standard
// library's distributions.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    // A value in -amplitude..amplitude.
    int next(int amplitude) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<int>(state_ % static_cast<uint32_t>(2 * amplitude + 1)) - amplitude;
    }

private:
    uint32_t state_;
};

uint8_t level(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

PictureRgb shade(int32_t x, int32_t y, int32_t w, int32_t h, Noise& noise) {
    double fx = double(x) / w, fy = double(y) / h;
    // Flat patches: a sky band and two solid blocks.
    if (fy < 0.12) return {120, 170, 230};
    if (fx > 0.70 && fx < 0.85 && fy > 0.20 && fy < 0.35) return {200, 40, 40};
    if (fx < 0.15 && fy > 0.80) return {30, 30, 30};
    // A shaded disc.
    double dx = fx - 0.35, dy = fy - 0.45, d = std::sqrt(dx * dx + dy * dy);
    if (d < 0.2) {
        double light = 1.0 - d / 0.2;
        return {level(90 + 160 * light), level(60 + 120 * light), level(20 + 40 * light)};
    }
    // Gradient background with noisy texture in the lower half.
    int grain = fy > 0.5 ? 14 : 3;
    return {level(255 * fx + noise.next(grain)), level(200 * fy + 40 * fx + noise.next(grain)),
            level(255 * (1 - fx) * fy + 60 + noise.next(grain))};
}

}  // namespace

SyntheticPicture::SyntheticPicture(int32_t width, int32_t height, uint32_t seed)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    Noise noise(seed);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) pixels_[static_cast<std::size_t>(y) * width + x] = shade(x, y, width, height, noise);
}

std::vector<uint8_t> SyntheticPicture::deviceBits(int32_t bitsPerPixel) const {
    std::vector<uint8_t> bits;
    bits.reserve(pixels_.size() * 4);
    for (const PictureRgb& p : pixels_) {
        if (bitsPerPixel == 16) {
            unsigned word = unsigned(p.red >> 3) << 11 | unsigned(p.green >> 2) << 5 | unsigned(p.blue >> 3);
            bits.push_back(static_cast<uint8_t>(word));
            bits.push_back(static_cast<uint8_t>(word >> 8));
            continue;
        }
        if (bitsPerPixel != 24 && bitsPerPixel != 32) throw std::invalid_argument("bits per pixel");
        bits.insert(bits.end(), {p.blue, p.green, p.red});
        if (bitsPerPixel == 32) bits.push_back(0xFF);
    }
    return bits;
}

}  // namespace mireo::test
