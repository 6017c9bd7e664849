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

void reverseRows(Grid& grid) {
    for (int32_t top = 0, bottom = grid.height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(grid.row(top), grid.row(top) + grid.rowBytes(), grid.row(bottom));
}

// Adds weight/16 of the error to each channel, the quotient truncated toward
// zero, the sum held to 0..255.
void addError(uint8_t* pixel, const int error[3], int weight) {
    for (int k = 0; k < 3; ++k) pixel[k] = static_cast<uint8_t>(std::clamp(pixel[k] + weight * error[k] / 16, 0, 255));
}

// Walks the columns left to right and each column from grid row 0 (the
// bottom of the picture) upwards.  A pixel's error goes 7/16 to its right
// neighbour and 4/16 to the pixel above; neither neighbour has been visited
// yet, so the chosen colour can replace the value in place.
void diffuse(Grid& grid, NearestSad& nearest, ProgressMeter& progress) {
    const int32_t w = grid.width, h = grid.height;
    const std::size_t stride = grid.rowBytes();
    uint8_t* bytes = grid.bytes.data();
    for (int32_t c = 0; c < w; ++c) {
        const bool toRight = c + 1 <= w - 2;
        const bool upwards = c >= 1 && c <= w - 2;
        std::size_t at = std::size_t(3) * static_cast<std::size_t>(c);
        for (int32_t r = 0; r < h; ++r, at += stride) {
            uint8_t* p = bytes + at;
            const Bgr& chosen = nearest.colour(nearest.find(p[2], p[1], p[0]));
            const int error[3] = {p[0] - chosen.blue, p[1] - chosen.green, p[2] - chosen.red};
            p[0] = chosen.blue;
            p[1] = chosen.green;
            p[2] = chosen.red;
            if (std::abs(error[0]) + std::abs(error[1]) + std::abs(error[2]) <= 3) continue;
            if (toRight) addError(p + 3, error, 7);
            if (upwards && r < h - 1) addError(p + stride, error, 4);
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
        reverseRows(grid);
        diffuse(grid, nearest, progress);
        writeBmpFile(path, w, h, bmpPixelData(grid, true));
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
