// Reading the header, image record and block headers of a background-image
// database without decoding its pixels.  Every field read is bounds-checked.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace mireo::imaging {

struct PdbFormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct PdbBlockInfo {
    int rows = 0;
    int rowBytes = 0;
    int width = 0;
    int depth = 0;
    int compression = 0;  // 0 none, 1 scanline, 2 RLE, 3 PackBits
    uint32_t uncompressedBytes = 0;
    uint32_t storedBytes = 0;  // data bytes after the 32-byte block header
};

struct PdbInfo {
    std::string name, type, creator;
    uint16_t attributes = 0;
    uint16_t version = 0;
    uint32_t created = 0, modified = 0, backedUp = 0;  // seconds since 1904
    uint32_t width = 0, height = 0, depth = 0;
    uint16_t formatVersion = 0;
    uint16_t rowBytes = 0;
    uint16_t density = 0;
    uint32_t totalDataBytes = 0;
    uint64_t fileSize = 0;
    std::vector<PdbBlockInfo> blocks;
};

// Empty when the file is of type "BmpL" and creator "VTCR", otherwise the
// message for the first field that does not fit (a file too short to hold
// both counts as the wrong type).
std::string backimageTypeProblem(std::span<const uint8_t> file);

// Throws PdbFormatError with a readable reason when the file is damaged.
PdbInfo readPdbInfo(std::span<const uint8_t> file);

// "1904-01-01T00:00:00" form of a database time, which is the wall-clock
// time of the machine that wrote it, without a time zone.
std::string palmTimeText(uint32_t seconds);

const char* compressionName(int type);

}  // namespace mireo::imaging
