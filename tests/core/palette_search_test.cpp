// The program's colour tables, the conversion of table values to channel
// bytes and the nearest-entry choice of the database's packing steps.  The
// fast nearest-colour searches and the column walks of the diffusing
// reductions give exactly what a walk over the whole table gives: for every
// colour with the program's tables, and for random colours, tables and
// pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "diffuse_columns.h"
#include "nearest_sad.h"
#include "nearest_squared.h"
#include "pack_pixels.h"
#include "reduce_palette.h"
#include "reference_reduction.h"

using namespace mireo;
using namespace mireo::test;

namespace {

std::vector<Bgr> bgrOf(const std::vector<RefColour>& rows) {
    std::vector<Bgr> out;
    for (const RefColour& c : rows) out.push_back(Bgr{uint8_t(c.blue), uint8_t(c.green), uint8_t(c.red)});
    return out;
}

// Under the sanitizers the walk is some fifty times slower; there it visits
// every 31st colour, which still reaches every box of the search.
#if defined(__SANITIZE_ADDRESS__)
constexpr uint32_t kColourStride = 31;
#else
constexpr uint32_t kColourStride = 1;
#endif

// Every colour of the cube, or `count` random ones; stops at the first difference.
template <class Fast, class Reference>
void expectSame(Fast& fast, Reference&& reference, std::mt19937* random = nullptr, int count = 0) {
    for (uint32_t i = 0; i < (random ? uint32_t(count) : 1u << 24); i += random ? 1 : kColourStride) {
        uint32_t colour = random ? static_cast<uint32_t>((*random)()) : i;
        auto r = uint8_t(colour >> 16), g = uint8_t(colour >> 8), b = uint8_t(colour);
        ASSERT_EQ(static_cast<int>(fast.find(r, g, b)), reference(r, g, b))
            << "colour (" << int(r) << ", " << int(g) << ", " << int(b) << ")";
    }
}

void expectSameAsSad(const std::vector<RefColour>& rows, std::mt19937* random = nullptr, int count = 0) {
    NearestSad fast(bgrOf(rows));
    expectSame(fast, [&](int r, int g, int b) { return referenceSad(rows, r, g, b); }, random, count);
}

}  // namespace

TEST(NearestSearch, ProgramTablesForEveryColour) {
    Table palm = palm8Table(), grey = grey16Table();
    expectSameAsSad(referenceColours(palm, 256));
    expectSameAsSad(referenceColours(grey, 16));
    auto rows = referenceRows(grey);
    std::vector<FloatRgb> floats;
    for (const auto& row : rows) floats.push_back(FloatRgb{row[0], row[1], row[2]});
    NearestSquared squares(floats);
    expectSame(squares, [&](int r, int g, int b) { return referenceSquared(rows, r, g, b); });
    // The search starts from the second-to-last row, so a table needs one.
    EXPECT_EQ(errorNumberOf([] { NearestSquared one({FloatRgb{1, 2, 3}}); }), kSubscriptOutOfRange);
}

// Few rows, or many with duplicates (ties) and clusters in a corner of the
// cube, so that candidate lists are both short and long.
TEST(NearestSearch, OtherTablesBySad) {
    std::mt19937 random(7);
    for (int n : {1, 3, 40, 256}) {
        std::vector<RefColour> rows;
        for (int i = 0; i < n; ++i)
            rows.push_back(i % 4 == 3 ? rows[std::size_t(i / 2)] : RefColour{int(random() % 40), int(random() % 256), 7});
        expectSameAsSad(rows, &random, 20000);
    }
    // Row 0 is as near to (7, 7, 7) as row 1 but no nearer to anything else
    // in the box 0..7: it must stay a candidate there and win the tie.
    NearestSad corner(bgrOf({{14, 14, 14}, {0, 0, 0}}));
    EXPECT_EQ(std::pair(corner.find(7, 7, 7), corner.find(7, 7, 6)), std::pair(0u, 1u));
    expectSameAsSad({{14, 14, 14}, {0, 0, 0}});
    for (std::size_t n : {std::size_t{0}, std::size_t{257}})
        EXPECT_EQ(errorNumberOf([n] { NearestSad refused{std::vector<Bgr>(n)}; }), kSubscriptOutOfRange) << n;
}

// Sizes below, at and above the staircase of four columns (every edge column
// and ramp comes up), in noise and in table colours off by a level or two
// (errors around the threshold of 3), walked whole and in two halves on two
// threads (halves of fewer than four rows and of odd heights too); tables of
// the Palm colours, of rows crowded into one corner (most boxes have more
// than eight candidates) and of a few repeated colours (ties).
TEST(DiffusionWalk, EveryWalkGivesTheFullTableWalk) {
    using Walk = void (*)(Grid&, NearestSad&, ProgressMeter&);
    std::vector<Walk> walks = {&diffuseColumnsPlain};
#if defined(__SSE2__)
    walks.push_back(&diffuseColumnsSse2);
    walks.push_back(&diffuseColumnsInHalves);
#endif
    std::mt19937 random(21);
    std::vector<Table> tables;
    tables.push_back(palm8Table());
    for (int spread : {24, 256}) {
        Table& t = tables.emplace_back(257);
        for (int32_t row = 0, distinct = spread == 24 ? 256 : 5; row < 257; ++row) {
            std::mt19937 pick(static_cast<unsigned>(row % distinct));
            t.set(row, int(pick() % spread), int(pick() % spread), int(pick() % spread));
        }
    }
    std::vector<std::pair<int32_t, int32_t>> sizes = {{37, 23}, {64, 4}, {4, 64}, {131, 9}, {70, 57}};
    for (int32_t i = 0; i < 60; ++i) sizes.emplace_back(1 + i / 6, 1 + i % 6);  // 1 .. 10 x 1 .. 6
    sizes.emplace_back(23, 11);  // the last size: table colours off by a level or two
    for (const Table& table : tables) {
        auto colours = referenceColours(table, 256);
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            auto [w, h] = sizes[i];
            std::vector<RefColour> pixels(static_cast<std::size_t>(w * h));
            auto off = [&](int v) { return std::clamp(v + int(random() % 5) - 2, 0, 255); };
            for (RefColour& p : pixels) {
                RefColour c = colours[random() % 256];
                p = i + 1 < sizes.size() ? RefColour{int(random() % 256), int(random() % 256), int(random() % 256)}
                                         : RefColour{off(c.red), off(c.green), off(c.blue)};
            }
            auto bits = deviceBits32(pixels);
            auto want = referenceBmp(Reduction::Diffused8, bits, table, w, h, 32);
            for (Walk walk : walks) {
                NearestSad nearest(paletteColours(PaletteView(table.arg()), 256));
                Grid grid = loadDeviceBits(ByteView{bits.data(), bits.size()}, w, h, 32);
                ProgressMeter progress(w);
                walk(grid, nearest, progress);
                ProgressMeter columns(w);
                for (int32_t c = 0; c < w; ++c) columns.advance();
                EXPECT_EQ(progress.percent(), columns.percent());
                std::vector<uint8_t> data = bmpPixelData(grid, false);
                ASSERT_TRUE(std::equal(data.begin(), data.end(), want.begin() + 54, want.end()))
                    << &table - tables.data() << ": " << w << " x " << h << (walk == &diffuseColumnsPlain ? ", plain" : "");
            }
        }
    }
}

// Rows of the Palm OS 8-bit system palette: the colour cube without black
// (rows 0..214, blue 255..153 first, then 102..0), ten greys, five extras,
// black to the end, and the spare entry.
TEST(ProgramTables, Palm8HoldsTheSystemColoursAndGrey16TheGreysAsChannels) {
    auto palm = imaging::palm8Palette();
    ASSERT_EQ(palm.entries(), 257);
    auto rgb = [&](int e) { return std::vector<float>{palm.at(e, 0), palm.at(e, 1), palm.at(e, 2), palm.at(e, 3)}; };
    // The cube in two halves of blue (255..153, 102..0), each red outermost, then blue, then green.
    for (int e = 0, i = 0; e < 215; i = ++e % 108)
        EXPECT_EQ(rgb(e), (std::vector<float>{float(255 - 51 * (i / 18)), float(255 - 51 * (i % 6)),
                                              float(255 - 51 * (3 * (e / 108) + i / 6 % 3)), 0})) << e;
    for (auto [entry, r, g, b] : {std::tuple{225, 192, 192, 192}, {226, 128, 0, 0}, {227, 128, 0, 128}, {228, 0, 128, 0},
                                  {229, 0, 128, 128}})
        EXPECT_EQ(rgb(entry), (std::vector<float>{float(r), float(g), float(b), 0})) << entry;
    const float greys[] = {17, 34, 68, 85, 119, 136, 170, 187, 221, 238};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(rgb(215 + i), (std::vector<float>{greys[i], greys[i], greys[i], 0})) << 215 + i;
    for (int e = 230; e <= 256; ++e) EXPECT_EQ(rgb(e), std::vector<float>(4, 0)) << e;
    auto grey = imaging::grey16Palette();
    ASSERT_EQ(grey.entries(), 17);
    for (int i = 0; i <= 16; ++i)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(grey.at(i, c), i < 16 && c < 3 ? float(255 - 17 * i) : 0.0f) << i;
    // The reductions round table values to channels, halves to even, and keep the low byte.
    for (auto [value, channel] : {std::pair{1.5f, 2}, {2.5f, 2}, {254.5f, 254}, {254.6f, 255}, {255.5f, 0}, {300.0f, 44}, {-1.0f, 255}})
        EXPECT_EQ(paletteChannel(value), channel) << value;
    for (float v : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1e30f})
        EXPECT_EQ(errorNumberOf([v] { paletteChannel(v); }), kOverflow) << v;
}

TEST(NearestEntry, ExactMatchThenStrictlyCloserThanTheStart) {
    Table t(257);
    for (int e = 0; e < 257; ++e) t.set(e, 250, 250, 250);
    t.set(3, 30, 10, 10), t.set(5, 100, 100, 100), t.set(7, 100, 100, 100), t.set(255, 10, 10, 10);
    PaletteView view(t.arg());
    NearestEntry nearest(view, 256, 255, 16);
    // The first of two exact matches; a tie with entry 3 keeps the start, a strictly closer entry wins;
    // the start itself; the first of the equally distant 250s.
    EXPECT_EQ(std::vector({nearest(100, 100, 100), nearest(20, 10, 10), nearest(21, 10, 10), nearest(10, 10, 10),
                           nearest(249, 250, 251)}), std::vector({5, 255, 3, 255, 0}));
}
