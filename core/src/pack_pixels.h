// The packing steps of the database writer: a 24-bit picture (rows of blue,
// green, red, top row first) into the pixel rows of the database at 16, 8
// or 4 bits per pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "args.h"
#include "packed_picture.h"

namespace mireo {

// RGB565, high byte first.
std::vector<uint8_t> packRgb565(const PackedPicture& picture);

// Nearest-colour choice over a palette table: the first entry that matches
// all three channels exactly, else the entry of least squared distance,
// where `startEntry` is the first best guess and only a strictly closer
// entry (scanned upwards) replaces it.  Results are cached by colour.
class NearestEntry {
public:
    // `expectedColours` sizes the cache.  Raises when the table lacks an entry.
    NearestEntry(const PaletteView& palette, int32_t lastEntry, int32_t startEntry, std::size_t expectedColours);
    int32_t operator()(uint8_t red, uint8_t green, uint8_t blue);

private:
    static constexpr std::size_t kFirstSlots = 1024;
    int32_t search(uint8_t red, uint8_t green, uint8_t blue) const;
    std::size_t slotOf(uint32_t key) const;
    void grow();
    std::vector<float> red_, green_, blue_;
    int32_t startEntry_;
    std::size_t slotLimit_;
    // Open addressing by colour; a key is the 24-bit colour + 1, 0 = empty.
    std::vector<uint32_t> keys_;
    std::vector<int16_t> values_;
    std::size_t filled_ = 0;
};

// One palette index per byte, a zero byte after each row of odd width.
// Entries 0 to 256 of the Palm table are searched (start 255).
std::vector<uint8_t> packIndexed8(const PackedPicture& picture, const PaletteView& palm8);

// Two grey indices per byte, the left pixel in the high nibble, rows padded
// to an even byte count.  Entries 0 to 16 are searched (start 15).
std::vector<uint8_t> packGrey4(const PackedPicture& picture, const PaletteView& grey);

}  // namespace mireo
