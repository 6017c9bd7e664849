// The fast nearest-colour searches and the column walks of the diffusing
// reductions give exactly what a walk over the whole table gives: for every
// colour with the program's tables, and for random colours, tables and
// pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "diffuse_columns.h"
#include "nearest_sad.h"
#include "nearest_squared.h"
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

}  // namespace

TEST(NearestSearch, ProgramTablesForEveryColour) {
    Table palm = palm8Table(), grey = grey16Table();
    for (const auto& [table, count] : {std::pair<const Table*, int>{&palm, 256}, {&grey, 16}}) {
        auto rows = referenceColours(*table, count);
        NearestSad fast(bgrOf(rows));
        expectSame(fast, [&](int r, int g, int b) { return referenceSad(rows, r, g, b); });
    }
    auto rows = referenceRows(grey);
    std::vector<FloatRgb> floats;
    for (const auto& row : rows) floats.push_back(FloatRgb{row[0], row[1], row[2]});
    NearestSquared squares(floats);
    expectSame(squares, [&](int r, int g, int b) { return referenceSquared(rows, r, g, b); });
    // The starting row (the second-to-last) keeps its ties; a table needs one.
    NearestSquared tied({{10, 10, 10}, {10, 10, 10}, {200, 0, 0}});
    EXPECT_EQ(tied.find(10, 10, 10), 1u);
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
        NearestSad fast(bgrOf(rows));
        expectSame(fast, [&](int r, int g, int b) { return referenceSad(rows, r, g, b); }, &random, 20000);
    }
    // Row 0 is as near to (7, 7, 7) as row 1 but no nearer to anything else
    // in the box 0..7: it must stay a candidate there and win the tie.
    std::vector<RefColour> corner = {{14, 14, 14}, {0, 0, 0}};
    NearestSad fast(bgrOf(corner));
    EXPECT_EQ(fast.find(7, 7, 7), 0u);
    EXPECT_EQ(fast.find(7, 7, 6), 1u);
    expectSame(fast, [&](int r, int g, int b) { return referenceSad(corner, r, g, b); });
    for (std::size_t n : {std::size_t{0}, std::size_t{257}})
        EXPECT_EQ(errorNumberOf([n] { NearestSad refused{std::vector<Bgr>(n)}; }), kSubscriptOutOfRange) << n;
}

// Sizes below, at and above the staircase of four columns, so every edge
// column and every ramp of the staircase comes up, in noise and in table
// colours off by a level or two (errors around the threshold of 3); tables
// of the Palm colours, of rows crowded into one corner (most boxes have
// more than eight candidates) and of a few repeated colours (ties).
TEST(DiffusionWalk, EveryWalkGivesTheFullTableWalk) {
    using Walk = void (*)(Grid&, NearestSad&, ProgressMeter&);
    std::vector<Walk> walks = {&diffuseColumnsPlain};
#if defined(__SSE2__)
    walks.push_back(&diffuseColumnsSse2);
#endif
    std::mt19937 random(21);
    std::vector<Table> tables;
    tables.push_back(palm8Table());
    for (int spread : {24, 256}) {
        imaging::PaletteTable t(257);
        for (int32_t row = 0, distinct = spread == 24 ? 256 : 5; row < 257; ++row) {
            std::mt19937 pick(static_cast<unsigned>(row % distinct));
            t.set(row, int(pick() % spread), int(pick() % spread), int(pick() % spread));
        }
        tables.emplace_back(std::move(t));
    }
    for (const Table& table : tables) {
        std::vector<std::pair<int32_t, int32_t>> sizes = {{37, 23}, {64, 4}, {4, 64}, {131, 9}};
        for (int32_t w = 1; w <= 10; ++w)
            for (int32_t h = 1; h <= 6; ++h) sizes.emplace_back(w, h);
        auto colours = referenceColours(table, 256);
        for (std::size_t i = 0; i <= sizes.size(); ++i) {
            auto [w, h] = i < sizes.size() ? sizes[i] : std::pair{23, 11};
            std::vector<RefColour> pixels(static_cast<std::size_t>(w * h));
            auto off = [&](int v) { return std::clamp(v + int(random() % 5) - 2, 0, 255); };
            for (RefColour& p : pixels) {
                RefColour c = colours[random() % 256];
                p = i < sizes.size() ? RefColour{int(random() % 256), int(random() % 256), int(random() % 256)}
                                     : RefColour{off(c.red), off(c.green), off(c.blue)};
            }
            auto bits = deviceBits32(pixels);
            auto want = referenceBmp(Reduction::Diffused8, bits, table, w, h, 32);
            for (Walk walk : walks) {
                NearestSad nearest(paletteColours(PaletteView(table.arg()), 256));
                Grid grid = loadDeviceBits(ByteView{bits.data(), bits.size()}, w, h, 32);
                ProgressMeter progress(w);
                walk(grid, nearest, progress);
                std::vector<uint8_t> data = bmpPixelData(grid, false);
                ASSERT_TRUE(std::equal(data.begin(), data.end(), want.begin() + 54, want.end()))
                    << &table - tables.data() << ": " << w << " x " << h << (walk == &diffuseColumnsPlain ? ", plain" : "");
            }
        }
    }
}
