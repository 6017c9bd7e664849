// The caller's colour table as the reductions use it.
#pragma once

#include <cstdint>
#include <vector>

#include "args.h"
#include "bmp.h"

namespace mireo {

// A table value as a colour channel: rounded to the nearest integer (halves
// to even) and cut to its low 8 bits.  Values that have no integer (NaN,
// infinities, beyond 64 bits) raise an overflow.
uint8_t paletteChannel(float value);

// The first `rows` rows of the table (red, green, blue in columns 0..2) as
// byte colours; raises "subscript out of range" when the table is smaller.
std::vector<Bgr> paletteColours(const PaletteView& table, int32_t rows);

// One row of a table kept at single precision.
struct FloatRgb {
    float red, green, blue;
};

// Every row of the table, first to last, at single precision.
std::vector<FloatRgb> paletteRows(const PaletteView& table);

}  // namespace mireo
