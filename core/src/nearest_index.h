// Candidate lists for nearest-colour searches over any colour table.
//
// The colour cube is cut into boxes.  For a box, a row of the table whose
// smallest possible distance to the box exceeds the largest distance that
// some row can have to any colour of the box is never the nearest, nor tied
// with it, for a colour in that box; every other row is a candidate.  Lists
// keep ascending row order, so a search over them breaks ties as a walk
// over the whole table does.  Each box's list is made on first use, from
// the list of the enclosing larger box.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "errors.h"

namespace mireo {

// Inclusive channel ranges of a box: red, green, blue.
struct ColourBox {
    int lo[3];
    int hi[3];
};

// `Metric` supplies `rowCount()`, and for a row and a box `lower` (no colour
// of the box is nearer) and `upper` (no colour of the box is farther), both
// of its `Distance` type.  Comparisons must treat a NaN bound as unknown.
template <class Metric>
class CandidateIndex {
public:
    explicit CandidateIndex(const Metric& metric) : metric_(metric) {
        allRows_.resize(metric.rowCount());
        for (uint32_t row = 0; row < allRows_.size(); ++row) allRows_[row] = row;
        for (int i = 0; i < kLevels; ++i) levels_[i].lists.resize(std::size_t{1} << 3 * (8 - kShifts[i]));
    }

    std::span<const uint32_t> candidates(uint8_t r, uint8_t g, uint8_t b) {
        Level& finest = levels_[kLevels - 1];
        List& list = finest.lists[boxKey(kLevels - 1, r, g, b)];
        if (list.begin == kUnbuilt) [[unlikely]]
            return candidates(kLevels - 1, r, g, b);
        return {finest.pool.data() + list.begin, list.size};
    }

private:
    using Distance = typename Metric::Distance;
    // Box sides of 32, 16 and 8 levels; each level filters its parent's lists.
    static constexpr int kLevels = 3;
    static constexpr int kShifts[kLevels] = {5, 4, 3};
    static constexpr uint32_t kUnbuilt = UINT32_MAX;

    // Kept small: the finest boxes are looked up for every pixel.
    struct List {
        uint32_t begin = kUnbuilt;
        uint32_t size = 0;
    };
    struct Level {
        std::vector<List> lists;
        std::vector<uint32_t> pool;
    };

    static std::size_t boxKey(int level, uint8_t r, uint8_t g, uint8_t b) {
        const int shift = kShifts[level], bits = 8 - shift;
        return std::size_t(r >> shift) << (2 * bits) | std::size_t(g >> shift) << bits | std::size_t(b >> shift);
    }

    std::span<const uint32_t> candidates(int level, uint8_t r, uint8_t g, uint8_t b) {
        const int shift = kShifts[level];
        Level& l = levels_[level];
        List& list = l.lists[boxKey(level, r, g, b)];
        if (list.begin == kUnbuilt) {
            std::span<const uint32_t> parent = level == 0 ? std::span<const uint32_t>(allRows_)
                                                          : candidates(level - 1, r, g, b);
            list = select(parent, boxAround(r, g, b, shift), l.pool);
        }
        return {l.pool.data() + list.begin, list.size};
    }

    static ColourBox boxAround(int r, int g, int b, int shift) {
        int mask = ~((1 << shift) - 1), span = (1 << shift) - 1;
        ColourBox box{{r & mask, g & mask, b & mask}, {}};
        for (int c = 0; c < 3; ++c) box.hi[c] = box.lo[c] + span;
        return box;
    }

    List select(std::span<const uint32_t> rows, const ColourBox& box, std::vector<uint32_t>& pool) const {
        bool haveLimit = false;
        Distance limit{};
        for (uint32_t row : rows) {
            Distance u = metric_.upper(row, box);
            if (!haveLimit ? u == u : u < limit) {
                limit = u;
                haveLimit = true;
            }
        }
        if (pool.size() + rows.size() >= kUnbuilt) raise(kOutOfMemory, "candidate lists");
        List list{static_cast<uint32_t>(pool.size()), 0};
        for (uint32_t row : rows)
            if (!haveLimit || !(metric_.lower(row, box) > limit)) {
                pool.push_back(row);
                ++list.size;
            }
        return list;
    }

    const Metric& metric_;
    std::vector<uint32_t> allRows_;
    Level levels_[kLevels];
};

}  // namespace mireo
