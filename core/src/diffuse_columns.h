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
#endif

inline void diffuseColumns(Grid& grid, NearestSad& nearest, ProgressMeter& progress) {
#if defined(__SSE2__)
    diffuseColumnsSse2(grid, nearest, progress);
#else
    diffuseColumnsPlain(grid, nearest, progress);
#endif
}

}  // namespace mireo
