// The two palette tables handed to the library: the Palm OS 8-bit system
// palette (257 entries) and the 16 greys (17 entries), each entry with the
// components red, green, blue and an unused zero, the entry index varying
// fastest in memory.
#pragma once

#include <cstdint>
#include <vector>

#include "mireocore.h"

namespace mireo::imaging {

class PaletteTable {
public:
    explicit PaletteTable(int32_t entries);
    int32_t entries() const { return entries_; }
    float at(int32_t entry, int32_t component) const;
    void set(int32_t entry, int red, int green, int blue);
    // The array descriptor; valid while the table lives.
    MireoArray descriptor() const;

private:
    int32_t entries_;
    std::vector<float> values_;
};

PaletteTable palm8Palette();
PaletteTable grey16Palette();

struct Palettes {
    PaletteTable palm8 = palm8Palette();
    PaletteTable grey16 = grey16Palette();
};

}  // namespace mireo::imaging
