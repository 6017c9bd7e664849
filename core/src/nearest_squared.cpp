#include "nearest_squared.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "errors.h"

namespace mireo {
namespace {

// One channel's squared difference.  The bounds below use this same
// expression at a range end: correctly rounded arithmetic is monotone, so a
// bound computed at the end of a range holds for every level inside it.
double squaredGap(int level, float value) {
    double d = double(level) - double(value);
    return d * d;
}

double nearSquared(float value, int lo, int hi) {
    if (value < float(lo)) return squaredGap(lo, value);
    if (value > float(hi)) return squaredGap(hi, value);
    return value == value ? 0.0 : NAN;
}

double farSquared(float value, int lo, int hi) {
    double a = squaredGap(lo, value), b = squaredGap(hi, value);
    return a < b ? b : a;
}

// Rounds a sum of squares to a whole number, halves to even, as nearbyint
// does but without a library call: below 2^52 adding 2^52 leaves no bits
// for a fraction, and from 2^52 on every double is whole already.
double roundWhole(double x) {
    constexpr double kNoFraction = 4503599627370496.0;
    return x >= 0.0 && x < kNoFraction ? (x + kNoFraction) - kNoFraction : x;
}

}  // namespace

double NearestSquared::distance(const FloatRgb& row, int r, int g, int b) {
    return roundWhole(squaredGap(r, row.red) + squaredGap(g, row.green) + squaredGap(b, row.blue));
}

double NearestSquared::Metric::lower(uint32_t row, const ColourBox& box) const {
    const FloatRgb& c = rows[row];
    return roundWhole(nearSquared(c.red, box.lo[0], box.hi[0]) + nearSquared(c.green, box.lo[1], box.hi[1]) +
                          nearSquared(c.blue, box.lo[2], box.hi[2]));
}

double NearestSquared::Metric::upper(uint32_t row, const ColourBox& box) const {
    const FloatRgb& c = rows[row];
    return roundWhole(farSquared(c.red, box.lo[0], box.hi[0]) + farSquared(c.green, box.lo[1], box.hi[1]) +
                          farSquared(c.blue, box.lo[2], box.hi[2]));
}

NearestSquared::NearestSquared(std::vector<FloatRgb> rows)
    : metric_{std::move(rows)}, index_(metric_), start_(metric_.rowCount() - 2) {
    if (metric_.rows.size() < 2) raise(kSubscriptOutOfRange, "table without a second-to-last row");
}

// The answer is always among the candidates, so a lone candidate is it.
uint32_t NearestSquared::find(uint8_t r, uint8_t g, uint8_t b) {
    std::span<const uint32_t> candidates = index_.candidates(r, g, b);
    if (candidates.size() == 1) return candidates[0];
    uint32_t best = start_;
    double bestDistance = distance(metric_.rows[start_], r, g, b);
    for (uint32_t row : candidates) {
        double d = distance(metric_.rows[row], r, g, b);
        if (d < bestDistance) {
            bestDistance = d;
            best = row;
        }
    }
    return best;
}

}  // namespace mireo
