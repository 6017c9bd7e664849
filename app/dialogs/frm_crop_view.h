// The geometry of the crop view: how many picture pixels one canvas pixel
// stands for, the square canvas with the picture centred on it, and the
// crop rectangle the view starts with.
#pragma once

#include <QPoint>
#include <QRectF>
#include <QSize>

// CropScale for a picture of this pixel size.
double CropScaleFor(QSize picture);

struct CropView {
    double scale = 1;  // CropScale
    int side = 0;      // the square canvas
    QPoint offset;     // the picture's top-left corner on the canvas
    QSize shown;       // the picture's size on the canvas
};

// The canvas for a picture of this pixel size.
CropView CropViewFor(QSize picture);

// Half the target, or a quarter when half is not narrower than the canvas,
// centred on the canvas.
QRectF DefaultCropRect(QSize target, int side);

class QColor;
class QImage;

// The picture under the crop rectangle at the picture's own resolution:
// the rectangle and the offset in canvas pixels are multiplied by the scale,
// and whatever of the rectangle lies off the picture is border colour.  A
// null image when the rectangle is empty or the memory runs out.
QImage CropAtFullSize(const QImage& picture, const QRectF& rect, QPoint offset, double scale, const QColor& border);
