#include <algorithm>
#include <cstdlib>

#include "diffuse_columns.h"

namespace mireo {
namespace {

inline int share(int error, int weight) { return weight * error / 16; }

inline uint8_t clampedSum(int value, int add) { return static_cast<uint8_t>(std::clamp(value + add, 0, 255)); }

}  // namespace

// Neither the right neighbour nor the pixel above has been visited yet, so
// the chosen colour replaces the value in place.  The share for the pixel
// above is carried to the next step instead of going through memory; it is
// added after the left neighbour's share, as the walk orders them.
void diffuseColumnsPlain(Grid& grid, NearestSad& nearest, ProgressMeter& progress) {
    const int32_t w = grid.width, h = grid.height;
    for (int32_t c = 0; c < w; ++c) {
        const bool toRight = c + 1 <= w - 2;
        const bool upwards = c >= 1 && c <= w - 2;
        int carried[3] = {0, 0, 0};
        for (int32_t y = h - 1; y >= 0; --y) {
            uint8_t* p = grid.row(y) + std::size_t(3) * static_cast<std::size_t>(c);
            const int value[3] = {clampedSum(p[0], carried[0]), clampedSum(p[1], carried[1]),
                                  clampedSum(p[2], carried[2])};
            const Bgr& chosen = nearest.colour(nearest.find(uint8_t(value[2]), uint8_t(value[1]), uint8_t(value[0])));
            const int error[3] = {value[0] - chosen.blue, value[1] - chosen.green, value[2] - chosen.red};
            p[0] = chosen.blue;
            p[1] = chosen.green;
            p[2] = chosen.red;
            const bool spread = std::abs(error[0]) + std::abs(error[1]) + std::abs(error[2]) > 3;
            if (spread && toRight)
                for (int k = 0; k < 3; ++k) p[3 + k] = clampedSum(p[3 + k], share(error[k], 7));
            for (int k = 0; k < 3; ++k) carried[k] = spread && upwards ? share(error[k], 4) : 0;
        }
        progress.advance();
    }
}

}  // namespace mireo
