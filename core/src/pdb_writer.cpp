#include "pdb_writer.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "codecs.h"
#include "errors.h"
#include "numeric.h"

namespace mireo {
namespace {

struct EncodedBlock {
    CompressionType type = kUncompressed;
    std::vector<uint8_t> stream;  // empty for a raw block
};

// The smallest candidate wins.  The raw block competes at its size less
// 16, so a stream must be at least 17 bytes shorter to replace it; a
// candidate of 0 (an encoder not run or failed) never wins.  Ties go to the
// earlier of raw, scanline, RLE, PackBits.
EncodedBlock chooseEncoding(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes, int32_t depth) {
    std::array<EncodedBlock, 4> candidates{};
    candidates[1] = {kScanline, runEncoder(Encoder::kScanline, block, rows, rowBytes)};
    if (depth == 16) {
        candidates[3] = {kPackBits, runEncoder(Encoder::kPackBits16, block, rows, rowBytes)};
    } else {
        candidates[2] = {kRle, runEncoder(Encoder::kRle, block, rows, rowBytes)};
        candidates[3] = {kPackBits, runEncoder(Encoder::kPackBits8, block, rows, rowBytes)};
    }
    auto rank = [&](std::size_t i) {
        return i == 0 ? static_cast<int64_t>(block.size()) - 16 : static_cast<int64_t>(candidates[i].stream.size());
    };
    std::array<std::size_t, 4> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
    for (std::size_t i : order)
        if (rank(i) != 0) return std::move(candidates[i]);
    return {};
}

void putName(uint8_t* field, const std::string& name) {
    std::memcpy(field, name.data(), std::min(name.size(), kNameField - 1));
}

void putHeader(uint8_t* h, const DatabaseInfo& info, std::size_t records) {
    putName(h, info.name);
    putBe16(h + 32, kDatabaseAttributes);
    putBe32(h + 36, info.timestamp);
    putBe32(h + 40, info.timestamp);
    std::memcpy(h + 60, "BmpL", 4);
    std::memcpy(h + 64, "VTCR", 4);
    putBe16(h + 76, static_cast<uint32_t>(records));
}

void putRecordEntry(uint8_t* entry, std::size_t offset, std::size_t index, std::size_t records, uint16_t random) {
    putBe32(entry, static_cast<uint32_t>(offset));
    entry[4] = kRecordAttributes;
    putLe16(entry + 5, random);
    // Entry 0 carries the record count in its index byte.
    entry[7] = static_cast<uint8_t>(index == 0 ? records : index);
}

void putImageRecord(uint8_t* r, const DatabaseInfo& info, const PdbGeometry& g, std::size_t totalBytes) {
    putBe32(r + image_field::width, static_cast<uint32_t>(info.width));
    putBe32(r + image_field::height, static_cast<uint32_t>(info.height));
    putBe32(r + image_field::depth, static_cast<uint32_t>(info.depth));
    putBe16(r + image_field::version, kImageFormatVersion);
    putBe16(r + image_field::blockCount, static_cast<uint32_t>(g.blockCount));
    putBe32(r + image_field::totalBytes, static_cast<uint32_t>(totalBytes));
    putBe16(r + image_field::rowBytes, static_cast<uint32_t>(g.rowBytes));
    putBe16(r + image_field::density, kDensity);
}

void putBlockHeader(uint8_t* h, const DatabaseInfo& info, const PdbGeometry& g, int32_t rows, CompressionType type) {
    putBe16(h + block_field::uncompressedSize, static_cast<uint32_t>(rows * g.rowBytes));
    putBe16(h + block_field::width, static_cast<uint32_t>(info.width));
    putBe16(h + block_field::rows, static_cast<uint32_t>(rows));
    putBe16(h + block_field::rowBytes, static_cast<uint32_t>(g.rowBytes));
    h[block_field::depth] = static_cast<uint8_t>(info.depth);
    h[block_field::compression] = type;
}

}  // namespace

uint16_t uniqueIdRandomFrom(double unit) {
    auto drawn = static_cast<uint16_t>(roundHalfEven(65535.0 * unit));
    return static_cast<uint16_t>(std::abs(int32_t{static_cast<int16_t>(drawn)}));
}

std::vector<uint8_t> buildDatabase(std::span<const uint8_t> pixels, const PdbGeometry& g, const DatabaseInfo& info) {
    auto rowBytes = static_cast<std::size_t>(g.rowBytes);
    if (pixels.size() < rowBytes * static_cast<std::size_t>(info.height)) raise(kInputPastEnd, "pixels too short");
    auto records = static_cast<std::size_t>(g.blockCount) + 1;
    std::size_t imageRecord = firstRecordOffset(records);
    std::vector<uint8_t> file(imageRecord + kImageRecordSize);
    std::vector<std::size_t> offsets{imageRecord};
    std::size_t totalBytes = 0;
    std::size_t row = 0;
    for (int32_t k = 0; k < g.blockCount; ++k) {
        int32_t rows = g.rowsOfBlock(k);
        auto block = pixels.subspan(row * rowBytes, static_cast<std::size_t>(rows) * rowBytes);
        row += static_cast<std::size_t>(rows);
        EncodedBlock chosen = info.compress ? chooseEncoding(block, rows, g.rowBytes, info.depth) : EncodedBlock{};
        std::span<const uint8_t> data = chosen.type == kUncompressed ? block : std::span<const uint8_t>(chosen.stream);
        offsets.push_back(file.size());
        std::size_t header = file.size();
        file.resize(header + kBlockHeaderSize);
        putBlockHeader(file.data() + header, info, g, rows, chosen.type);
        file.insert(file.end(), data.begin(), data.end());
        totalBytes += data.size();
        if (file.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
            raise(kOverflow, "database larger than its offsets can address");
    }
    putHeader(file.data(), info, records);
    for (std::size_t k = 0; k < records; ++k)
        putRecordEntry(file.data() + kPdbHeaderSize + kRecordEntrySize * k, offsets[k], k, records,
                       info.uniqueIdRandom);
    putImageRecord(file.data() + imageRecord, info, g, totalBytes);
    return file;
}

}  // namespace mireo
