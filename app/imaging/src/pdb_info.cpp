#include "imaging/pdb_info.h"

#include <cstdio>

namespace mireo::imaging {

namespace {

constexpr std::size_t kHeaderSize = 78;
constexpr std::size_t kEntrySize = 8;
constexpr std::size_t kRecordHeaderSize = 32;

class Reader {
public:
    explicit Reader(std::span<const uint8_t> file) : file_(file) {}

    uint32_t u32(std::size_t at, const char* what) const {
        need(at, 4, what);
        return uint32_t{file_[at]} << 24 | uint32_t{file_[at + 1]} << 16 | uint32_t{file_[at + 2]} << 8 |
               uint32_t{file_[at + 3]};
    }
    uint16_t u16(std::size_t at, const char* what) const {
        need(at, 2, what);
        return static_cast<uint16_t>(file_[at] << 8 | file_[at + 1]);
    }
    uint8_t u8(std::size_t at, const char* what) const {
        need(at, 1, what);
        return file_[at];
    }
    std::string text(std::size_t at, std::size_t length, const char* what) const {
        need(at, length, what);
        std::string value;
        for (std::size_t i = 0; i < length && file_[at + i] != 0; ++i) value += static_cast<char>(file_[at + i]);
        return value;
    }
    void need(std::size_t at, std::size_t length, const char* what) const {
        if (at > file_.size() || length > file_.size() - at)
            throw PdbFormatError(std::string("The file ends inside the ") + what + ".");
    }
    std::size_t size() const { return file_.size(); }

private:
    std::span<const uint8_t> file_;
};

PdbBlockInfo readBlock(const Reader& in, std::size_t offset, std::size_t end) {
    in.need(offset, kRecordHeaderSize, "header of a block record");
    if (end < offset + kRecordHeaderSize) throw PdbFormatError("The records of the database overlap.");
    PdbBlockInfo block;
    block.uncompressedBytes = in.u16(offset + 6, "block header");
    block.width = in.u16(offset + 8, "block header");
    block.rows = in.u16(offset + 10, "block header");
    block.rowBytes = in.u16(offset + 12, "block header");
    block.depth = in.u8(offset + 14, "block header");
    block.compression = in.u8(offset + 15, "block header");
    block.storedBytes = static_cast<uint32_t>(end - offset - kRecordHeaderSize);
    return block;
}

void readImageRecord(const Reader& in, std::size_t offset, PdbInfo& info) {
    in.need(offset, kRecordHeaderSize, "image record");
    info.width = in.u32(offset, "image record");
    info.height = in.u32(offset + 4, "image record");
    info.depth = in.u32(offset + 8, "image record");
    info.formatVersion = in.u16(offset + 12, "image record");
    info.totalDataBytes = in.u32(offset + 16, "image record");
    info.rowBytes = in.u16(offset + 20, "image record");
    info.density = in.u16(offset + 22, "image record");
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
int64_t daysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

std::string backimageTypeProblem(std::span<const uint8_t> file) {
    auto field = [&](std::size_t at) { return std::string(file.begin() + at, file.begin() + at + 4); };
    if (file.size() < 64 || field(60) != "BmpL") return "This file doesn't appear to be a valid Vantrel Backimage";
    if (file.size() < 68 || field(64) != "VTCR")
        return "This file doesn't appear to be a valid Vantrel Background Image";
    return {};
}

PdbInfo readPdbInfo(std::span<const uint8_t> file) {
    Reader in(file);
    in.need(0, kHeaderSize, "database header");
    PdbInfo info;
    info.fileSize = file.size();
    info.name = in.text(0, 32, "database header");
    info.attributes = in.u16(32, "database header");
    info.version = in.u16(34, "database header");
    info.created = in.u32(36, "database header");
    info.modified = in.u32(40, "database header");
    info.backedUp = in.u32(44, "database header");
    info.type = in.text(60, 4, "database header");
    info.creator = in.text(64, 4, "database header");
    std::size_t records = in.u16(76, "database header");
    if (records == 0) throw PdbFormatError("The database holds no records.");
    in.need(kHeaderSize, records * kEntrySize, "record list");

    auto offsetOf = [&](std::size_t k) { return std::size_t{in.u32(kHeaderSize + k * kEntrySize, "record list")}; };
    readImageRecord(in, offsetOf(0), info);
    uint16_t blockCount = in.u16(offsetOf(0) + 14, "image record");
    if (blockCount != records - 1)
        throw PdbFormatError("The image record counts " + std::to_string(blockCount) + " blocks, the database holds " +
                             std::to_string(records - 1) + ".");
    for (std::size_t k = 1; k < records; ++k) {
        std::size_t end = k + 1 < records ? offsetOf(k + 1) : in.size();
        info.blocks.push_back(readBlock(in, offsetOf(k), end));
    }
    return info;
}

std::string palmTimeText(uint32_t seconds) {
    int64_t days = daysFromCivil(1904, 1, 1) + seconds / 86400;
    int64_t rest = seconds % 86400;
    // Civil date from days since 1970-01-01.
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t dayOfEra = z - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t mp = (5 * dayOfYear + 2) / 153;
    int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    int64_t month = mp < 10 ? mp + 3 : mp - 9;
    int64_t year = yearOfEra + era * 400 + (month <= 2);
    char text[80];  // room for any 64-bit field, so the compiler can prove nothing is cut
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return text;
}

const char* compressionName(int type) {
    switch (type) {
        case 0: return "none";
        case 1: return "scanline";
        case 2: return "RLE";
        case 3: return "PackBits";
    }
    return "unknown";
}

}  // namespace mireo::imaging
