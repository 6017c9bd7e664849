// Colour reduction of a picture into a 24-bit working BMP file by the
// library: 16 bits keep the colours, 8 bits map them to the Palm palette and
// 4 bits to 16 greys, by nearest colour or by error diffusion.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/library.h"
#include "imaging/palettes.h"

namespace mireo::imaging {

enum class Method { Diffused, Nearest };

// Lets the library write the preview at `depth` (16, 8 or 4) of a picture
// captured as 32-bit device bits (captureDeviceBits) to `bmpPath`.  The
// library replaces the file in one step and reports its own failures;
// false when no file is there afterwards.  Any older file of that name is
// removed first, so a failure never leaves a stale preview behind.
bool writeReducedBmp(const Library& library, std::vector<uint8_t>& bits, int32_t width, int32_t height, int depth,
                     Method method, const std::string& bmpPath, const PaletteTable& grey16, const PaletteTable& palm8);

// The same from the picture itself, captured from previewSource(picture, depth).
bool writeReducedBmp(const Library& library, const QImage& picture, int depth, Method method,
                     const std::string& bmpPath, const PaletteTable& grey16, const PaletteTable& palm8);

}  // namespace mireo::imaging
