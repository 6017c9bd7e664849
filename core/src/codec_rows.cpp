#include <limits>

#include "codecs.h"
#include "errors.h"

namespace mireo {

int32_t packedRowBytes(int32_t width, int32_t depth) {
    if (width < 0) raise(kInvalidCall, "negative width");
    int64_t bytes = 0;
    switch (depth) {
    case 16: bytes = 2 * int64_t{width}; break;
    case 8: bytes = int64_t{width} + (width & 1); break;
    case 4:
        bytes = (int64_t{width} + 1) / 2;
        bytes += bytes & 1;
        break;
    default: raise(kInvalidCall, "depth other than 16, 8 or 4");
    }
    if (bytes > std::numeric_limits<int32_t>::max()) raise(kOverflow, "row too long");
    return static_cast<int32_t>(bytes);
}

}  // namespace mireo
