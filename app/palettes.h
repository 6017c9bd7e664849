// The two colour tables handed to the image library, laid out as it reads
// them: entries 0..N-1, components red, green, blue and a zero column,
// the entry index varying fastest.
#pragma once

#include <array>
#include <cstddef>

#include "mireocore.h"

template <int Entries>
struct PaletteTable {
    static constexpr int kEntries = Entries;
    std::array<float, static_cast<std::size_t>(Entries) * 4> values{};

    float at(int entry, int component) const {
        return values[static_cast<std::size_t>(component * Entries + entry)];
    }
    void set(int entry, int component, float value) {
        values[static_cast<std::size_t>(component * Entries + entry)] = value;
    }
    // The descriptor of a table with bounds (0 to Entries-1, 0 to 3).
    MireoArray descriptor() {
        MireoArray array{};
        array.data = values.data();
        array.dims = 2;
        array.elementSize = 4;
        array.count[0] = Entries;
        array.count[1] = 4;
        return array;
    }
};

// The Palm OS 8-bit system palette and a zero entry.
inline PaletteTable<257> Palm8Palette;
// The 16 greys of 4-bit images and a zero entry.
inline PaletteTable<17> Grey16Palette;

// Fills both tables from their lists of values.
void FillPalettes();
