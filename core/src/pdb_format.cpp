#include "pdb_format.h"

#include <algorithm>

#include "codecs.h"
#include "errors.h"

namespace mireo {

PdbGeometry pdbGeometry(int32_t width, int32_t height, int32_t depth, int32_t blockSize) {
    if (depth != 16 && depth != 8 && depth != 4) raise(kInvalidCall, "depth must be 16, 8 or 4");
    if (width <= 0 || height <= 0) raise(kInvalidCall, "picture size must be positive");
    if (blockSize <= 0) raise(kInvalidCall, "block size must be positive");
    if (width > 0xFFFF) raise(kOverflow, "width does not fit the block header");
    PdbGeometry g;
    g.rowBytes = packedRowBytes(width, depth);
    g.rowsPerBlock = std::min(blockSize / g.rowBytes, height);
    if (g.rowsPerBlock == 0) raise(kInvalidCall, "a row is longer than the block size");
    if (int64_t{g.rowsPerBlock} * g.rowBytes > 0xFFFF) raise(kOverflow, "block does not fit its size field");
    g.blockCount = height / g.rowsPerBlock;
    int32_t remainder = height - g.blockCount * g.rowsPerBlock;
    g.lastBlockRows = remainder > 0 ? remainder : g.rowsPerBlock;
    if (remainder > 0) ++g.blockCount;
    // The record count B + 1 must fit the header's 16-bit field.
    if (g.blockCount >= 0xFFFF) raise(kOverflow, "too many blocks for the record list");
    return g;
}

}  // namespace mireo
