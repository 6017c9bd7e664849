// Pictures of known content, and the files beside them, for the picture
// library and tool tests.
#pragma once

#include <QColor>
#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

namespace mireo::test {

inline const QColor kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};

// Quadrants red (top left), green (top right), blue (bottom left) and
// yellow (bottom right) of `width` x `height`, between black bars of `bar`
// pixels on the left and the right.
QImage quadrants(int width, int height, int bar = 0);

// Saves `picture` (format from the extension) and returns the path.
std::string savePicture(const QImage& picture, const std::string& path);

// The names of the files in `folder`, sorted, hidden ones included.
std::vector<std::string> fileNames(const std::filesystem::path& folder);

}  // namespace mireo::test
