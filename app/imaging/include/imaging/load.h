// Reading pictures through Qt's image readers, with the orientation tag of
// a JPEG applied and large JPEGs decoded at a reduced scale.
#pragma once

#include <QImage>
#include <QImageReader>
#include <QString>

#include "imaging/fit.h"

namespace mireo::imaging {

class PictureReader {
public:
    explicit PictureReader(const QString& path);

    // The size as the picture will appear (orientation applied); invalid
    // when the file cannot be read as a picture.
    QSize size() const { return size_; }

    // Decodes the picture; a JPEG much larger than what the fitting needs
    // is decoded at 1/2, 1/4 or 1/8 of its size.  A null image on failure.
    QImage read(QSize target, FitMode mode);

    QString errorString() const { return reader_.errorString(); }

private:
    QImageReader reader_;
    QSize size_;
};

}  // namespace mireo::imaging
