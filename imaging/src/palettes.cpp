#include "imaging/palettes.h"

#include <stdexcept>

namespace mireo::imaging {

PaletteTable::PaletteTable(int32_t entries)
    : entries_(entries), values_(static_cast<std::size_t>(entries) * 4, 0.0f) {}

float PaletteTable::at(int32_t entry, int32_t component) const {
    if (entry < 0 || entry >= entries_ || component < 0 || component > 3)
        throw std::out_of_range("palette index");
    return values_[static_cast<std::size_t>(component * entries_ + entry)];
}

void PaletteTable::set(int32_t entry, int red, int green, int blue) {
    if (entry < 0 || entry >= entries_) throw std::out_of_range("palette entry");
    values_[static_cast<std::size_t>(entry)] = static_cast<float>(red);
    values_[static_cast<std::size_t>(entries_ + entry)] = static_cast<float>(green);
    values_[static_cast<std::size_t>(2 * entries_ + entry)] = static_cast<float>(blue);
}

MireoArray PaletteTable::descriptor() const {
    MireoArray array{};
    array.data = const_cast<float*>(values_.data());
    array.dims = 2;
    array.elementSize = 4;
    array.count[0] = entries_;
    array.count[1] = 4;
    return array;
}

// The Palm OS 8-bit system palette: the 6x6x6 colour cube without black
// (blue in its upper half first), ten greys, five extra colours, and black
// for the rest; entry 256 stays zero.
PaletteTable palm8Palette() {
    PaletteTable table(257);
    const int levels[6] = {255, 204, 153, 102, 51, 0};
    int entry = 0;
    for (int half = 0; half < 2; ++half)
        for (int red : levels)
            for (int b = 0; b < 3; ++b)
                for (int green : levels) {
                    int blue = levels[half * 3 + b];
                    if (red == 0 && green == 0 && blue == 0) continue;
                    table.set(entry++, red, green, blue);
                }
    for (int grey : {17, 34, 68, 85, 119, 136, 170, 187, 221, 238}) table.set(entry++, grey, grey, grey);
    table.set(entry++, 192, 192, 192);
    table.set(entry++, 128, 0, 0);
    table.set(entry++, 128, 0, 128);
    table.set(entry++, 0, 128, 0);
    table.set(entry++, 0, 128, 128);
    return table;
}

// Grey i is 255 - 17 i: entry 0 white, entry 15 black; entry 16 stays zero.
PaletteTable grey16Palette() {
    PaletteTable table(17);
    for (int i = 0; i < 16; ++i) table.set(i, 255 - 17 * i, 255 - 17 * i, 255 - 17 * i);
    return table;
}

}  // namespace mireo::imaging
