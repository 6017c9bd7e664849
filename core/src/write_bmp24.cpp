// WriteBmp24: the picture on screen as a 24-bit working file.
#include "args.h"
#include "bmp.h"
#include "guard.h"

extern "C" MIREO_API void WriteBmp24(const MireoArray* bits, const int32_t* width, const int32_t* height,
                                     const MireoString* fileName, const int32_t* bitsPerPixel) {
    using namespace mireo;
    guarded("Error in dll module WriteBmp24 - ", [&] {
        int32_t w = valueOf(width), h = valueOf(height);
        checkBmpSize(w, h);
        std::string path = textOf(fileName);
        Grid grid = loadDeviceBits(bytesOf(bits), w, h, valueOf(bitsPerPixel));
        writeBmpFile(path, w, h, bmpPixelData(grid, false));
    });
}
