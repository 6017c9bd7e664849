// Nearest table colour by the sum of absolute channel differences; among
// equally near rows the lowest wins, so an exactly matching colour gives its
// first row.
//
// The colour cube is cut into 8 x 8 x 8 boxes.  A row whose smallest
// possible distance to a box exceeds the largest distance that some row can
// have to any colour of the box is never the nearest, nor tied with it, for
// a colour in that box; every other row is a candidate of the box.  A box's
// candidates are found on first use, from those of the enclosing 16-box,
// which come from those of the enclosing 32-box.  Candidates keep ascending
// row order, so a search over them breaks ties as a walk over the table does.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "bmp.h"

namespace mireo {

// A colour as one word: blue | green << 8 | red << 16.
inline uint32_t packBgr(const Bgr& c) { return c.blue | uint32_t(c.green) << 8 | uint32_t(c.red) << 16; }

class NearestSad {
public:
    // Raises "subscript out of range" for an empty table or one of more
    // than 256 rows.
    explicit NearestSad(std::vector<Bgr> colours);
    NearestSad(const NearestSad&) = delete;
    NearestSad& operator=(const NearestSad&) = delete;

    uint32_t find(uint8_t r, uint8_t g, uint8_t b);
    const Bgr& colour(uint32_t row) const { return colours_[row]; }
    const std::vector<Bgr>& colours() const { return colours_; }

    // The candidates of a box with at most eight of them, as packed colours
    // (one per 64-bit word, upper bytes zero), the last repeated to fill.
    struct alignas(64) ShortBox {
        uint64_t colour[8];
    };
    static uint32_t boxKey(uint32_t packed) {
        return (packed >> 3 & 0x1F) | (packed >> 6 & 0x3E0) | (packed >> 9 & 0x7C00);
    }
    // The box of a key when it has at most eight candidates, else nullptr.
    const ShortBox* shortBox(uint32_t key) {
        if (state_[key] == kShort) [[likely]]
            return &boxes_[key];
        return buildBox(key) ? &boxes_[key] : nullptr;
    }
    // The slot of the nearest candidate of a short box.
    static uint32_t nearestSlot(const ShortBox& box, uint32_t packed) {
#if defined(__SSE2__)
        return nearestSlotSse2(box, _mm_set1_epi64x(packed));
#else
        return nearestSlotPlain(box, packed);
#endif
    }
    static uint32_t nearestSlotPlain(const ShortBox& box, uint32_t packed);
#if defined(__SSE2__)
    // `twice` holds the packed colour in both 64-bit halves.  Distances to
    // the eight slots land in 16-bit lanes with the slot number below them,
    // so the smallest lane is the nearest slot, and the lowest of equally
    // near slots.
    static uint32_t nearestSlotSse2(const ShortBox& box, __m128i twice) {
        const auto* slots = reinterpret_cast<const __m128i*>(box.colour);
        __m128i d01 = _mm_sad_epu8(_mm_load_si128(slots), twice);
        __m128i d23 = _mm_sad_epu8(_mm_load_si128(slots + 1), twice);
        __m128i d45 = _mm_sad_epu8(_mm_load_si128(slots + 2), twice);
        __m128i d67 = _mm_sad_epu8(_mm_load_si128(slots + 3), twice);
        __m128i k = _mm_packs_epi32(_mm_packs_epi32(d01, d23), _mm_packs_epi32(d45, d67));
        k = _mm_or_si128(_mm_slli_epi16(k, 3), _mm_set_epi16(7, 6, 5, 4, 3, 2, 1, 0));
        k = _mm_min_epi16(k, _mm_shuffle_epi32(k, 0x4E));
        k = _mm_min_epi16(k, _mm_shuffle_epi32(k, 0xB1));
        k = _mm_min_epi16(k, _mm_shufflelo_epi16(k, 0xB1));
        return static_cast<uint32_t>(_mm_cvtsi128_si32(k)) & 7;
    }
#endif
    // The nearest table colour, packed, for any packed colour.
    uint32_t nearestPacked(uint32_t packed);

    static constexpr int kBoxes = 1 << 15;

private:
    enum : uint8_t { kUnbuilt, kShort, kLong };
    // Eight rows side by side, the last row repeated to fill.
    struct RowGroup {
        int16_t red[8], green[8], blue[8], row[8];
    };
    struct GroupList {
        uint32_t first = UINT32_MAX;  // first group in its pool; UINT32_MAX until built
        uint32_t count = 0;           // rows
    };
    struct RowSet {
        uint8_t rows[256];
        uint32_t count = 0;
    };
    // The 32-boxes (shift 5) and the 16-boxes (shift 4).
    struct Level {
        int shift;
        std::vector<GroupList> lists;
        std::vector<RowGroup> pool;
    };

    bool buildBox(uint32_t key);  // true when the box is short
    const GroupList& list(int level, uint32_t packed);
    RowSet candidates(const std::vector<RowGroup>& pool, const GroupList& from, int shift, uint32_t packed) const;
    GroupList store(const RowSet& rows, std::vector<RowGroup>& pool) const;
    static uint32_t nearestInList(const RowGroup* groups, uint32_t count, uint32_t packed);

    std::vector<Bgr> colours_;
    std::vector<uint8_t> state_;
    std::unique_ptr<ShortBox[]> boxes_;  // valid where the state is kShort
    std::unique_ptr<uint8_t[]> rows_;    // the row of each slot of those boxes
    std::vector<RowGroup> allRows_;      // the first row of each distinct colour
    GroupList allList_;
    Level levels_[2];
};

}  // namespace mireo
