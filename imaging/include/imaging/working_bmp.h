// Working BMP files of the program's own: 24 bits per pixel, uncompressed,
// bottom row first, in the very layout the image library writes and reads
// (so that its rotation and database writer take them).
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace mireo::imaging {

std::vector<uint8_t> workingBmpBytes(const QImage& picture);

// Writes the picture through a ReplacementFile; throws std::system_error
// (or std::filesystem::filesystem_error) with the reason when it fails.
void saveWorkingBmp(const QImage& picture, const std::string& path);

// A working BMP file as an opaque 32-bit picture; null when it cannot be read.
QImage readWorkingBmp(const QString& path);

}  // namespace mireo::imaging
