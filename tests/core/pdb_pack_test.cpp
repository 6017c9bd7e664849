// The nearest-colour choice of the packing steps: exact matches first, the
// starting entry kept on ties, the cache giving what a fresh search gives.
#include <gtest/gtest.h>

#include "args.h"
#include "errors.h"
#include "pack_pixels.h"
#include "test_support.h"

using namespace mireo::test;

namespace {

mireo::PackedPicture row(std::vector<uint8_t> bgr) {
    auto w = static_cast<int32_t>(bgr.size() / 3);
    return {w, 1, std::move(bgr)};
}

}  // namespace

TEST(NearestEntry, ExactMatchThenStrictlyCloserThanTheStart) {
    PaletteTable t(257);
    t.set(3, 30, 10, 10);
    t.set(5, 100, 100, 100);
    t.set(7, 100, 100, 100);
    t.set(255, 10, 10, 10);
    for (int e = 0; e < 257; ++e)
        if (e != 3 && e != 5 && e != 7 && e != 255) t.set(e, 250, 250, 250);
    mireo::PaletteView view(&t);
    mireo::NearestEntry nearest(view, 256, 255, 16);
    EXPECT_EQ(nearest(100, 100, 100), 5) << "first of two exact matches";
    EXPECT_EQ(nearest(20, 10, 10), 255) << "tie with entry 3 keeps the start";
    EXPECT_EQ(nearest(21, 10, 10), 3) << "strictly closer";
    EXPECT_EQ(nearest(10, 10, 10), 255);
    EXPECT_EQ(nearest(249, 250, 251), 0) << "first of the equally distant 250s";
}

TEST(NearestEntry, CachedAnswersEqualFreshSearches) {
    PaletteTable t(257);
    fillPalm8(t);
    mireo::PaletteView view(&t);
    mireo::NearestEntry cached(view, 256, 255, 64);  // cache smaller than the colours seen
    uint32_t seed = 7;
    for (int i = 0; i < 5000; ++i) {
        seed = seed * 1664525 + 1013904223;
        auto r = static_cast<uint8_t>(seed >> 24), g = static_cast<uint8_t>(seed >> 16), b = static_cast<uint8_t>(seed >> 8);
        mireo::NearestEntry fresh(view, 256, 255, 1);
        int32_t first = cached(r, g, b);
        EXPECT_EQ(first, fresh(r, g, b));
        EXPECT_EQ(cached(r, g, b), first);
    }
}

TEST(PackPixels, SpareEntryCannotBeStored) {
    PaletteTable palm(257);
    fillPalm8(palm);
    palm.set(256, 1, 2, 3);  // a colour only the spare entry has
    EXPECT_THROW(mireo::packIndexed8(row({3, 2, 1}), mireo::PaletteView(&palm)), mireo::RuntimeError);
    PaletteTable grey(17);
    fillGrey16(grey);
    grey.set(16, 1, 2, 3);
    EXPECT_THROW(mireo::packGrey4(row({3, 2, 1}), mireo::PaletteView(&grey)), mireo::RuntimeError);
    fillGrey16(grey);
    EXPECT_EQ(mireo::packGrey4(row({3, 3, 3, 0, 0, 0}), mireo::PaletteView(&grey)), (std::vector<uint8_t>{0xFF, 0}));
}

TEST(PackPixels, UnPadAndFlipRestoreTopDownRows) {
    // A 1 x 3 BMP: rows of 3 bytes plus one pad byte, bottom row first.
    std::vector<uint8_t> data = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
    auto picture = mireo::unPad(data.data(), data.size(), 1, 3);
    EXPECT_EQ(picture.bytes, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    mireo::flipRows(picture);
    EXPECT_EQ(picture.bytes, (std::vector<uint8_t>{7, 8, 9, 4, 5, 6, 1, 2, 3}));
    EXPECT_THROW(mireo::unPad(data.data(), data.size() - 1, 1, 3), mireo::RuntimeError);
}
