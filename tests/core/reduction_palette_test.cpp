// The colour tables as the reductions read them: the program's Palm table
// and the conversion of table values to channel bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "errors.h"
#include "reduce_palette.h"
#include "reference_reduction.h"

using namespace mireo;
using namespace mireo::test;

namespace {

RefColour rowOf(const PaletteTable& table, int32_t row) {
    return referenceColours(table, row + 1)[static_cast<std::size_t>(row)];
}

int errorOf(float value) {
    try {
        paletteChannel(value);
    } catch (const RuntimeError& e) {
        return e.number;
    }
    return 0;
}

}  // namespace

TEST(Palm8Table, RowsOfTheCubeGreysAndExtras) {
    PaletteTable palm(257);
    fillPalm8(palm);
    EXPECT_EQ(rowOf(palm, 0), (RefColour{255, 255, 255}));
    EXPECT_EQ(rowOf(palm, 1), (RefColour{255, 204, 255}));
    EXPECT_EQ(rowOf(palm, 6), (RefColour{255, 255, 204}));
    EXPECT_EQ(rowOf(palm, 18), (RefColour{204, 255, 255}));
    EXPECT_EQ(rowOf(palm, 107), (RefColour{0, 0, 153}));
    EXPECT_EQ(rowOf(palm, 108), (RefColour{255, 255, 102}));
    EXPECT_EQ(rowOf(palm, 213), (RefColour{0, 102, 0}));
    EXPECT_EQ(rowOf(palm, 214), (RefColour{0, 51, 0}));
    EXPECT_EQ(rowOf(palm, 215), (RefColour{17, 17, 17}));
    EXPECT_EQ(rowOf(palm, 224), (RefColour{238, 238, 238}));
    EXPECT_EQ(rowOf(palm, 225), (RefColour{192, 192, 192}));
    EXPECT_EQ(rowOf(palm, 226), (RefColour{128, 0, 0}));
    EXPECT_EQ(rowOf(palm, 229), (RefColour{0, 128, 128}));
    for (int32_t row = 230; row <= 256; ++row) EXPECT_EQ(rowOf(palm, row), (RefColour{0, 0, 0})) << row;
}

TEST(PaletteValues, RoundHalvesToEvenAndKeepTheLowByte) {
    EXPECT_EQ(paletteChannel(1.5f), 2);
    EXPECT_EQ(paletteChannel(2.5f), 2);
    EXPECT_EQ(paletteChannel(254.5f), 254);
    EXPECT_EQ(paletteChannel(254.6f), 255);
    EXPECT_EQ(paletteChannel(255.5f), 0);
    EXPECT_EQ(paletteChannel(300.0f), 44);
    EXPECT_EQ(paletteChannel(-1.0f), 255);
    EXPECT_EQ(errorOf(std::numeric_limits<float>::quiet_NaN()), kOverflow);
    EXPECT_EQ(errorOf(std::numeric_limits<float>::infinity()), kOverflow);
    EXPECT_EQ(errorOf(1e30f), kOverflow);
}

TEST(PaletteValues, ColoursAreCopiedFromTheFirstRows) {
    PaletteTable table(3);
    table.set(0, 10.5f, 11.5f, 12.4f);
    table.set(1, 256, 0, 1);
    table.arg.lowerBound[0] = -1;
    std::vector<Bgr> colours = paletteColours(PaletteView(&table.arg), 2);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_EQ(colours[0].red, 10);
    EXPECT_EQ(colours[0].green, 12);
    EXPECT_EQ(colours[0].blue, 12);
    EXPECT_EQ(colours[1].red, 0);
    EXPECT_EQ(colours[1].blue, 1);
    try {
        paletteColours(PaletteView(&table.arg), 4);
        FAIL() << "four rows read from a three-row table";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, kSubscriptOutOfRange);
    }
}
