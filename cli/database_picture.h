// A database back as a picture file: what `open` writes and what a preview
// of a conversion shows, decoded by the library's own reader.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "console.h"

namespace mireo::cli {

// True when the file name asks for PNG (it ends in ".png", in any case).
bool wantsPng(const std::filesystem::path& file);

// Lets the library decode `pdb` into the 24-bit BMP file `bmp`.  The
// stored depth, or nullopt when no picture came out without complaint (the
// library's messages are then in the console).
std::optional<int> decodeDatabase(const std::string& pdb, const std::filesystem::path& bmp, Console& console);

// Writes the picture of the BMP file `bmp` as a PNG file at `png`; throws
// std::runtime_error with the reason.
void writePngFrom(const std::filesystem::path& bmp, const std::filesystem::path& png);

// Decodes `pdb` and puts the picture under `target`, as PNG or BMP by its
// name, replacing it only when all went well.  The depth, or nullopt as
// decodeDatabase.
std::optional<int> savePictureOf(const std::string& pdb, const std::filesystem::path& target, Console& console);

}  // namespace mireo::cli
