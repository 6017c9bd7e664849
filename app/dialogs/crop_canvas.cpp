#include "dialogs/crop_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The rectangle is not made smaller once a side is under this.
constexpr double kSmallestSide = 25;
// A shrink that would leave a side under one pixel is not done, so that a
// fast drag upwards cannot turn the rectangle inside out.
constexpr double kThinnest = 1;

} // namespace

CropCanvas::CropCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picResize"));
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Crop Area"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CropCanvas::setBorderColor(QColor color) {
    border_ = color;
    update();
}

void CropCanvas::clearPicture() {
    picture_ = QImage();
    update();
}

void CropCanvas::showCrop(const QImage& shown, QPoint offset, int side) {
    picture_ = shown;
    offset_ = offset;
    setFixedSize(side, side);
    update();
}

void CropCanvas::showStretch(const QImage& stretched) {
    picture_ = stretched;
    offset_ = QPoint(0, 0);
    setFixedSize(stretched.size());
    update();
}

void CropCanvas::setCropRec(const QRectF& rect) {
    rect_ = rect;
    update();
}

void CropCanvas::setCropRecShown(bool shown) {
    rectShown_ = shown;
    update();
}

void CropCanvas::moveCropRec(double dx, double dy) {
    QRectF moved = rect_.translated(dx, dy);
    if (moved.left() < 0) moved.moveLeft(0);
    if (moved.top() < 0) moved.moveTop(0);
    if (dx > 0 && moved.right() > width()) moved.moveLeft(moved.left() - dx);
    if (dy > 0 && moved.bottom() > height()) moved.moveTop(moved.top() - dy);
    setCropRec(moved);
}

void CropCanvas::growCropRec(double dy) {
    if (dy < 0 && (rect_.height() < kSmallestSide || rect_.width() < kSmallestSide)) return;
    if (dy > 0 && (rect_.right() > width() || rect_.bottom() > height())) return;
    const QSizeF grown(rect_.width() + dy * aspect_, rect_.height() + dy);
    if (grown.width() < kThinnest || grown.height() < kThinnest) return;
    setCropRec(QRectF(rect_.topLeft(), grown));
}

void CropCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), border_);
    if (!picture_.isNull()) painter.drawImage(offset_, picture_);
    if (!rectShown_ || rect_.isEmpty()) return;
    // A black line with white dashes shows on any picture.
    const QRectF outline = rect_.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(outline);
    painter.setPen(QPen(Qt::white, 1, hasFocus() ? Qt::DashLine : Qt::DotLine));
    painter.drawRect(outline);
}

void CropCanvas::mousePressEvent(QMouseEvent* event) { last_ = event->position(); }

void CropCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (!rectShown_) return;
    const QPointF at = event->position();
    if (event->buttons() & Qt::LeftButton) {
        moveCropRec(at.x() - last_.x(), at.y() - last_.y());
        last_ = at;
    } else if (event->buttons() & Qt::RightButton) {
        growCropRec(at.y() - last_.y());
        last_ = QPointF(0, at.y());
    }
}

void CropCanvas::keyPressEvent(QKeyEvent* event) {
    if (!rectShown_) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
        case Qt::Key_Left: moveCropRec(-step, 0); break;
        case Qt::Key_Right: moveCropRec(step, 0); break;
        case Qt::Key_Up: moveCropRec(0, -step); break;
        case Qt::Key_Down: moveCropRec(0, step); break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: growCropRec(1); break;
        case Qt::Key_Minus: growCropRec(-1); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}
