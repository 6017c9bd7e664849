#include "bmp_header.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace mireo::imaging::bmp {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // OS/2 1.x: 16-bit sizes, 3-byte colours
constexpr uint32_t kOs2HeaderSize = 64;   // OS/2 2.x: Windows 3 fields, then its own
constexpr uint32_t kInfoHeaderSize = 40;  // Windows 3
constexpr uint32_t kV2HeaderSize = 52;    // with the red, green and blue masks
constexpr uint32_t kV3HeaderSize = 56;    // and the alpha mask

// The fields of any info header that the decoder reads, with the masks of
// the headers that hold them (zero elsewhere).
struct InfoFields {
    uint32_t size = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint32_t planes = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t compression = kRgb;
    uint32_t colorsUsed = 0;
    std::array<uint32_t, 4> masks{};  // red, green, blue, alpha

    bool core() const { return size == kCoreHeaderSize; }
    bool bitfields() const { return compression == kBitfields || compression == kAlphaBitfields; }
    // Masks stored after the header: the headers without room for them.
    uint32_t trailingMaskBytes() const {
        if (!bitfields() || (size >= kV2HeaderSize && size != kOs2HeaderSize)) return 0;
        return compression == kAlphaBitfields ? 16 : 12;
    }
    uint32_t paletteEntries() const {
        if (bitsPerPixel > 8) return 0;
        return colorsUsed == 0 || core() ? 1u << bitsPerPixel : colorsUsed;
    }
};

QString endsInside(const char* part) {
    return QStringLiteral("The picture is damaged: it ends inside its %1.").arg(QLatin1String(part));
}

QString unsupported(const char* what, int64_t value) {
    return QStringLiteral("This kind of BMP (%1) is not supported.").arg(QString::fromLatin1(what).arg(value));
}

uint32_t littleEndian(std::span<const uint8_t> bytes, std::size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

bool knownHeaderSize(uint32_t size) {
    for (uint32_t known : {kCoreHeaderSize, kInfoHeaderSize, kV2HeaderSize, kV3HeaderSize, kOs2HeaderSize, 108u, 124u})
        if (size == known) return true;
    return false;
}

bool readFileHeader(ByteSource& source, uint32_t& pixelOffset, QString& error) {
    std::span<const uint8_t> bytes = source.take(kFileHeaderSize);
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
        error = QStringLiteral("This is not a BMP file.");
        return false;
    }
    if (bytes.size() < kFileHeaderSize) {
        error = endsInside("header");
        return false;
    }
    pixelOffset = littleEndian(bytes, 10, 4);
    return true;
}

// `bytes` is the header after its size field.
void readFields(std::span<const uint8_t> bytes, InfoFields& fields) {
    auto field = [&](std::size_t at, int size) { return littleEndian(bytes, at - 4, size); };
    // OS/2 1.x sizes are read signed, as Qt's reader reads them: a negative
    // height is a picture stored top-down there too.
    if (fields.core()) {
        fields.width = static_cast<int16_t>(field(4, 2)), fields.height = static_cast<int16_t>(field(6, 2));
        fields.planes = field(8, 2), fields.bitsPerPixel = field(10, 2);
        return;
    }
    fields.width = static_cast<int32_t>(field(4, 4)), fields.height = static_cast<int32_t>(field(8, 4));
    fields.planes = field(12, 2), fields.bitsPerPixel = field(14, 2);
    fields.compression = field(16, 4);
    fields.colorsUsed = field(32, 4);
    // OS/2 2.x has fields of its own where the Windows headers keep the masks.
    if (fields.size == kOs2HeaderSize) return;
    for (std::size_t i = 0; i < 4; ++i)
        if (40 + 4 * i + 4 <= fields.size) fields.masks[i] = field(40 + 4 * i, 4);
}

std::optional<InfoFields> readInfoHeader(ByteSource& source, QString& error) {
    InfoFields fields;
    std::span<const uint8_t> sizeBytes = source.take(4);
    if (sizeBytes.size() < 4) {
        error = endsInside("header");
        return {};
    }
    fields.size = littleEndian(sizeBytes, 0, 4);
    if (!knownHeaderSize(fields.size)) {
        error = unsupported("a header of %1 bytes", fields.size);
        return {};
    }
    std::span<const uint8_t> bytes = source.take(fields.size - 4);
    if (bytes.size() < fields.size - 4) {
        error = endsInside("header");
        return {};
    }
    readFields(bytes, fields);
    return fields;
}

bool compressionFits(const InfoFields& fields) {
    switch (fields.compression) {
        case kRgb: return true;
        case kRle8: return fields.bitsPerPixel == 8;
        case kRle4: return fields.bitsPerPixel == 4;
        case kBitfields:
        case kAlphaBitfields: return fields.bitsPerPixel == 16 || fields.bitsPerPixel == 32;
        default: return false;
    }
}

bool checkFields(const InfoFields& fields, QString& error) {
    const uint32_t depth = fields.bitsPerPixel;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
        error = unsupported("%1 bits per pixel", depth);
        return false;
    }
    if (!compressionFits(fields)) {
        error = unsupported("compression %1", fields.compression);
        return false;
    }
    const bool runLength = fields.compression == kRle8 || fields.compression == kRle4;
    if (fields.planes != 1 || fields.width <= 0 || fields.height == 0 || fields.paletteEntries() > 256 ||
        (runLength && fields.height < 0)) {
        error = damagedHeader();
        return false;
    }
    if (static_cast<uint64_t>(fields.width) * static_cast<uint64_t>(std::abs(fields.height)) > kMaxPixels) {
        error = tooLarge();
        return false;
    }
    return true;
}

bool readTrailingMasks(ByteSource& source, InfoFields& fields, QString& error) {
    const uint32_t bytes = fields.trailingMaskBytes();
    if (bytes == 0) return true;
    std::span<const uint8_t> masks = source.take(bytes);
    if (masks.size() < bytes) {
        error = endsInside("header");
        return false;
    }
    for (std::size_t i = 0; i < bytes / 4; ++i) fields.masks[i] = littleEndian(masks, 4 * i, 4);
    return true;
}

// The masks of the pixels' channels; uncompressed pixels have fixed ones,
// 16-bit ones 5 bits for each colour.
std::array<uint32_t, 3> channelMasks(const InfoFields& fields) {
    if (fields.bitfields()) return {fields.masks[0], fields.masks[1], fields.masks[2]};
    if (fields.bitsPerPixel == 16) return {0x7C00, 0x03E0, 0x001F};
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

// A mask of all 32 bits has no largest value + 1 to scale by; Qt's reader
// refuses it, the alpha mask included.
bool setChannels(const InfoFields& fields, Header& header, QString& error) {
    if (fields.bitsPerPixel <= 8) return true;
    const std::array<uint32_t, 3> masks = channelMasks(fields);
    for (std::size_t i = 0; i < 3; ++i) {
        std::optional<Channel> channel = Channel::of(masks[i]);
        if (!channel) {
            error = damagedHeader();
            return false;
        }
        header.channels[i] = *channel;
    }
    if (fields.bitfields() && !Channel::of(fields.masks[3])) {
        error = damagedHeader();
        return false;
    }
    return true;
}

// Indices past the file's table are black, as Qt shows them; a 1-bit
// picture with a single colour shows its other index white.
bool readPalette(ByteSource& source, const InfoFields& fields, Header& header, QString& error) {
    const uint32_t entries = fields.paletteEntries();
    if (entries == 0) return true;
    const std::size_t entrySize = fields.core() ? 3 : 4;
    std::span<const uint8_t> bytes = source.take(entries * entrySize);
    if (bytes.size() < entries * entrySize) {
        error = endsInside("colour table");
        return false;
    }
    header.palette.fill(qRgb(0, 0, 0));
    if (fields.bitsPerPixel == 1) header.palette[1] = qRgb(255, 255, 255);
    for (std::size_t i = 0; i < entries; ++i) {
        const uint8_t* entry = bytes.data() + i * entrySize;
        header.palette[i] = qRgb(entry[2], entry[1], entry[0]);
    }
    return true;
}

// The pixels start at the file header's offset, which must lie past the
// headers.  When the colour table runs past the offset, the pixels follow
// the table, as Qt's reader takes them.
bool skipToPixels(ByteSource& source, uint32_t pixelOffset, QString& error) {
    if (pixelOffset <= source.position()) return true;
    if (!source.skip(pixelOffset - source.position())) {
        error = QStringLiteral("The picture is damaged: its pixels would start past its end.");
        return false;
    }
    return true;
}

Header headerFrom(const InfoFields& fields) {
    Header header;
    header.width = static_cast<int>(fields.width);
    header.height = static_cast<int>(std::abs(fields.height));
    header.topDown = fields.height < 0;
    header.bitsPerPixel = static_cast<int>(fields.bitsPerPixel);
    header.compression = fields.compression;
    return header;
}

}  // namespace

std::span<const uint8_t> ByteSource::take(std::size_t count) {
    if (!file_) {
        const auto at = static_cast<std::size_t>(position_);
        const std::size_t got = std::min(count, memory_.size() - at);
        position_ += got;
        return memory_.subspan(at, got);
    }
    buffer_.resize(count);
    const std::size_t got = std::fread(buffer_.data(), 1, count, file_);
    position_ += got;
    return {buffer_.data(), got};
}

int ByteSource::next() {
    if (!file_) return position_ < memory_.size() ? memory_[static_cast<std::size_t>(position_++)] : -1;
    const int byte = std::getc(file_);
    if (byte == EOF) return -1;
    ++position_;
    return byte;
}

bool ByteSource::skip(uint64_t count) {
    if (!file_) {
        const uint64_t left = memory_.size() - position_;
        position_ += std::min(count, left);
        return count <= left;
    }
    uint8_t chunk[4096];
    while (count > 0) {
        const auto want = static_cast<std::size_t>(std::min<uint64_t>(count, sizeof chunk));
        const std::size_t got = std::fread(chunk, 1, want, file_);
        position_ += got;
        count -= got;
        if (got < want) return false;
    }
    return true;
}

std::optional<Channel> Channel::of(uint32_t mask) {
    Channel channel;
    channel.mask = mask;
    channel.shift = mask == 0 ? 0 : std::countr_zero(mask);
    const uint32_t largest = mask >> channel.shift;
    if (largest == UINT32_MAX) return {};
    channel.scale = 256 / (largest + 1);
    return channel;
}

std::optional<Header> readHeader(ByteSource& source, QString& error) {
    uint32_t pixelOffset = 0;
    if (!readFileHeader(source, pixelOffset, error)) return {};
    std::optional<InfoFields> fields = readInfoHeader(source, error);
    if (!fields || !checkFields(*fields, error) || !readTrailingMasks(source, *fields, error)) return {};
    if (pixelOffset < source.position()) {
        error = damagedHeader();
        return {};
    }
    Header header = headerFrom(*fields);
    if (!setChannels(*fields, header, error) || !readPalette(source, *fields, header, error) ||
        !skipToPixels(source, pixelOffset, error))
        return {};
    return header;
}

}  // namespace mireo::imaging::bmp
