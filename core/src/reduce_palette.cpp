#include "reduce_palette.h"

#include <cmath>

#include "errors.h"
#include "numeric.h"

namespace mireo {

uint8_t paletteChannel(float value) {
    if (!(std::fabs(value) < 9.0e18f)) raise(kOverflow, "palette value");
    return static_cast<uint8_t>(roundHalfEven(value) & 0xFF);
}

std::vector<Bgr> paletteColours(const PaletteView& table, int32_t rows) {
    std::vector<Bgr> colours;
    colours.reserve(static_cast<std::size_t>(rows));
    for (int64_t entry = table.firstEntry(); entry < int64_t{table.firstEntry()} + rows; ++entry) {
        if (entry > table.lastEntry()) raise(kSubscriptOutOfRange, "palette too small");
        auto e = static_cast<int32_t>(entry);
        uint8_t red = paletteChannel(table.at(e, 0));
        uint8_t green = paletteChannel(table.at(e, 1));
        uint8_t blue = paletteChannel(table.at(e, 2));
        colours.push_back(Bgr{blue, green, red});
    }
    return colours;
}

std::vector<FloatRgb> paletteRows(const PaletteView& table) {
    std::vector<FloatRgb> rows;
    rows.reserve(static_cast<std::size_t>(table.lastEntry() - table.firstEntry() + 1));
    for (int64_t entry = table.firstEntry(); entry <= table.lastEntry(); ++entry) {
        auto e = static_cast<int32_t>(entry);
        rows.push_back(FloatRgb{table.at(e, 0), table.at(e, 1), table.at(e, 2)});
    }
    return rows;
}

}  // namespace mireo
