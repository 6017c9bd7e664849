// Fitting a picture to a target size: crop (the largest centred area of the
// target's proportions), pad (the whole picture centred on a border) or
// stretch (the whole picture, proportions ignored).
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

namespace mireo::imaging {

enum class FitMode { Crop, Pad, Stretch };

// The largest rectangle of the target's proportions, centred in `source`.
QRect cropArea(QSize source, QSize target);

// Where the whole picture lies inside the target when padded.
QRect padPlacement(QSize source, QSize target);

// The largest power of two up to 8 by which `source` may be shrunk while
// the part that ends up in the target keeps at least the pixels it needs in
// each direction; 1 when the picture is not at least twice as large.  (The
// JPEG decoder's reduced-scale transform is itself a good low-pass filter,
// so the final resampling needs no further margin.)
int shrinkFactor(QSize source, QSize target, FitMode mode);

// The picture fitted to exactly `target`, as an opaque RGB32 image.
// Transparent parts of the picture show the border colour.
QImage fitPicture(const QImage& picture, QSize target, FitMode mode, QColor border);

}  // namespace mireo::imaging
