#include "imaging/working_bmp.h"

#include <QImageReader>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "imaging/replacement_file.h"

namespace mireo::imaging {

namespace {

constexpr std::size_t kHeaderSize = 54;

void putLe(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> workingBmpBytes(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<std::size_t>(rgb.width()), height = static_cast<std::size_t>(rgb.height());
    const std::size_t rowBytes = (3 * width + 3) / 4 * 4;
    std::vector<uint8_t> bytes(kHeaderSize + rowBytes * height, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLe(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    putLe(bytes, 10, kHeaderSize, 4);
    putLe(bytes, 14, 40, 4);
    putLe(bytes, 18, static_cast<uint32_t>(width), 4);
    putLe(bytes, 22, static_cast<uint32_t>(height), 4);
    putLe(bytes, 26, 1, 2);
    putLe(bytes, 28, 24, 2);
    putLe(bytes, 38, 2835, 4);
    putLe(bytes, 42, 2835, 4);
    for (std::size_t y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(static_cast<int>(y)));
        uint8_t* out = bytes.data() + kHeaderSize + rowBytes * (height - 1 - y);
        for (std::size_t x = 0; x < width; ++x) {
            out[3 * x] = static_cast<uint8_t>(qBlue(in[x]));
            out[3 * x + 1] = static_cast<uint8_t>(qGreen(in[x]));
            out[3 * x + 2] = static_cast<uint8_t>(qRed(in[x]));
        }
    }
    return bytes;
}

void saveWorkingBmp(const QImage& picture, const std::string& path) {
    const std::vector<uint8_t> bytes = workingBmpBytes(picture);
    ReplacementFile file(path);
    std::FILE* out = std::fopen(file.path().c_str(), "wb");
    if (!out) throw std::system_error(errno, std::generic_category(), path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const int writeError = errno;
    if (std::fclose(out) != 0 || !written)
        throw std::system_error(written ? errno : writeError, std::generic_category(), path);
    file.commit();
}

QImage readWorkingBmp(const QString& path) {
    QImageReader reader(path, "bmp");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

}  // namespace mireo::imaging
