// The two column walks of the diffusing reductions give the bytes of the
// full table walk, for any picture size and for tables whose boxes hold
// few or many candidates; and the two slot searches of a box agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "diffuse_columns.h"
#include "errors.h"
#include "nearest_sad.h"
#include "reduce_palette.h"
#include "reference_reduction.h"

using namespace mireo;
using namespace mireo::test;

namespace {

struct Table {
    const char* name;
    PaletteTable values{257};
};

// Rows spread over the whole cube, rows crowded into one corner (most
// boxes then have more than eight candidates), and rows repeating a few
// colours (ties everywhere).
void fillRandom(PaletteTable& table, uint32_t seed, int spread, int distinct) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> level(0, spread - 1);
    std::vector<std::array<int, 3>> colours(static_cast<std::size_t>(distinct));
    for (auto& c : colours) c = {level(random), level(random), level(random)};
    for (int32_t row = 0; row < 257; ++row) {
        const auto& c = colours[static_cast<std::size_t>(row) % colours.size()];
        table.set(row, float(c[0]), float(c[1]), float(c[2]));
    }
}

std::vector<Table> tables() {
    std::vector<Table> out(4);
    out[0].name = "Palm";
    fillPalm8(out[0].values);
    out[1].name = "spread";
    fillRandom(out[1].values, 5, 256, 256);
    out[2].name = "crowded";
    fillRandom(out[2].values, 6, 24, 256);
    out[3].name = "repeating";
    fillRandom(out[3].values, 7, 256, 5);
    return out;
}

std::vector<uint8_t> noise(int32_t w, int32_t h, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> level(0, 255);
    std::vector<uint8_t> bits(std::size_t(4) * static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (uint8_t& b : bits) b = static_cast<uint8_t>(level(random));
    return bits;
}

using Walk = void (*)(Grid&, NearestSad&, ProgressMeter&);

// The BMP file a walk gives: the export's steps, without the window.
std::vector<uint8_t> walkedFile(Walk walk, const std::vector<uint8_t>& bits, const PaletteTable& table, int32_t w,
                                int32_t h) {
    NearestSad nearest(paletteColours(PaletteView(&table.arg), 256));
    Grid grid = loadDeviceBits(ByteView{bits.data(), bits.size()}, w, h, 32);
    ProgressMeter progress(w);
    walk(grid, nearest, progress);
    auto header = bmpHeader(w, h);
    std::vector<uint8_t> file(header.begin(), header.end());
    std::vector<uint8_t> data = bmpPixelData(grid, false);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

std::vector<Walk> walks() {
    std::vector<Walk> out = {&diffuseColumnsPlain};
#if defined(__SSE2__)
    out.push_back(&diffuseColumnsSse2);
#endif
    return out;
}

}  // namespace

// Widths and heights below, at and above the staircase of four columns, so
// every edge column and every ramp of the staircase comes up.
TEST(DiffusionWalk, EveryWalkGivesTheFullTableWalk) {
    std::vector<std::pair<int32_t, int32_t>> sizes;
    for (int32_t w = 1; w <= 10; ++w)
        for (int32_t h = 1; h <= 6; ++h) sizes.emplace_back(w, h);
    sizes.insert(sizes.end(), {{37, 23}, {64, 4}, {4, 64}, {131, 9}});
    for (const Table& table : tables())
        for (auto [w, h] : sizes) {
            auto bits = noise(w, h, static_cast<uint32_t>(w * 100 + h));
            auto want = referenceBmp(Reduction::Diffused8, bits, table.values, w, h, 32);
            for (Walk walk : walks())
                ASSERT_EQ(walkedFile(walk, bits, table.values, w, h), want)
                    << table.name << " table, " << w << " x " << h << (walk == &diffuseColumnsPlain ? ", plain" : "");
        }
}

// Saturated colours push errors to both ends of the channel range, so the
// clamps on the way up and to the right both matter.
TEST(DiffusionWalk, ExtremeColoursClampAlike) {
    std::mt19937 random(9);
    std::uniform_int_distribution<int> pick(0, 3);
    const int32_t w = 29, h = 17;
    std::vector<uint8_t> bits(std::size_t(4) * w * h);
    for (uint8_t& b : bits) b = std::array<uint8_t, 4>{0, 3, 252, 255}[static_cast<std::size_t>(pick(random))];
    for (const Table& table : tables()) {
        auto want = referenceBmp(Reduction::Diffused8, bits, table.values, w, h, 32);
        for (Walk walk : walks()) EXPECT_EQ(walkedFile(walk, bits, table.values, w, h), want) << table.name;
    }
}

// Table colours off by a level or two: errors near the threshold of 3,
// where a share goes right or not.
TEST(DiffusionWalk, ErrorsAroundTheThreshold) {
    const int32_t w = 23, h = 11;
    for (const Table& table : tables()) {
        auto colours = referenceColours(table.values, 256);
        std::mt19937 random(21);
        std::uniform_int_distribution<int> row(0, 255), off(-2, 2);
        std::vector<RefColour> pixels(static_cast<std::size_t>(w * h));
        for (RefColour& p : pixels) {
            RefColour c = colours[static_cast<std::size_t>(row(random))];
            p = {std::clamp(c.red + off(random), 0, 255), std::clamp(c.green + off(random), 0, 255),
                 std::clamp(c.blue + off(random), 0, 255)};
        }
        auto bits = deviceBits32(pixels);
        auto want = referenceBmp(Reduction::Diffused8, bits, table.values, w, h, 32);
        for (Walk walk : walks()) EXPECT_EQ(walkedFile(walk, bits, table.values, w, h), want) << table.name;
    }
}

#if defined(__SSE2__)
// Boxes with distinct, tied and repeated slots, for random colours.
TEST(NearestSadBox, BothSlotSearchesAgree) {
    std::mt19937 random(13);
    std::uniform_int_distribution<uint32_t> colour(0, 0xFFFFFF), small(0, 7);
    for (int trial = 0; trial < 2000; ++trial) {
        NearestSad::ShortBox box{};
        for (uint64_t& slot : box.colour) slot = trial % 3 == 0 ? small(random) * 0x010101u : colour(random);
        if (trial % 5 == 0) box.colour[6] = box.colour[7] = box.colour[2];
        for (int i = 0; i < 50; ++i) {
            uint32_t packed = trial % 3 == 0 ? small(random) * 0x010101u : colour(random);
            ASSERT_EQ(NearestSad::nearestSlotSse2(box, _mm_set1_epi64x(packed)),
                      NearestSad::nearestSlotPlain(box, packed))
                << "trial " << trial;
        }
    }
}
#endif

TEST(NearestSadBox, TablesOfNoRowsOrMoreThan256AreRefused) {
    for (std::size_t rows : {std::size_t{0}, std::size_t{257}}) {
        try {
            NearestSad nearest{std::vector<Bgr>(rows)};
            FAIL() << rows << " rows were accepted";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, kSubscriptOutOfRange);
        }
    }
}
