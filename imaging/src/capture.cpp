#include "imaging/capture.h"

namespace mireo::imaging {

std::vector<uint8_t> captureDeviceBits(const QImage& picture) {
    QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<std::size_t>(rgb.width());
    std::vector<uint8_t> bits(width * static_cast<std::size_t>(rgb.height()) * 4);
    uint8_t* out = bits.data();
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (std::size_t x = 0; x < width; ++x, out += 4) {
            out[0] = static_cast<uint8_t>(qBlue(row[x]));
            out[1] = static_cast<uint8_t>(qGreen(row[x]));
            out[2] = static_cast<uint8_t>(qRed(row[x]));
            out[3] = 0;
        }
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
