// The orientation tag (0x0112) of a JPEG's Exif block: how the stored
// pixels are to be turned for display, 1 to 8 as Exif numbers them.  The
// parser needs nothing but the bytes, so the fuzz targets take it as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace mireo::imaging {

inline constexpr int kUprightOrientation = 1;

namespace exif_detail {

// A TIFF structure of either byte order, every read checked against its end.
class TiffView {
public:
    explicit TiffView(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool readHeader() {
        if (bytes_.size() < 8) return false;
        if (bytes_[0] == 'I' && bytes_[1] == 'I') bigEndian_ = false;
        else if (bytes_[0] == 'M' && bytes_[1] == 'M') bigEndian_ = true;
        else return false;
        uint32_t magic = 0;
        return read(2, 2, magic) && magic == 42;
    }

    // `size` bytes (2 or 4) at `at`; false when they do not all lie inside.
    bool read(std::size_t at, int size, uint32_t& value) const {
        const auto length = static_cast<std::size_t>(size);
        if (at > bytes_.size() || bytes_.size() - at < length) return false;
        value = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const uint32_t byte = bytes_[at + (bigEndian_ ? i : length - 1 - i)];
            value = value << 8 | byte;
        }
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
    bool bigEndian_ = false;
};

}  // namespace exif_detail

// The orientation in the payload of an APP1 marker ("Exif\0\0" and a TIFF
// structure); kUprightOrientation when there is no such block, no tag in
// its first directory, or a value outside 1 to 8.
inline int exifOrientation(std::span<const uint8_t> app1) {
    constexpr uint8_t kSignature[6] = {'E', 'x', 'i', 'f', 0, 0};
    constexpr uint32_t kOrientationTag = 0x0112, kShortType = 3, kEntrySize = 12;
    if (app1.size() < sizeof kSignature) return kUprightOrientation;
    for (std::size_t i = 0; i < sizeof kSignature; ++i)
        if (app1[i] != kSignature[i]) return kUprightOrientation;
    exif_detail::TiffView tiff(app1.subspan(sizeof kSignature));
    uint32_t directory = 0, entries = 0;
    if (!tiff.readHeader() || !tiff.read(4, 4, directory) || !tiff.read(directory, 2, entries))
        return kUprightOrientation;
    for (uint32_t k = 0; k < entries; ++k) {
        const std::size_t entry = std::size_t{directory} + 2 + std::size_t{k} * kEntrySize;
        uint32_t tag = 0, type = 0, value = 0;
        if (!tiff.read(entry, 2, tag) || !tiff.read(entry + 2, 2, type)) break;
        if (tag != kOrientationTag) continue;
        if (type != kShortType || !tiff.read(entry + 8, 2, value) || value < 1 || value > 8) break;
        return static_cast<int>(value);
    }
    return kUprightOrientation;
}

}  // namespace mireo::imaging
