#include "pack_pixels.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "bmp.h"
#include "errors.h"

namespace mireo {
namespace {

constexpr int32_t kPalm8LastEntry = 256, kPalm8StartEntry = 255;
constexpr int32_t kGreyLastEntry = 16, kGreyStartEntry = 15;

std::size_t pixelCount(const PackedPicture& picture) {
    return static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
}

// An index that does not fit its byte or nibble (the spare entry) cannot
// be stored.
uint8_t storableIndex(int32_t entry, int32_t limit) {
    if (entry >= limit) raise(kOverflow, "palette entry does not fit the pixel");
    return static_cast<uint8_t>(entry);
}

}  // namespace

std::vector<uint8_t> packRgb565(const PackedPicture& picture) {
    std::vector<uint8_t> out(2 * pixelCount(picture));
    const uint8_t* in = picture.bytes.data();
    for (std::size_t i = 0; i < pixelCount(picture); ++i, in += 3) {
        uint8_t b = in[0], g = in[1], r = in[2];
        out[2 * i] = static_cast<uint8_t>((r & 0xF8) | g >> 5);
        out[2 * i + 1] = static_cast<uint8_t>((g & 0x1C) << 3 | b >> 3);
    }
    return out;
}

NearestEntry::NearestEntry(const PaletteView& palette, int32_t lastEntry, int32_t startEntry,
                           std::size_t expectedColours)
    : startEntry_(startEntry),
      slotLimit_(std::bit_ceil(std::max<std::size_t>(2 * std::min<std::size_t>(expectedColours, 1 << 24), kFirstSlots))) {
    for (int32_t e = 0; e <= lastEntry; ++e) {
        red_.push_back(palette.at(e, 0));
        green_.push_back(palette.at(e, 1));
        blue_.push_back(palette.at(e, 2));
    }
    keys_.assign(kFirstSlots, 0);
    values_.assign(kFirstSlots, 0);
}

// The top bits of the product: its low bits would only mix the key's low
// bits, and table colours share those (blue levels 51 apart, say).
std::size_t NearestEntry::slotOf(uint32_t key) const {
    std::size_t mask = keys_.size() - 1;
    std::size_t slot = (uint64_t{key} * 0x9E3779B97F4A7C15u) >> (64 - std::countr_zero(keys_.size()));
    while (keys_[slot] != 0 && keys_[slot] != key) slot = (slot + 1) & mask;
    return slot;
}

void NearestEntry::grow() {
    std::vector<uint32_t> keys(keys_.size() * 2, 0);
    std::vector<int16_t> values(keys.size(), 0);
    keys.swap(keys_);
    values.swap(values_);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == 0) continue;
        std::size_t slot = slotOf(keys[i]);
        keys_[slot] = keys[i];
        values_[slot] = values[i];
    }
}

int32_t NearestEntry::search(uint8_t red, uint8_t green, uint8_t blue) const {
    auto distance = [&](std::size_t e) {
        double dr = red - double{red_[e]}, dg = green - double{green_[e]}, db = blue - double{blue_[e]};
        return dr * dr + dg * dg + db * db;
    };
    std::size_t best = static_cast<std::size_t>(startEntry_);
    double bestDistance = distance(best);
    for (std::size_t e = 0; e < red_.size(); ++e) {
        double d = distance(e);
        if (d == 0) return static_cast<int32_t>(e);
        if (d < bestDistance) {
            best = e;
            bestDistance = d;
        }
    }
    return static_cast<int32_t>(best);
}

int32_t NearestEntry::operator()(uint8_t red, uint8_t green, uint8_t blue) {
    uint32_t key = (uint32_t{red} << 16 | uint32_t{green} << 8 | blue) + 1;
    std::size_t slot = slotOf(key);
    if (keys_[slot] == key) return values_[slot];
    auto entry = search(red, green, blue);
    // The cache is kept at most half full, which keeps the probe sequences
    // short.  It starts small (a reduced picture has few colours) and
    // doubles up to room for every pixel; beyond that colours are searched
    // each time.
    if (filled_ + 1 > keys_.size() / 2) {
        if (keys_.size() >= slotLimit_) return entry;
        grow();
        slot = slotOf(key);
    }
    ++filled_;
    keys_[slot] = key;
    values_[slot] = static_cast<int16_t>(entry);
    return entry;
}

std::vector<uint8_t> packIndexed8(const PackedPicture& picture, const PaletteView& palm8) {
    NearestEntry nearest(palm8, kPalm8LastEntry, kPalm8StartEntry, pixelCount(picture));
    auto width = static_cast<std::size_t>(picture.width);
    std::size_t rowBytes = width + width % 2;
    std::vector<uint8_t> out(rowBytes * static_cast<std::size_t>(picture.height));
    const uint8_t* in = picture.bytes.data();
    for (std::size_t y = 0; y < static_cast<std::size_t>(picture.height); ++y)
        for (std::size_t x = 0; x < width; ++x, in += 3)
            out[y * rowBytes + x] = storableIndex(nearest(in[2], in[1], in[0]), 256);
    return out;
}

std::vector<uint8_t> packGrey4(const PackedPicture& picture, const PaletteView& grey) {
    NearestEntry nearest(grey, kGreyLastEntry, kGreyStartEntry, pixelCount(picture));
    auto width = static_cast<std::size_t>(picture.width);
    std::size_t packed = (width + 1) / 2;
    std::size_t rowBytes = packed + packed % 2;
    std::vector<uint8_t> out(rowBytes * static_cast<std::size_t>(picture.height));
    const uint8_t* in = picture.bytes.data();
    for (std::size_t y = 0; y < static_cast<std::size_t>(picture.height); ++y)
        for (std::size_t x = 0; x < width; ++x, in += 3) {
            uint8_t index = storableIndex(nearest(in[2], in[1], in[0]), 16);
            out[y * rowBytes + x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
    return out;
}

}  // namespace mireo
