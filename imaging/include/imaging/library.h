// The image library's exports as the picture code calls them.  The
// command-line tool fills this table with the functions it links; the
// desktop program with functions that bind the shared library by name on
// their first call (and raise the program's error when that fails).
#pragma once

#include "mireocore.h"

namespace mireo::imaging {

struct Library {
    decltype(&::WriteBmp24) WriteBmp24;
    decltype(&::WriteBmp8) WriteBmp8;
    decltype(&::WriteBmp8dith) WriteBmp8dith;
    decltype(&::WriteBmp4) WriteBmp4;
    decltype(&::WriteBmp4dith) WriteBmp4dith;
    decltype(&::RotateImg) RotateImg;
    decltype(&::CompilePDB) CompilePDB;
    decltype(&::ReadVTBI) ReadVTBI;
    decltype(&::MireoSetWindowSystem) MireoSetWindowSystem;
};

}  // namespace mireo::imaging
