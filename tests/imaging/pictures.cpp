#include "pictures.h"

#include <QPainter>
#include <stdexcept>

namespace mireo::test {

QImage quadrants(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool right = x >= width / 2, bottom = y >= height / 2;
            picture.setPixelColor(x, y, bottom ? (right ? kYellow : kBlue) : (right ? kGreen : kRed));
        }
    return picture;
}

std::string savePicture(const QImage& picture, const std::string& path) {
    if (!picture.save(QString::fromStdString(path), nullptr, 95)) throw std::runtime_error("cannot save " + path);
    return path;
}

}  // namespace mireo::test

