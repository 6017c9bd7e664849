#include "pdb_reader.h"

#include <array>
#include <cmath>
#include <climits>
#include <optional>
#include <vector>

#include "args.h"
#include "bmp.h"
#include "errors.h"
#include "numeric.h"
#include "pdb_format.h"

namespace mireo {
namespace {

// No encoding expands more than this: an RLE pair gives at most 255 bytes.
constexpr uint64_t kMaxExpansion = 128;

[[noreturn]] void truncated(const char* what) { raise(kInputPastEnd, what); }
[[noreturn]] void inconsistent(const char* what) { raise(kInvalidCall, what); }

// Where each record begins and ends; records follow each other in order.
class RecordList {
public:
    explicit RecordList(std::span<const uint8_t> file) : file_(file) {
        std::size_t records = getBe16(&file[76]);
        if (file.size() < kPdbHeaderSize + kRecordEntrySize * records) truncated("record list");
        std::size_t previous = kPdbHeaderSize + kRecordEntrySize * records;
        for (std::size_t k = 0; k < records; ++k) {
            std::size_t offset = getBe32(&file[kPdbHeaderSize + kRecordEntrySize * k]);
            if (offset > file.size()) truncated("record offset past the end");
            if (offset < previous) inconsistent("record offsets out of order");
            offsets_.push_back(offset);
            previous = offset;
        }
    }
    std::size_t size() const { return offsets_.size(); }
    std::size_t begin(std::size_t k) const { return offsets_[k]; }
    std::size_t end(std::size_t k) const { return k + 1 < offsets_.size() ? offsets_[k + 1] : file_.size(); }
    std::span<const uint8_t> record(std::size_t k) const { return file_.subspan(begin(k), end(k) - begin(k)); }

private:
    std::span<const uint8_t> file_;
    std::vector<std::size_t> offsets_;
};

struct Block {
    std::span<const uint8_t> data;  // after the block header, to the record's end
    int32_t rows;
    CompressionType type;
};

struct Layout {
    int32_t width, height, depth, rowBytes;
    std::vector<Block> blocks;
};

Block readBlockHeader(std::span<const uint8_t> record, const Layout& layout) {
    if (record.size() < kBlockHeaderSize) truncated("block header");
    const uint8_t* h = record.data();
    Block block{record.subspan(kBlockHeaderSize), static_cast<int32_t>(getBe16(h + block_field::rows)),
                static_cast<CompressionType>(h[block_field::compression])};
    auto size = static_cast<uint64_t>(block.rows) * static_cast<uint64_t>(layout.rowBytes);
    if (block.rows == 0) inconsistent("block without rows");
    if (static_cast<int32_t>(getBe16(h + block_field::rowBytes)) != layout.rowBytes ||
        static_cast<int32_t>(getBe16(h + block_field::width)) != layout.width ||
        h[block_field::depth] != layout.depth || getBe16(h + block_field::uncompressedSize) != size)
        inconsistent("block header disagrees with the image record");
    if (block.type > kPackBits) inconsistent("unknown compression type");
    if (block.type == kUncompressed && block.data.size() < size) truncated("raw block past its record");
    if (block.type != kUncompressed && size > kMaxExpansion * block.data.size()) truncated("stream too short");
    return block;
}

Layout readLayout(std::span<const uint8_t> file, const ImageRecord& record) {
    if (record.depth != 16 && record.depth != 8 && record.depth != 4) inconsistent("depth must be 16, 8 or 4");
    if (record.width == 0 || record.height == 0 || record.width > 0xFFFF || record.height > INT32_MAX)
        inconsistent("picture size");
    Layout layout{static_cast<int32_t>(record.width), static_cast<int32_t>(record.height),
                  static_cast<int32_t>(record.depth), 0, {}};
    layout.rowBytes = packedRowBytes(layout.width, layout.depth);
    if (record.rowBytes != layout.rowBytes) inconsistent("row bytes disagree with width and depth");
    RecordList list(file);
    if (record.blockCount == 0 || record.blockCount >= list.size()) inconsistent("block count");
    int64_t rows = 0;
    for (std::size_t k = 1; k <= record.blockCount; ++k) {
        layout.blocks.push_back(readBlockHeader(list.record(k), layout));
        rows += layout.blocks.back().rows;
        if (rows > layout.height) inconsistent("blocks hold more rows than the picture");
    }
    if (rows != layout.height) inconsistent("blocks hold fewer rows than the picture");
    checkBmpSize(layout.width, layout.height);
    return layout;
}

std::string textField(std::span<const uint8_t> file, std::size_t at, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length && file[at + i] != 0; ++i) text += static_cast<char>(file[at + i]);
    return text;
}

BlockFacts blockFacts(std::span<const uint8_t> record) {
    if (record.size() < kBlockHeaderSize) truncated("header of a block record");
    const uint8_t* h = record.data();
    return {static_cast<uint16_t>(getBe16(h + block_field::uncompressedSize)),
            static_cast<uint16_t>(getBe16(h + block_field::width)),
            static_cast<uint16_t>(getBe16(h + block_field::rows)),
            static_cast<uint16_t>(getBe16(h + block_field::rowBytes)),
            h[block_field::depth],
            h[block_field::compression],
            record.size() - kBlockHeaderSize};
}

// The colours of the palette indices of a stored depth.  An index whose
// entry the table lacks, or whose channels are no bytes, fails when used.
class IndexColours {
public:
    IndexColours(const MireoArray* table, int32_t indices) {
        PaletteView palette(table);
        for (int32_t i = 0; i < indices; ++i) {
            if (i < palette.firstEntry() || i > palette.lastEntry()) {
                error_[i] = kSubscriptOutOfRange;
                continue;
            }
            std::array<uint8_t, 3> rgb{};
            for (int32_t c = 0; c < 3; ++c) {
                double v = std::nearbyint(double{palette.at(i, c)});
                if (!(v >= 0 && v <= 255)) error_[i] = kOverflow;
                else rgb[c] = static_cast<uint8_t>(v);
            }
            colour_[i] = Bgr{rgb[2], rgb[1], rgb[0]};
        }
    }
    const Bgr& operator[](uint8_t index) const {
        if (error_[index]) raise(error_[index], "palette index");
        return colour_[index];
    }

private:
    std::array<Bgr, 256> colour_{};
    std::array<int, 256> error_{};
};

void put(uint8_t*& out, const Bgr& c) {
    out[0] = c.blue;
    out[1] = c.green;
    out[2] = c.red;
    out += 3;
}

// Expands `rows` packed rows into blue, green, red triples at `out`.
class RowExpander {
public:
    RowExpander(const Layout& layout, const MireoArray* grey, const MireoArray* palm8) : layout_(layout) {
        if (layout.depth == 8) colours_.emplace(palm8, 256);
        if (layout.depth == 4) colours_.emplace(grey, 16);
    }
    void expand(const uint8_t* in, int32_t rows, uint8_t* out) const {
        for (int32_t r = 0; r < rows; ++r, in += layout_.rowBytes) expandRow(in, out);
    }

private:
    void expandRow(const uint8_t* in, uint8_t*& out) const {
        auto width = static_cast<std::size_t>(layout_.width);
        for (std::size_t x = 0; x < width; ++x) {
            if (layout_.depth == 16) put(out, expandRgb565(in[2 * x + 1], in[2 * x]));
            else if (layout_.depth == 8) put(out, (*colours_)[in[x]]);
            else put(out, (*colours_)[static_cast<uint8_t>(x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 0x0F)]);
        }
    }
    const Layout& layout_;
    std::optional<IndexColours> colours_;
};

// The block's packed rows: in place for a raw block, else decoded into
// `buffer`.  A stream must end where its length field says.
const uint8_t* blockPixels(const Block& block, const Layout& layout, std::vector<uint8_t>& buffer) {
    if (block.type == kUncompressed) return block.data.data();
    std::size_t consumed;
    try {
        consumed = decodeBlock(block.type, block.data, block.rows, layout.rowBytes, layout.depth, buffer);
    } catch (const DecodeError& error) {
        throw BlockDecodeFailure{block.type, error};
    }
    if (consumed != getBe32(block.data.data())) inconsistent("stream holds more than its block");
    return buffer.data();
}

}  // namespace

ImageRecord readImageRecord(std::span<const uint8_t> file) {
    if (file.size() < kPdbHeaderSize + kRecordEntrySize) truncated("database header");
    if (getBe16(&file[76]) == 0) inconsistent("database without records");
    std::size_t offset = getBe32(&file[kPdbHeaderSize]);
    if (offset > file.size() || file.size() - offset < kImageRecordSize) truncated("image record");
    const uint8_t* r = file.data() + offset;
    ImageRecord record;
    record.width = getBe32(r + image_field::width);
    record.height = getBe32(r + image_field::height);
    record.depth = getBe32(r + image_field::depth);
    record.version = static_cast<uint16_t>(getBe16(r + image_field::version));
    record.blockCount = static_cast<uint16_t>(getBe16(r + image_field::blockCount));
    record.rowBytes = static_cast<uint16_t>(getBe16(r + image_field::rowBytes));
    record.totalBytes = getBe32(r + image_field::totalBytes);
    record.density = static_cast<uint16_t>(getBe16(r + image_field::density));
    return record;
}

PackedPicture decodePicture(std::span<const uint8_t> file, const ImageRecord& record, const MireoArray* grey,
                            const MireoArray* palm8) {
    Layout layout = readLayout(file, record);
    RowExpander expander(layout, grey, palm8);
    std::size_t rowOut = std::size_t(3) * static_cast<std::size_t>(layout.width);
    PackedPicture picture{layout.width, layout.height,
                          std::vector<uint8_t>(rowOut * static_cast<std::size_t>(layout.height))};
    std::vector<uint8_t> decoded;
    uint8_t* out = picture.bytes.data();
    for (const Block& block : layout.blocks) {
        expander.expand(blockPixels(block, layout, decoded), block.rows, out);
        out += rowOut * static_cast<std::size_t>(block.rows);
    }
    return picture;
}

DatabaseFacts readDatabaseFacts(std::span<const uint8_t> file) {
    DatabaseFacts facts;
    facts.image = readImageRecord(file);
    facts.name = textField(file, 0, kNameField);
    facts.attributes = static_cast<uint16_t>(getBe16(&file[32]));
    facts.version = static_cast<uint16_t>(getBe16(&file[34]));
    facts.created = getBe32(&file[36]);
    facts.modified = getBe32(&file[40]);
    facts.backedUp = getBe32(&file[44]);
    facts.type = textField(file, 60, 4);
    facts.creator = textField(file, 64, 4);
    RecordList list(file);
    if (list.record(0).size() < kImageRecordSize) inconsistent("image record overlaps the next record");
    if (facts.image.blockCount + std::size_t{1} != list.size()) inconsistent("block count");
    for (std::size_t k = 1; k < list.size(); ++k) facts.blocks.push_back(blockFacts(list.record(k)));
    return facts;
}

PackedPicture decodeDatabase(std::span<const uint8_t> file, const MireoArray* grey, const MireoArray* palm8) {
    ImageRecord record = readImageRecord(file);
    if (record.version != kImageFormatVersion) inconsistent("format version");
    return decodePicture(file, record, grey, palm8);
}

}  // namespace mireo
