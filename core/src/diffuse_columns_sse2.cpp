// The column walk with SSE2.  A pixel depends only on its left neighbour and
// on the pixel below it, so column c + 1 can work one row behind column c:
// four columns climb together as a staircase, and their chains of work
// overlap in the processor.  Within a staircase, a column's share for its
// right neighbour goes over in a register; the last column writes its share
// to memory, where the next staircase finds it.
//
// A column's values sit in the 16-bit lanes 0..2 (blue, green, red); when it
// reads eight bytes, its right neighbour's follow in lanes 3..5.
#if defined(__SSE2__)

#include <emmintrin.h>

#include <algorithm>

#include "diffuse_columns.h"

namespace mireo {
namespace {

constexpr int kStaircase = 4;

inline __m128i lanes0to2() { return _mm_set_epi32(0, 0, 0xFFFF, -1); }
inline __m128i lanes3to7() { return _mm_set_epi32(-1, -1, static_cast<int>(0xFFFF0000), 0); }

// weight/16 of each error, the quotient truncated toward zero.
inline __m128i sevenSixteenths(__m128i e) {
    __m128i t = _mm_mullo_epi16(e, _mm_set1_epi16(7));
    return _mm_srai_epi16(_mm_add_epi16(t, _mm_and_si128(_mm_srai_epi16(t, 15), _mm_set1_epi16(15))), 4);
}
inline __m128i fourSixteenths(__m128i e) {
    return _mm_srai_epi16(_mm_add_epi16(e, _mm_and_si128(_mm_srai_epi16(e, 15), _mm_set1_epi16(3))), 2);
}

// Every lane set when the errors of lanes 0..2 add up to more than 3.  The
// share for the pixel above needs no such test: an error of at most 3 in
// every channel has a zero quarter.
inline __m128i spreads(__m128i e) {
    const __m128i zero = _mm_setzero_si128();
    __m128i size = _mm_and_si128(_mm_max_epi16(e, _mm_sub_epi16(zero, e)), lanes0to2());
    __m128i sum = _mm_sad_epu8(size, zero);
    return _mm_shuffle_epi32(_mm_cmpgt_epi32(sum, _mm_set1_epi32(3)), 0);
}

// The nearest table colour of the value bytes 0..2, as bytes 0..2 with
// zeros above.
[[gnu::always_inline]] inline __m128i nearestColour(__m128i valueBytes, NearestSad& nearest) {
    const __m128i value = _mm_and_si128(valueBytes, _mm_cvtsi32_si128(0xFFFFFF));
    const auto packed = static_cast<uint32_t>(_mm_cvtsi128_si32(value));
    const NearestSad::ShortBox* box = nearest.shortBox(NearestSad::boxKey(packed));
    if (box == nullptr) [[unlikely]]
        return _mm_cvtsi32_si128(static_cast<int>(nearest.nearestPacked(packed)));
    const uint32_t slot = NearestSad::nearestSlotSse2(*box, _mm_unpacklo_epi64(value, value));
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(box->colour + slot));
}

struct Column {
    uint8_t* p;        // the pixel of the row being visited
    __m128i carried;   // the share for the pixel above
    __m128i upwards;   // lanes 0..2 set when the column passes shares up
    __m128i toRight;   // all set when it passes shares to the right
    bool wide;         // eight bytes from the pixel lie within its row
};

Column bottomOf(Grid& grid, const Band& band, int32_t c) {
    const int32_t w = grid.width;
    Column col{};
    col.p = grid.row(band.bottom) + std::size_t(3) * static_cast<std::size_t>(c);
    col.carried = band.sharesIn ? _mm_load_si128(reinterpret_cast<const __m128i*>(band.sharesIn + c))
                                : _mm_setzero_si128();
    col.upwards = c >= 1 && c <= w - 2 ? lanes0to2() : _mm_setzero_si128();
    col.toRight = c + 1 <= w - 2 ? _mm_set1_epi32(-1) : _mm_setzero_si128();
    col.wide = c + 2 < w;
    return col;
}

inline __m128i clampedLanes(__m128i lanes) {
    return _mm_unpacklo_epi8(_mm_packus_epi16(lanes, lanes), _mm_setzero_si128());
}

// The pixel's bytes in 16-bit lanes, plus what its left neighbour passed on
// in a register, clamped.
inline __m128i loadPixel(const Column& col, __m128i fromLeft) {
    __m128i bytes;
    if (col.wide)
        bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(col.p));
    else
        bytes = _mm_cvtsi32_si128(static_cast<int>(col.p[0] | uint32_t(col.p[1]) << 8 | uint32_t(col.p[2]) << 16));
    return clampedLanes(_mm_add_epi16(_mm_unpacklo_epi8(bytes, _mm_setzero_si128()), fromLeft));
}

struct Visit {
    __m128i chosen;  // lanes 0..2, zeros above
    __m128i error;   // lanes 0..2
};

[[gnu::always_inline]] inline Visit choose(__m128i pixel, Column& col, NearestSad& nearest) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i value = clampedLanes(_mm_add_epi16(pixel, col.carried));
    const __m128i chosen = _mm_unpacklo_epi8(nearestColour(_mm_packus_epi16(value, zero), nearest), zero);
    const __m128i error = _mm_sub_epi16(value, chosen);
    col.carried = _mm_and_si128(fourSixteenths(error), col.upwards);
    return {chosen, error};
}

inline __m128i shareToRight(const Visit& v, const Column& col) {
    __m128i share = sevenSixteenths(_mm_and_si128(v.error, lanes0to2()));
    return _mm_and_si128(_mm_and_si128(share, spreads(v.error)), col.toRight);
}

inline void storeChosen(uint8_t* p, __m128i chosen) {
    auto bytes = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(chosen, chosen)));
    p[0] = static_cast<uint8_t>(bytes);
    p[1] = static_cast<uint8_t>(bytes >> 8);
    p[2] = static_cast<uint8_t>(bytes >> 16);
}

// The chosen colour and, for a wide column, the right neighbour with its
// share added (clamped), in one store.
inline void storeWithShare(const Column& col, __m128i pixel, const Visit& v) {
    if (!col.wide) return storeChosen(col.p, v.chosen);
    __m128i right = _mm_and_si128(_mm_add_epi16(pixel, _mm_slli_si128(shareToRight(v, col), 6)), lanes3to7());
    __m128i both = _mm_or_si128(v.chosen, right);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(col.p), _mm_packus_epi16(both, both));
}

// A column of a staircase other than its last: the share for the right
// neighbour is returned.
[[gnu::always_inline]] inline __m128i visitPassing(Column& col, __m128i fromLeft, NearestSad& nearest) {
    const __m128i pixel = loadPixel(col, fromLeft);
    const Visit v = choose(pixel, col, nearest);
    storeChosen(col.p, v.chosen);
    return shareToRight(v, col);
}

// A column on its own, or the last of a staircase: the share for the right
// neighbour goes to memory.
[[gnu::always_inline]] inline void visitStoring(Column& col, __m128i fromLeft, NearestSad& nearest) {
    const __m128i pixel = loadPixel(col, fromLeft);
    storeWithShare(col, pixel, choose(pixel, col, nearest));
}

// What a column's top row passes up, for the band above.
inline void keepShare(const Band& band, int32_t c, const Column& col) {
    if (band.sharesOut) _mm_store_si128(reinterpret_cast<__m128i*>(band.sharesOut + c), col.carried);
}

void climbColumn(Grid& grid, const Band& band, int32_t c, NearestSad& nearest) {
    const auto stride = static_cast<std::ptrdiff_t>(grid.rowBytes());
    Column col = bottomOf(grid, band, c);
    for (int32_t y = band.bottom; y >= band.top; --y, col.p -= stride) visitStoring(col, _mm_setzero_si128(), nearest);
    keepShare(band, c, col);
}

// Columns first..last of a staircase take one step; each takes what its
// left neighbour passed on in the step before.
[[gnu::always_inline]] inline void step(Column (&col)[kStaircase], __m128i (&passed)[kStaircase], int first, int last,
                                        std::ptrdiff_t stride, NearestSad& nearest) {
    __m128i next[kStaircase];
    for (int j = first; j <= last; ++j) {
        const __m128i fromLeft = j == 0 ? _mm_setzero_si128() : passed[j - 1];
        if (j == kStaircase - 1) visitStoring(col[j], fromLeft, nearest);
        else next[j] = visitPassing(col[j], fromLeft, nearest);
        col[j].p -= stride;
    }
    for (int j = first; j <= last && j < kStaircase - 1; ++j) passed[j] = next[j];
}

// Columns c..c+3; at step s column j visits the band's row bottom-(s-j).
// Needs a band of at least four rows.
void climbStaircase(Grid& grid, const Band& band, int32_t c, NearestSad& nearest) {
    const auto stride = static_cast<std::ptrdiff_t>(grid.rowBytes());
    const int32_t h = band.bottom - band.top + 1;
    Column col[kStaircase];
    __m128i passed[kStaircase];
    for (int j = 0; j < kStaircase; ++j) {
        col[j] = bottomOf(grid, band, c + j);
        passed[j] = _mm_setzero_si128();
    }
    for (int s = 0; s < kStaircase - 1; ++s) step(col, passed, 0, s, stride, nearest);
    for (int s = kStaircase - 1; s < h; ++s) step(col, passed, 0, kStaircase - 1, stride, nearest);
    for (int s = h; s < h + kStaircase - 1; ++s) step(col, passed, s - h + 1, kStaircase - 1, stride, nearest);
    for (int j = 0; j < kStaircase; ++j) keepShare(band, c + j, col[j]);
}

}  // namespace

void walkBandSse2(Grid& grid, const Band& band, int32_t first, int32_t end, NearestSad& nearest) {
    int32_t c = first;
    if (band.bottom - band.top + 1 >= kStaircase)
        for (; c + kStaircase <= end; c += kStaircase) climbStaircase(grid, band, c, nearest);
    for (; c < end; ++c) climbColumn(grid, band, c, nearest);
}

void diffuseColumnsSse2(Grid& grid, NearestSad& nearest, ProgressMeter& progress) {
    const Band whole{0, grid.height - 1, nullptr, nullptr};
    for (int32_t c = 0; c < grid.width; c += kBandColumns) {
        const int32_t end = std::min(c + kBandColumns, grid.width);
        walkBandSse2(grid, whole, c, end, nearest);
        for (int32_t k = c; k < end; ++k) progress.advance();
    }
}

}  // namespace mireo

#endif
