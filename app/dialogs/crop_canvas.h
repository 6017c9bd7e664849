// picResize: the canvas of the crop dialog.  It paints the picture at its
// shown size on the border colour and, when cropping, the crop rectangle
// (CropRec) over it.  Positions are canvas pixels.  The left button drags
// the rectangle, the right button sizes it by the vertical movement in the
// target's proportions; the arrow keys (Shift: steps of 10) and + and -
// do the same without a mouse, within the same limits.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QWidget>

class CropCanvas : public QWidget {
    Q_OBJECT
public:
    explicit CropCanvas(QWidget* parent);

    void setBorderColor(QColor color);
    QColor borderColor() const { return border_; }
    // An empty canvas of the border colour.
    void clearPicture();
    // The crop view: `shown` (already at its shown size) at `offset` on a
    // square canvas of `side`.
    void showCrop(const QImage& shown, QPoint offset, int side);
    // The stretch preview fills the canvas, which takes its size.
    void showStretch(const QImage& stretched);

    QRectF CropRec() const { return rect_; }
    void setCropRec(const QRectF& rect);
    bool cropRecShown() const { return rectShown_; }
    void setCropRecShown(bool shown);
    // CropAspect: the rectangle's width per pixel of height.
    void setAspect(double aspect) { aspect_ = aspect; }

    // The rules of a left drag and a right drag.
    void moveCropRec(double dx, double dy);
    void growCropRec(double dy);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage picture_;
    QPoint offset_;
    QColor border_ = Qt::white;
    QRectF rect_;
    bool rectShown_ = true;
    double aspect_ = 1;
    QPointF last_;
};
