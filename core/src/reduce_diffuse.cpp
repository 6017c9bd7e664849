// WriteBmp8dith and WriteBmp4dith: nearest table colour with error diffusion.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "args.h"
#include "bmp.h"
#include "files.h"
#include "guard.h"
#include "nearest.h"
#include "progress_meter.h"
#include "reduce_palette.h"

namespace mireo {
namespace {

// weight/16 of an error, the quotient truncated toward zero.
inline int share(int error, int weight) { return weight * error / 16; }

inline uint8_t clampedSum(int value, int add) { return static_cast<uint8_t>(std::clamp(value + add, 0, 255)); }

// Columns left to right, each from the bottom of the picture upwards, on a
// grid whose row 0 is the top row.  A pixel's colour is chosen, and an
// error of more than 3 goes 7/16 to the right neighbour and 4/16 to the
// pixel above; neither has been visited yet, so the chosen colour replaces
// the value in place.  The share for the pixel above is carried to the next
// step instead of going through memory; it is added after the left
// neighbour's share, as the walk orders them.
void diffuse(Grid& grid, NearestSad& nearest, ProgressMeter& progress) {
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

void writeDiffused(const char* prefix, int32_t rows, const MireoArray* bits, const MireoArray* palette,
                   const int32_t* width, const int32_t* height, const MireoString* fileName,
                   const int32_t* bitsPerPixel) {
    guarded(prefix, [&] {
        NearestSad nearest(paletteColours(PaletteView(palette), rows));
        int32_t w = valueOf(width), h = valueOf(height), bpp = valueOf(bitsPerPixel);
        checkBmpSize(w, h);
        std::string path = textOf(fileName);
        ProgressMeter progress(w);
        if (!progress.open()) return;
        deleteIfExists(path);
        Grid grid = loadDeviceBits(bytesOf(bits), w, h, bpp);
        diffuse(grid, nearest, progress);
        writeBmpFile(path, w, h, bmpPixelData(grid, false));
        progress.close();
    });
}

}  // namespace
}  // namespace mireo

extern "C" MIREO_API void WriteBmp8dith(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                                        const int32_t* height, const MireoString* fileName,
                                        const int32_t* bitsPerPixel) {
    mireo::writeDiffused("Error in dll module WriteBmp8dith - ", 256, bits, palette, width, height, fileName,
                         bitsPerPixel);
}

extern "C" MIREO_API void WriteBmp4dith(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                                        const int32_t* height, const MireoString* fileName,
                                        const int32_t* bitsPerPixel) {
    mireo::writeDiffused("Error in dll module WriteBmp4dith - ", 16, bits, palette, width, height, fileName,
                         bitsPerPixel);
}
