// Plain reductions that walk the whole colour table for every pixel, as the
// reference the library's fast searches are checked and timed against, and
// the pictures they are fed.
#pragma once

#include <array>
#include <ostream>

#include "test_support.h"

namespace mireo::test {

// A photo-like picture: smooth gradients, a shaded disc, noisy texture and
// flat patches, the same for the same size and seed on every machine.  As
// packed device bits, top row first: 32 (blue, green, red, 0xFF), 24 (blue,
// green, red) or 16 (RGB565 words, low byte first).
Bytes syntheticPicture(int32_t width, int32_t height, int32_t bitsPerPixel, uint32_t seed = 1);

struct RefColour { int red, green, blue; bool operator==(const RefColour&) const = default; };
inline void PrintTo(const RefColour& c, std::ostream* os) { *os << "(" << c.red << ", " << c.green << ", " << c.blue << ")"; }

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
Bytes referenceBmp(Reduction reduction, const Bytes& bits, const Table& table, int32_t width, int32_t height,
                   int32_t bitsPerPixel);

// 32-bit device bits of pixels given top row first, left to right.
Bytes deviceBits32(const std::vector<RefColour>& pixels);

inline auto exportOf(Reduction r) { return std::array{WriteBmp8, WriteBmp8dith, WriteBmp4, WriteBmp4dith}[std::size_t(r)]; }

}  // namespace mireo::test
