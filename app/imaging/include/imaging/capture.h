// Capture of a picture as the device bits that the library's reductions
// take: 32 bits per pixel, bytes blue, green, red and an unused fourth,
// top row first, rows packed without padding.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace mireo::imaging {

inline constexpr int32_t kCaptureBitsPerPixel = 32;

std::vector<uint8_t> captureDeviceBits(const QImage& picture);

}  // namespace mireo::imaging
