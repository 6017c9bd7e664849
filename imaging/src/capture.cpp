#include "imaging/capture.h"

#include <bit>
#include <cstring>

namespace mireo::imaging {

// A pixel of Format_RGB32 lies in memory as blue, green, red and an unused
// byte, as the device bits do; only that byte is cleared.
static_assert(std::endian::native == std::endian::little, "device bits are read as little-endian words");
std::vector<uint8_t> captureDeviceBits(const QImage& picture) {
    QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<std::size_t>(rgb.width());
    std::vector<uint8_t> bits(width * static_cast<std::size_t>(rgb.height()) * 4);
    uint8_t* out = bits.data();
    for (int y = 0; y < rgb.height(); ++y, out += width * 4) {
        std::memcpy(out, rgb.constScanLine(y), width * 4);
        for (std::size_t x = 0; x < width; ++x) out[4 * x + 3] = 0;
    }
    return bits;
}

QImage previewSource(const QImage& picture, int depth) {
    if (depth != 4) return picture;
    QImage grey = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = luminance(qRed(row[x]), qGreen(row[x]), qBlue(row[x]));
            row[x] = qRgb(level, level, level);
        }
    }
    return grey;
}

}  // namespace mireo::imaging
