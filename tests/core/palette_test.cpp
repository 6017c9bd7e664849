// The program's colour tables, the conversion of table values to channel
// bytes, and the nearest-entry choice of the database's packing steps.
#include <gtest/gtest.h>

#include <limits>

#include "errors.h"
#include "pack_pixels.h"
#include "reduce_palette.h"
#include "test_support.h"

using namespace mireo;
using namespace mireo::test;

// Rows of the Palm OS 8-bit system palette: the colour cube without black
// (rows 0..214, blue 255..153 first, then 102..0), ten greys, five extras,
// black to the end, and the spare entry.
TEST(ProgramTables, Palm8HoldsTheSystemColoursAndGrey16TheGreysAsChannels) {
    auto palm = imaging::palm8Palette();
    ASSERT_EQ(palm.entries(), 257);
    auto rgb = [&](int e) { return std::vector<float>{palm.at(e, 0), palm.at(e, 1), palm.at(e, 2), palm.at(e, 3)}; };
    const std::pair<int, std::vector<float>> rows[] = {
        {0, {255, 255, 255, 0}},   {1, {255, 204, 255, 0}},   {6, {255, 255, 204, 0}},   {18, {204, 255, 255, 0}},
        {50, {153, 153, 153, 0}},  {100, {0, 51, 204, 0}},    {107, {0, 0, 153, 0}},     {108, {255, 255, 102, 0}},
        {150, {153, 255, 51, 0}},  {200, {0, 153, 102, 0}},   {213, {0, 102, 0, 0}},     {214, {0, 51, 0, 0}},
        {225, {192, 192, 192, 0}}, {226, {128, 0, 0, 0}},     {227, {128, 0, 128, 0}},   {228, {0, 128, 0, 0}},
        {229, {0, 128, 128, 0}}};
    for (const auto& [entry, colour] : rows) EXPECT_EQ(rgb(entry), colour) << entry;
    const float greys[] = {17, 34, 68, 85, 119, 136, 170, 187, 221, 238};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(rgb(215 + i), (std::vector<float>{greys[i], greys[i], greys[i], 0})) << 215 + i;
    for (int e = 230; e <= 256; ++e) EXPECT_EQ(rgb(e), std::vector<float>(4, 0)) << e;

    auto grey = imaging::grey16Palette();
    ASSERT_EQ(grey.entries(), 17);
    for (int i = 0; i <= 16; ++i)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(grey.at(i, c), i < 16 && c < 3 ? float(255 - 17 * i) : 0.0f) << i;
    // The reductions round table values to channels, halves to even, and keep the low byte.
    const std::pair<float, int> cases[] = {{1.5f, 2},     {2.5f, 2}, {254.5f, 254}, {254.6f, 255},
                                           {255.5f, 0},   {300.0f, 44}, {-1.0f, 255}};
    for (auto [value, channel] : cases) EXPECT_EQ(paletteChannel(value), channel) << value;
    for (float v : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1e30f})
        EXPECT_EQ(errorNumberOf([v] { paletteChannel(v); }), kOverflow) << v;
}

TEST(NearestEntry, ExactMatchThenStrictlyCloserThanTheStart) {
    Table t(257);
    for (int e = 0; e < 257; ++e) t.set(e, 250, 250, 250);
    t.set(3, 30, 10, 10);
    t.set(5, 100, 100, 100);
    t.set(7, 100, 100, 100);
    t.set(255, 10, 10, 10);
    PaletteView view(t.arg());
    NearestEntry nearest(view, 256, 255, 16);
    EXPECT_EQ(nearest(100, 100, 100), 5) << "first of two exact matches";
    EXPECT_EQ(nearest(20, 10, 10), 255) << "tie with entry 3 keeps the start";
    EXPECT_EQ(nearest(21, 10, 10), 3) << "strictly closer";
    EXPECT_EQ(nearest(10, 10, 10), 255);
    EXPECT_EQ(nearest(249, 250, 251), 0) << "first of the equally distant 250s";
}
