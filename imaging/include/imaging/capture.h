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

// The picture the preview at `depth` is made from.  At 4 bits it is the
// luminance grey of the picture, so that each colour keeps its brightness
// (the grey search on colours would, for instance, take a bright red for
// black); at 16 and 8 bits the picture itself.
QImage previewSource(const QImage& picture, int depth);

// Rec. 601 luma of a colour, rounded.
inline int luminance(int red, int green, int blue) { return (299 * red + 587 * green + 114 * blue + 500) / 1000; }

}  // namespace mireo::imaging
