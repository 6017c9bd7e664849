// Nearest-colour searches of the reductions.  Each gives, for every colour,
// exactly the row that a walk over the whole table gives, but looks only at
// the candidate rows of the colour's box.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bmp.h"
#include "nearest_index.h"
#include "reduce_palette.h"

namespace mireo {

// Sum of absolute channel differences; among equally near rows the lowest
// wins, so an exactly matching colour gives its first row.  At most 65536
// rows.
class NearestSad {
public:
    explicit NearestSad(std::vector<Bgr> colours);  // raises beyond 65536 rows
    NearestSad(const NearestSad&) = delete;
    NearestSad& operator=(const NearestSad&) = delete;

    // Inline: called for every pixel of the 8-bit and the diffused reductions.
    uint32_t find(uint8_t r, uint8_t g, uint8_t b) {
        // Distance in the high bits, row in the low ones: the smallest key
        // is the nearest row, and the lowest of equally near rows.
        uint32_t best = UINT32_MAX;
        for (uint32_t row : index_.candidates(r, g, b)) {
            const Bgr& c = metric_.colours[row];
            auto d = static_cast<uint32_t>(std::abs(r - c.red) + std::abs(g - c.green) + std::abs(b - c.blue));
            best = std::min(best, d << 16 | row);
        }
        return best & 0xFFFF;
    }
    const Bgr& colour(uint32_t row) const { return metric_.colours[row]; }

    struct Metric {
        using Distance = int;
        std::vector<Bgr> colours;
        uint32_t rowCount() const { return static_cast<uint32_t>(colours.size()); }
        int lower(uint32_t row, const ColourBox& box) const {
            const Bgr& c = colours[row];
            return nearGap(c.red, box.lo[0], box.hi[0]) + nearGap(c.green, box.lo[1], box.hi[1]) +
                   nearGap(c.blue, box.lo[2], box.hi[2]);
        }
        int upper(uint32_t row, const ColourBox& box) const {
            const Bgr& c = colours[row];
            return farGap(c.red, box.lo[0], box.hi[0]) + farGap(c.green, box.lo[1], box.hi[1]) +
                   farGap(c.blue, box.lo[2], box.hi[2]);
        }
        // Distance of a level to the nearest and to the farthest end of a range.
        static int nearGap(int level, int lo, int hi) { return level < lo ? lo - level : level > hi ? level - hi : 0; }
        static int farGap(int level, int lo, int hi) { return std::max(level - lo, hi - level); }
    };

private:
    Metric metric_;
    CandidateIndex<Metric> index_;
};

// Squared distance, rounded to a whole number, against single-precision
// rows.  The search starts from the second-to-last row and a row replaces
// the current one only when strictly nearer: the starting row keeps every
// tie, otherwise the lowest of the nearest rows wins.
class NearestSquared {
public:
    // Raises "subscript out of range" for a table without a second-to-last row.
    explicit NearestSquared(std::vector<FloatRgb> rows);
    NearestSquared(const NearestSquared&) = delete;
    NearestSquared& operator=(const NearestSquared&) = delete;

    uint32_t find(uint8_t r, uint8_t g, uint8_t b);
    const FloatRgb& row(uint32_t index) const { return metric_.rows[index]; }

    // (r - red)² + (g - green)² + (b - blue)², rounded, halves to even.
    static double distance(const FloatRgb& row, int r, int g, int b);

    struct Metric {
        using Distance = double;
        std::vector<FloatRgb> rows;
        uint32_t rowCount() const { return static_cast<uint32_t>(rows.size()); }
        double lower(uint32_t row, const ColourBox& box) const;
        double upper(uint32_t row, const ColourBox& box) const;
    };

private:
    Metric metric_;
    CandidateIndex<Metric> index_;
    uint32_t start_;
};

}  // namespace mireo
