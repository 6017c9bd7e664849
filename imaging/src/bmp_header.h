// The part of a BMP file in front of its pixels: the file header, the info
// header of any of the usual sizes, the channel masks and the colour table,
// read in file order from a byte source, every value checked before the
// pixel decoder relies on it.
#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <vector>

namespace mireo::imaging::bmp {

// The bytes of a file in order, from memory or from an open file, counted
// from where the source started.  Reading from a file keeps only the bytes
// of the last request.
class ByteSource {
public:
    explicit ByteSource(std::span<const uint8_t> bytes) : memory_(bytes) {}
    explicit ByteSource(std::FILE* file) : file_(file) {}

    // The next `count` bytes, fewer at the end of the file.  They stay valid
    // until the next request.
    std::span<const uint8_t> take(std::size_t count);
    // The next byte, or -1 at the end of the file.
    int next();
    // Passes over `count` bytes; false when the file ends before.
    bool skip(uint64_t count);
    uint64_t position() const { return position_; }
    // True when reading the file failed (as against reaching its end).
    bool failed() const { return file_ && std::ferror(file_); }

private:
    std::span<const uint8_t> memory_;
    std::FILE* file_ = nullptr;
    std::vector<uint8_t> buffer_;
    uint64_t position_ = 0;
};

// The compression field's values that this decoder takes.
enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6 };

// One colour channel of a 16, 24 or 32-bit pixel, turned into 8 bits the
// way Qt's reader does it: the masked bits shifted down and multiplied by
// 256 / (their largest value + 1), so that channels of 8 bits or fewer fill
// the top of the byte and wider ones give 0.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t scale = 0;

    static std::optional<Channel> of(uint32_t mask);
    uint32_t in(uint32_t pixel) const { return (((pixel & mask) >> shift) * scale) & 0xFF; }
};

struct Header {
    int width = 0;
    int height = 0;  // as displayed, positive
    bool topDown = false;
    int bitsPerPixel = 0;
    uint32_t compression = kRgb;
    std::array<Channel, 3> channels;  // red, green, blue of 16, 24 and 32-bit pixels
    // A colour for every index of a 1 to 8-bit pixel, those that the file's
    // table lacks filled in as Qt fills them in.
    std::array<QRgb, 256> palette{};

    bool runLength() const { return compression == kRle8 || compression == kRle4; }
    // Bytes of one stored row of an uncompressed picture: with its padding
    // to 4 bytes, and without it (all the last row needs).
    uint64_t rowBytes() const { return (uint64_t(width) * bitsPerPixel + 31) / 32 * 4; }
    uint64_t pixelBytes() const { return (uint64_t(width) * bitsPerPixel + 7) / 8; }
};

// Reasons shared by the header reader and the pixel decoder.
inline QString damagedHeader() { return QStringLiteral("The BMP header is damaged."); }
inline QString endsBeforeItsPixels() {
    return QStringLiteral("The picture is damaged: it ends before all its pixels.");
}
inline QString tooLarge() { return QStringLiteral("The picture is too large to decode."); }
inline QString unreadable() { return QStringLiteral("The file could not be read."); }

// The largest picture taken: larger headers are refused before any pixel is
// read (Qt's reader draws the line at the same size).
inline constexpr uint64_t kMaxPixels = uint64_t{16384} * 16384;

// Reads everything up to the pixels and leaves the source at the first
// byte of them; nothing and the reason in `error` when the file is damaged
// or of a kind that is not supported.
std::optional<Header> readHeader(ByteSource& source, QString& error);

}  // namespace mireo::imaging::bmp
