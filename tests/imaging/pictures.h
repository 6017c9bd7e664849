// Pictures of known content for the picture library and tool tests.
#pragma once

#include <QColor>
#include <QImage>
#include <string>

namespace mireo::test {

// A picture whose four quadrants are red (top left), green (top right),
// blue (bottom left) and yellow (bottom right).
QImage quadrants(int width, int height);

// Saves `picture` (format from the extension) and returns the path.
std::string savePicture(const QImage& picture, const std::string& path);

inline const QColor kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};

}  // namespace mireo::test
