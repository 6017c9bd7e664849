#include "dialogs/frm_crop_view.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>

double CropScaleFor(QSize picture) {
    const int longer = std::max(picture.width(), picture.height());
    if (longer > 2400) return 6;
    if (longer >= 1801) return 5;
    if (longer >= 1201) return 4;
    if (longer >= 901) return 3;
    if (longer >= 601) return 2;
    if (std::min(picture.width(), picture.height()) < 150) return 0.5;
    return 1;
}

namespace {

// A side divided by the scale.  The scale is a whole number for pictures of
// 600 pixels and more, except for one of exactly 600 whose other side is
// below 150; dividing as numbers keeps that one from a division by zero.
int scaled(int side, double scale) { return static_cast<int>(side / scale); }

// Where the shorter side starts so that the picture sits in the middle.
QPoint centred(int width, int height) {
    if (width > height) return {0, width / 2 - height / 2};
    if (height > width) return {height / 2 - width / 2, 0};
    return {0, 0};
}

} // namespace

CropView CropViewFor(QSize picture) {
    CropView view;
    view.scale = CropScaleFor(picture);
    const int width = picture.width(), height = picture.height();
    view.shown = QSize(scaled(width, view.scale), scaled(height, view.scale));
    // A large picture is centred at its shown size, a small one at its own
    // size with the offsets scaled afterwards.
    if (width >= 600 || height >= 600) {
        view.offset = centred(view.shown.width(), view.shown.height());
    } else {
        const QPoint atFullSize = centred(width, height);
        view.offset = QPoint(scaled(atFullSize.x(), view.scale), scaled(atFullSize.y(), view.scale));
    }
    view.side = std::max(view.shown.width(), view.shown.height());
    return view;
}

QRectF DefaultCropRect(QSize target, int side) {
    QSizeF size(target.width() / 2.0, target.height() / 2.0);
    if (size.width() >= side) size = QSizeF(target.width() / 4.0, target.height() / 4.0);
    const double left = side / 2 - static_cast<int>(size.width()) / 2;
    const double top = side / 2 - static_cast<int>(size.height()) / 2;
    return {QPointF(left, top), size};
}

QImage CropAtFullSize(const QImage& picture, const QRectF& rect, QPoint offset, double scale, const QColor& border) {
    const QRect area(qRound(rect.left() * scale), qRound(rect.top() * scale), qRound(rect.width() * scale),
                     qRound(rect.height() * scale));
    if (area.isEmpty()) return {};
    QImage cropped(area.size(), QImage::Format_RGB32);
    if (cropped.isNull()) return {};
    cropped.fill(border);
    QPainter painter(&cropped);
    painter.drawImage(QPoint(qRound(offset.x() * scale), qRound(offset.y() * scale)) - area.topLeft(), picture);
    return cropped;
}
