// Plain reductions that walk the whole colour table for every pixel, as the
// reference the library's fast searches are checked and timed against.
#pragma once

#include <array>
#include <ostream>

#include "test_support.h"

namespace mireo::test {

struct RefColour {
    int red, green, blue;
    bool operator==(const RefColour&) const = default;
};
void PrintTo(const RefColour& c, std::ostream* os);

// Rows 0 .. count - 1 of a table rounded to whole numbers; every row as it stands.
std::vector<RefColour> referenceColours(const Table& table, int32_t count);
std::vector<std::array<float, 3>> referenceRows(const Table& table);

// First exact match, else the lowest row of the smallest sum of absolute
// differences, starting from a best distance of 765.
int referenceSad(const std::vector<RefColour>& rows, int r, int g, int b);
// Squared distance, rounded, starting from the second-to-last row.
int referenceSquared(const std::vector<std::array<float, 3>>& rows, int r, int g, int b);

enum class Reduction { Nearest8, Diffused8, Nearest4, Diffused4 };

// The whole BMP file that a reduction writes for these device bits.
std::vector<uint8_t> referenceBmp(Reduction reduction, const std::vector<uint8_t>& bits, const Table& table,
                                  int32_t width, int32_t height, int32_t bitsPerPixel);

// 32-bit device bits of pixels given top row first, left to right.
std::vector<uint8_t> deviceBits32(const std::vector<RefColour>& pixels);
// The pixels of a written BMP file, top row first; fails the test on a
// wrong size or non-zero pad bytes.
std::vector<RefColour> filePixels(const std::vector<uint8_t>& file, int32_t width, int32_t height);

using ReductionExport = void (*)(const MireoArray*, const MireoArray*, const int32_t*, const int32_t*,
                                 const MireoString*, const int32_t*);
ReductionExport exportOf(Reduction reduction);

// Calls the reduction's export; the written file, or nothing when none exists.
std::vector<uint8_t> reduceToFile(Reduction reduction, std::vector<uint8_t> bits, const Table& table, int32_t width,
                                  int32_t height, const std::string& path, int32_t bitsPerPixel = 32);

}  // namespace mireo::test
