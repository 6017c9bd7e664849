#include "imaging/load.h"

namespace mireo::imaging {

namespace {

bool turnsSideways(QImageIOHandler::Transformations t) { return t.testFlag(QImageIOHandler::TransformationRotate90); }

int shrunkSide(int side, int factor) { return (side + factor - 1) / factor; }

}  // namespace

PictureReader::PictureReader(const QString& path) : reader_(path) {
    reader_.setAutoTransform(true);
    QSize stored = reader_.size();
    if (!stored.isValid()) return;
    size_ = turnsSideways(reader_.transformation()) ? stored.transposed() : stored;
}

QImage PictureReader::read(QSize target, FitMode mode) {
    if (!size_.isValid()) return {};
    // libjpeg decodes at 1/2, 1/4 and 1/8 scale almost for free; other
    // readers would only scale after decoding, at lower quality.
    if (reader_.format() == "jpeg") {
        int factor = shrinkFactor(size_, target, mode);
        if (factor > 1) {
            QSize stored = reader_.size();
            reader_.setScaledSize({shrunkSide(stored.width(), factor), shrunkSide(stored.height(), factor)});
        }
    }
    return reader_.read();
}

}  // namespace mireo::imaging
