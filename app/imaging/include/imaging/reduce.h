// Colour reduction of a fitted picture into a 24-bit working BMP file by
// the library: 16 bits keep the colours, 8 bits map them to the Palm
// palette and 4 bits to 16 greys, by nearest colour or by error diffusion.
#pragma once

#include <QImage>
#include <string>

#include "imaging/palettes.h"

namespace mireo::imaging {

enum class Method { Diffused, Nearest };

// Removes any old file of that name, then lets the library write it.
// False when no file came out (the library has shown its message).
bool writeReducedBmp(const QImage& picture, int depth, Method method, const std::string& bmpPath,
                     const Palettes& palettes);

}  // namespace mireo::imaging
