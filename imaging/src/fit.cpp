#include "imaging/fit.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>

namespace mireo::imaging {

namespace {

// round(a * b / c) for positive numbers, at least 1.
int scaledSide(int a, int b, int c) {
    int64_t value = (2 * int64_t{a} * b + c) / (2 * int64_t{c});
    return static_cast<int>(std::max<int64_t>(1, value));
}

bool widerThan(QSize source, QSize target) {
    return int64_t{source.width()} * target.height() > int64_t{source.height()} * target.width();
}

// The part of the source that ends up in the target, and the size it gets.
struct Mapping {
    QSize used, placed;
};

Mapping mappingOf(QSize source, QSize target, FitMode mode) {
    switch (mode) {
        case FitMode::Crop: return {cropArea(source, target).size(), target};
        case FitMode::Pad: return {source, padPlacement(source, target).size()};
        case FitMode::Stretch: break;
    }
    return {source, target};
}

QImage opaque(const QImage& picture, QColor border) {
    if (!picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_RGB32);
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(border);
    QPainter painter(&flat);
    painter.drawImage(0, 0, picture);
    return flat;
}

}  // namespace

QRect cropArea(QSize source, QSize target) {
    if (widerThan(source, target)) {
        int width = std::min(source.width(), scaledSide(source.height(), target.width(), target.height()));
        return {(source.width() - width) / 2, 0, width, source.height()};
    }
    int height = std::min(source.height(), scaledSide(source.width(), target.height(), target.width()));
    return {0, (source.height() - height) / 2, source.width(), height};
}

QRect padPlacement(QSize source, QSize target) {
    if (widerThan(source, target)) {
        int height = std::min(target.height(), scaledSide(source.height(), target.width(), source.width()));
        return {0, (target.height() - height) / 2, target.width(), height};
    }
    int width = std::min(target.width(), scaledSide(source.width(), target.height(), source.height()));
    return {(target.width() - width) / 2, 0, width, target.height()};
}

int shrinkFactor(QSize source, QSize target, FitMode mode) {
    Mapping m = mappingOf(source, target, mode);
    int factor = 1;
    while (factor < 8 && m.used.width() / (2 * factor) >= m.placed.width() &&
           m.used.height() / (2 * factor) >= m.placed.height())
        factor *= 2;
    return factor;
}

QImage fitPicture(const QImage& picture, QSize target, FitMode mode, QColor border) {
    QImage source = opaque(picture, border);
    switch (mode) {
        case FitMode::Crop:
            return source.copy(cropArea(source.size(), target))
                .scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        case FitMode::Pad: {
            QRect place = padPlacement(source.size(), target);
            QImage canvas(target, QImage::Format_RGB32);
            canvas.fill(border);
            QPainter painter(&canvas);
            painter.drawImage(place.topLeft(),
                              source.scaled(place.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            return canvas;
        }
        case FitMode::Stretch: break;
    }
    return source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace mireo::imaging
