// Nearest colour by squared distance.  It gives, for every colour, exactly
// the row that a walk over the whole table gives, but looks only at the
// candidate rows of the colour's box.
#pragma once

#include <cstdint>
#include <vector>

#include "nearest_index.h"
#include "reduce_palette.h"

namespace mireo {

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
    uint32_t rowCount() const { return metric_.rowCount(); }

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
