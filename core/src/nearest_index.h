// Candidate lists for nearest-colour searches over any colour table.
//
// The colour cube is cut into boxes.  For a box, a row of the table whose
// smallest possible distance to the box exceeds the largest distance that
// some row can have to any colour of the box is never the nearest, nor tied
// with it, for a colour in that box; every other row is a candidate.  Lists
// keep ascending row order, so a search over them breaks ties as a walk
// over the whole table does.  Boxes of 32 levels a side are filtered from
// the whole table, boxes of 8 a side from their enclosing 32-box, each on
// first use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

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
    explicit CandidateIndex(const Metric& metric)
        : metric_(metric), coarse_(kCoarseBoxes), fine_(kFineBoxes) {
        allRows_.resize(metric.rowCount());
        for (uint32_t row = 0; row < allRows_.size(); ++row) allRows_[row] = row;
    }

    std::span<const uint32_t> candidates(uint8_t r, uint8_t g, uint8_t b) {
        List& fine = fine_[boxKey(r, g, b, 3)];
        if (fine.begin == kUnbuilt) fine = select(coarseCandidates(r, g, b), boxAround(r, g, b, 3), finePool_);
        return {finePool_.data() + fine.begin, fine.size};
    }

private:
    using Distance = typename Metric::Distance;
    static constexpr std::size_t kCoarseBoxes = 8 * 8 * 8;
    static constexpr std::size_t kFineBoxes = 32 * 32 * 32;
    static constexpr std::size_t kUnbuilt = SIZE_MAX;

    struct List {
        std::size_t begin = kUnbuilt;
        uint32_t size = 0;
    };

    // Index of the box of 2^shift levels a side that holds the colour.
    static std::size_t boxKey(uint8_t r, uint8_t g, uint8_t b, int shift) {
        int bits = 8 - shift;
        return std::size_t(r >> shift) << (2 * bits) | std::size_t(g >> shift) << bits | std::size_t(b >> shift);
    }

    static ColourBox boxAround(int r, int g, int b, int shift) {
        int mask = ~((1 << shift) - 1), span = (1 << shift) - 1;
        ColourBox box{{r & mask, g & mask, b & mask}, {}};
        for (int c = 0; c < 3; ++c) box.hi[c] = box.lo[c] + span;
        return box;
    }

    std::span<const uint32_t> coarseCandidates(uint8_t r, uint8_t g, uint8_t b) {
        List& coarse = coarse_[boxKey(r, g, b, 5)];
        if (coarse.begin == kUnbuilt) coarse = select(allRows_, boxAround(r, g, b, 5), coarsePool_);
        return {coarsePool_.data() + coarse.begin, coarse.size};
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
        List list{pool.size(), 0};
        for (uint32_t row : rows)
            if (!haveLimit || !(metric_.lower(row, box) > limit)) {
                pool.push_back(row);
                ++list.size;
            }
        return list;
    }

    const Metric& metric_;
    std::vector<uint32_t> allRows_;
    std::vector<List> coarse_, fine_;
    std::vector<uint32_t> coarsePool_, finePool_;
};

}  // namespace mireo
