#include "imaging/capture.h"

namespace mireo::imaging {

std::vector<uint8_t> captureDeviceBits(const QImage& picture) {
    QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<uint8_t> bits;
    bits.reserve(static_cast<std::size_t>(rgb.width()) * static_cast<std::size_t>(rgb.height()) * 4);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            bits.push_back(static_cast<uint8_t>(qBlue(row[x])));
            bits.push_back(static_cast<uint8_t>(qGreen(row[x])));
            bits.push_back(static_cast<uint8_t>(qRed(row[x])));
            bits.push_back(0);
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
