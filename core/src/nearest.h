// Nearest-colour searches of the reductions.  Each gives, for every colour,
// exactly the row that a walk over the whole table gives, but looks only at
// the candidate rows of the colour's box.
#pragma once

#include <cstdint>
#include <vector>

#include "bmp.h"
#include "nearest_index.h"
#include "reduce_palette.h"

namespace mireo {

// Sum of absolute channel differences; among equally near rows the lowest
// wins, so an exactly matching colour gives its first row.
class NearestSad {
public:
    explicit NearestSad(std::vector<Bgr> colours);
    NearestSad(const NearestSad&) = delete;
    NearestSad& operator=(const NearestSad&) = delete;

    uint32_t find(uint8_t r, uint8_t g, uint8_t b);
    const Bgr& colour(uint32_t row) const { return metric_.colours[row]; }

    struct Metric {
        using Distance = int;
        std::vector<Bgr> colours;
        uint32_t rowCount() const { return static_cast<uint32_t>(colours.size()); }
        int lower(uint32_t row, const ColourBox& box) const;
        int upper(uint32_t row, const ColourBox& box) const;
    };

private:
    Metric metric_;
    CandidateIndex<Metric> index_;
    uint32_t lastColour_ = UINT32_MAX;
    uint32_t lastRow_ = 0;
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
    uint32_t lastColour_ = UINT32_MAX;
    uint32_t lastRow_ = 0;
};

}  // namespace mireo
