// Assembly of a background-image database in memory from packed pixel rows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pdb_format.h"

namespace mireo {

struct DatabaseInfo {
    std::string name;          // its first 31 bytes are stored
    uint32_t timestamp = 0;    // creation and modification date
    uint16_t uniqueIdRandom = 0;  // random part R of every record's unique ID
    int32_t width = 0, height = 0, depth = 0;
    bool compress = false;     // let the encoders compete for every block
};

// The whole file.  `pixels` holds height x row bytes bytes, top row first.
std::vector<uint8_t> buildDatabase(std::span<const uint8_t> pixels, const PdbGeometry& geometry,
                                   const DatabaseInfo& info);

// R as the database expects it: 65535 x `unit` (in [0, 1)) rounded, its
// low 16 bits read as a signed number and made positive (0 to 32768).
uint16_t uniqueIdRandomFrom(double unit);

}  // namespace mireo
