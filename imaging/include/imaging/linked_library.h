// The export table of a program that links the image library.
#pragma once

#include "imaging/library.h"

namespace mireo::imaging {

inline const Library& linkedLibrary() {
    static const Library exports{::WriteBmp24, ::WriteBmp8,  ::WriteBmp8dith, ::WriteBmp4,          ::WriteBmp4dith,
                                 ::RotateImg,  ::CompilePDB, ::ReadVTBI,      ::MireoSetWindowSystem};
    return exports;
}

}  // namespace mireo::imaging
