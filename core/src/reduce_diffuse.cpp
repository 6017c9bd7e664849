// WriteBmp8dith and WriteBmp4dith: nearest table colour with error diffusion.
#include <string>

#include "args.h"
#include "bmp.h"
#include "diffuse_columns.h"
#include "files.h"
#include "guard.h"
#include "nearest_sad.h"
#include "progress_meter.h"
#include "reduce_palette.h"

namespace mireo {
namespace {

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
        diffuseColumns(grid, nearest, progress);
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
