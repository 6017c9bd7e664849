#include "pictures.h"

#include <algorithm>
#include <stdexcept>

namespace mireo::test {

QImage quadrants(int width, int height, int bar) {
    QImage picture(width + 2 * bar, height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool right = x >= width / 2, bottom = y >= height / 2;
            picture.setPixelColor(bar + x, y, bottom ? (right ? kYellow : kBlue) : (right ? kGreen : kRed));
        }
    return picture;
}

std::string savePicture(const QImage& picture, const std::string& path) {
    if (!picture.save(QString::fromStdString(path), nullptr, 95)) throw std::runtime_error("cannot save " + path);
    return path;
}

std::vector<std::string> fileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace mireo::test
