// The fast nearest-colour searches give exactly the rows of a walk over the
// whole table: for every colour with the program's tables, and for random
// colours with random tables.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "errors.h"
#include "nearest_sad.h"
#include "nearest_squared.h"
#include "reference_reduction.h"

using namespace mireo;
using namespace mireo::test;

namespace {

std::vector<Bgr> bgrOf(const std::vector<RefColour>& rows) {
    std::vector<Bgr> out;
    for (const RefColour& c : rows) out.push_back(Bgr{uint8_t(c.blue), uint8_t(c.green), uint8_t(c.red)});
    return out;
}

std::vector<FloatRgb> floatOf(const std::vector<std::array<float, 3>>& rows) {
    std::vector<FloatRgb> out;
    for (const auto& row : rows) out.push_back(FloatRgb{row[0], row[1], row[2]});
    return out;
}

// Under the sanitizers the walk is some fifty times slower; there it visits
// every 31st colour, which still reaches every box of the search.
#if defined(__SANITIZE_ADDRESS__)
constexpr uint32_t kColourStride = 31;
#else
constexpr uint32_t kColourStride = 1;
#endif

// Every colour of the cube; stops at the first difference.
template <class Fast, class Reference>
void expectSameForEveryColour(Fast& fast, Reference&& reference) {
    for (uint32_t colour = 0; colour < (1u << 24); colour += kColourStride) {
        auto r = uint8_t(colour >> 16), g = uint8_t(colour >> 8), b = uint8_t(colour);
        auto got = static_cast<int>(fast.find(r, g, b));
        int want = reference(r, g, b);
        if (got != want) {
            ADD_FAILURE() << "colour (" << int(r) << ", " << int(g) << ", " << int(b) << "): fast " << got
                          << ", reference " << want;
            return;
        }
    }
}

template <class Fast, class Reference>
void expectSameForRandomColours(Fast& fast, Reference&& reference, std::mt19937& random, int count) {
    std::uniform_int_distribution<int> level(0, 255);
    for (int i = 0; i < count; ++i) {
        int r = level(random), g = level(random), b = level(random);
        ASSERT_EQ(static_cast<int>(fast.find(uint8_t(r), uint8_t(g), uint8_t(b))), reference(r, g, b))
            << "colour (" << r << ", " << g << ", " << b << ")";
    }
}

}  // namespace

TEST(NearestSearch, Palm8TableForEveryColour) {
    PaletteTable table(257);
    fillPalm8(table);
    auto rows = referenceColours(table, 256);
    NearestSad fast(bgrOf(rows));
    expectSameForEveryColour(fast, [&](int r, int g, int b) { return referenceSad(rows, r, g, b); });
}

TEST(NearestSearch, GreyTableBySadForEveryColour) {
    PaletteTable table(17);
    fillGrey16(table);
    auto rows = referenceColours(table, 16);
    NearestSad fast(bgrOf(rows));
    expectSameForEveryColour(fast, [&](int r, int g, int b) { return referenceSad(rows, r, g, b); });
}

TEST(NearestSearch, GreyTableBySquaresWithItsZeroRowForEveryColour) {
    PaletteTable table(17);
    fillGrey16(table);
    auto rows = referenceRows(table);
    NearestSquared fast(floatOf(rows));
    expectSameForEveryColour(fast, [&](int r, int g, int b) { return referenceSquared(rows, r, g, b); });
}

// Random tables: few rows or many, duplicated rows (ties), clusters in a
// corner of the cube, so candidate lists are both short and long.
TEST(NearestSearch, RandomTablesBySad) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 24; ++trial) {
        int n = std::vector<int>{1, 2, 3, 16, 40, 256}[trial % 6];
        int spread = trial % 4 == 3 ? 40 : 256;
        std::uniform_int_distribution<int> level(0, spread - 1), pick(0, 3);
        std::vector<RefColour> rows;
        for (int i = 0; i < n; ++i) {
            if (i > 0 && pick(random) == 0) rows.push_back(rows[static_cast<std::size_t>(i / 2)]);
            else rows.push_back({level(random), level(random), level(random)});
        }
        NearestSad fast(bgrOf(rows));
        expectSameForRandomColours(fast, [&](int r, int g, int b) { return referenceSad(rows, r, g, b); }, random, 20000);
    }
}

// Row 0 is as near to (7, 7, 7) as row 1, but no nearer to anything else in
// the box 0..7: its nearest distance to that box equals row 1's farthest.
// It must stay a candidate there and win the tie.
TEST(NearestSearch, RowTiedOnlyAtTheCornerOfABox) {
    std::vector<RefColour> rows = {{14, 14, 14}, {0, 0, 0}};
    NearestSad fast(bgrOf(rows));
    EXPECT_EQ(fast.find(7, 7, 7), 0u);
    EXPECT_EQ(fast.find(7, 7, 6), 1u);
    expectSameForEveryColour(fast, [&](int r, int g, int b) { return referenceSad(rows, r, g, b); });
}

TEST(NearestSearch, RandomFractionalTablesBySquares) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 24; ++trial) {
        int n = std::vector<int>{2, 3, 17, 64, 300}[trial % 5];
        std::uniform_real_distribution<float> value(-40.0f, 300.0f);
        std::uniform_int_distribution<int> pick(0, 3);
        std::vector<std::array<float, 3>> rows;
        for (int i = 0; i < n; ++i) {
            if (i > 0 && pick(random) == 0) rows.push_back(rows[static_cast<std::size_t>(i - 1)]);
            else if (pick(random) == 0) rows.push_back({std::round(value(random)), 7.5f, 0.5f});
            else rows.push_back({value(random), value(random), value(random)});
        }
        NearestSquared fast(floatOf(rows));
        expectSameForRandomColours(fast, [&](int r, int g, int b) { return referenceSquared(rows, r, g, b); }, random,
                                   20000);
    }
}

// A starting row tied with lower rows keeps the tie; rows that are not
// numbers never win, and a starting row that is not a number is never
// replaced; infinitely far rows lose to any finite one.
TEST(NearestSearch, SquaresWithTiesAndNonFiniteRows) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    std::vector<std::vector<std::array<float, 3>>> tables = {
        {{10, 10, 10}, {10, 10, 10}, {200, 0, 0}},
        {{0, 0, 0}, {nan, 0, 0}, {255, 255, 255}, {128, 128, 128}},
        {{0, 0, 0}, {255, 255, 255}, {nan, 1, 1}, {3, 3, 3}},
        {{inf, 0, 0}, {-inf, 5, 5}, {90, 90, 90}, {1e30f, 0, 0}},
        {{inf, 0, 0}, {inf, 0, 0}},
    };
    std::mt19937 random(3);
    for (const auto& rows : tables) {
        NearestSquared fast(floatOf(rows));
        expectSameForRandomColours(fast, [&](int r, int g, int b) { return referenceSquared(rows, r, g, b); }, random,
                                   5000);
    }
    NearestSquared tied(floatOf(tables[0]));
    EXPECT_EQ(tied.find(10, 10, 10), 1u);
    NearestSquared startIsNan(floatOf(tables[2]));
    EXPECT_EQ(startIsNan.find(0, 0, 0), 2u);
}

TEST(NearestSearch, SquaresNeedASecondToLastRow) {
    try {
        NearestSquared fast({FloatRgb{1, 2, 3}});
        FAIL() << "a one-row table was accepted";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, kSubscriptOutOfRange);
    }
}
