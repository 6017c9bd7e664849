// The background-image database: a Palm OS database of type "BmpL" and
// creator "VTCR" holding one image record and the picture's rows cut into
// block records.  All numbers are big-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace mireo {

constexpr std::size_t kPdbHeaderSize = 78;
constexpr std::size_t kRecordEntrySize = 8;
constexpr std::size_t kRecordListGap = 2;  // zero bytes after the record list
constexpr std::size_t kImageRecordSize = 32;
constexpr std::size_t kBlockHeaderSize = 32;
constexpr uint16_t kImageFormatVersion = 2;
constexpr uint16_t kObsoleteFormatVersion = 1;
constexpr uint16_t kDensity = 72;
constexpr uint8_t kRecordAttributes = 0x40;
constexpr uint16_t kDatabaseAttributes = 0x0008;
constexpr std::size_t kNameField = 32;

// Offsets inside the image record.
namespace image_field {
constexpr std::size_t width = 0, height = 4, depth = 8, version = 12, blockCount = 14, totalBytes = 16,
                      rowBytes = 20, density = 22;
}

// Offsets inside a block header.
namespace block_field {
constexpr std::size_t uncompressedSize = 6, width = 8, rows = 10, rowBytes = 12, depth = 14, compression = 15;
}

// Offset of record 0, right after the record list and its gap.
constexpr std::size_t firstRecordOffset(std::size_t records) {
    return kPdbHeaderSize + kRecordEntrySize * records + kRecordListGap;
}

// How a picture is cut into blocks.
struct PdbGeometry {
    int32_t rowBytes = 0;
    int32_t rowsPerBlock = 0;  // R0
    int32_t blockCount = 0;    // B; the database holds B + 1 records
    int32_t lastBlockRows = 0;

    int32_t rowsOfBlock(int32_t block) const { return block + 1 == blockCount ? lastBlockRows : rowsPerBlock; }
};

// Row bytes by depth, rows per block = block size / row bytes (the height
// when smaller), and the blocks.  Raises for what the format cannot hold:
// a depth other than 16, 8 or 4, a size that is not positive, a row longer
// than the block size, a block or width beyond its 16-bit field, more
// blocks than a record list can number.
PdbGeometry pdbGeometry(int32_t width, int32_t height, int32_t depth, int32_t blockSize);

}  // namespace mireo
