// The column walk of the diffusing reductions, on a grid whose row 0 is the
// top row: columns left to right, each from the bottom of the picture
// upwards.  A pixel's value (its own plus what its neighbours passed on,
// each addition clamped to 0..255) is replaced by the nearest table colour;
// an error of more than 3 (summed over the channels) goes 7/16 to the right
// neighbour and 4/16 to the pixel above, each share truncated toward zero.
// Only columns 0..w-3 pass anything to the right, and only columns 1..w-2
// pass anything up.  The progress advances once per column.
#pragma once

#include "bmp.h"
#include "nearest_sad.h"
#include "progress_meter.h"

namespace mireo {

// The walk as written above, one pixel after another.
void diffuseColumnsPlain(Grid& grid, NearestSad& nearest, ProgressMeter& progress);

#if defined(__SSE2__)
// The same walk with the same result, several columns at a time.
void diffuseColumnsSse2(Grid& grid, NearestSad& nearest, ProgressMeter& progress);

// What a column passes up from the top row of a band of rows to the bottom
// row of the band above: the share in 16-bit lanes 0..2.
struct alignas(16) UpShare {
    int16_t lanes[8];
};

// Rows top..bottom of the grid.  A column's share for the band's bottom row
// comes from `sharesIn` (indexed by column; none when null), and the share
// its top row passes up is stored in `sharesOut` (when not null).  Walking
// the bands of a grid from the bottom up, each after the one below it for
// the same columns, gives the walk of the whole grid.
struct Band {
    int32_t top, bottom;
    const UpShare* sharesIn;
    UpShare* sharesOut;
};

// Columns first..end-1 of a band, left to right, the columns before `first`
// already walked in this band.  Groups of kBandColumns make whole
// staircases of the walk.
constexpr int32_t kBandColumns = 4;
void walkBandSse2(Grid& grid, const Band& band, int32_t first, int32_t end, NearestSad& nearest);

// The same walk again, the upper half of the grid on a helper thread; one
// walk when no thread can be made.
void diffuseColumnsInHalves(Grid& grid, NearestSad& nearest, ProgressMeter& progress);

// Grids of fewer pixels walk faster than a thread starts.
constexpr int64_t kHalvingPixels = 40000;
bool worthHalving(const Grid& grid);
#endif

inline void diffuseColumns(Grid& grid, NearestSad& nearest, ProgressMeter& progress) {
#if defined(__SSE2__)
    if (worthHalving(grid)) diffuseColumnsInHalves(grid, nearest, progress);
    else diffuseColumnsSse2(grid, nearest, progress);
#else
    diffuseColumnsPlain(grid, nearest, progress);
#endif
}

}  // namespace mireo
