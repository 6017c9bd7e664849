#include "imaging/load.h"

#include <QFile>

namespace mireo::imaging {

namespace {

bool qtTurnsSideways(QImageIOHandler::Transformations t) {
    return t.testFlag(QImageIOHandler::TransformationRotate90);
}

int shrunkSide(int side, int factor) { return (side + factor - 1) / factor; }

std::span<const uint8_t> bytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// The whole file when it begins like a JPEG, else nothing: other formats
// are read by Qt from the file itself.
QByteArray jpegContents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    if (!looksLikeJpeg(bytesOf(file.peek(3)))) return {};
    return file.readAll();
}

}  // namespace

PictureReader::PictureReader(const QString& path) : contents_(jpegContents(path)) {
    if (contents_.isEmpty()) reader_.setFileName(path);
    chooseDecoder();
}

PictureReader::PictureReader(QByteArray contents) : contents_(std::move(contents)) {
    buffer_.setBuffer(&contents_);
    buffer_.open(QIODevice::ReadOnly);
    reader_.setDevice(&buffer_);
    chooseDecoder();
}

void PictureReader::chooseDecoder() {
    if (looksLikeJpeg(bytesOf(contents_))) {
        jpeg_ = std::make_unique<JpegDecoder>(bytesOf(contents_), kAllocationLimitMb);
        if (jpeg_->usable()) {
            QSize stored = jpeg_->storedSize();
            size_ = turnsSideways(jpeg_->orientation()) ? stored.transposed() : stored;
            return;
        }
        jpeg_.reset();
        if (!reader_.device() && !buffer_.isOpen()) {
            buffer_.setBuffer(&contents_);
            buffer_.open(QIODevice::ReadOnly);
            reader_.setDevice(&buffer_);
        }
    }
    reader_.setAutoTransform(true);
    // A picture within the import limits needs at most 64 MB; a header that
    // claims far more never gets its pixels allocated.
    reader_.setAllocationLimit(kAllocationLimitMb);
    QSize stored = reader_.size();
    if (!stored.isValid()) return;
    size_ = qtTurnsSideways(reader_.transformation()) ? stored.transposed() : stored;
}

QImage PictureReader::readJpeg(int factor) {
    return applyOrientation(jpeg_->decode(factor), jpeg_->orientation());
}

QImage PictureReader::read(QSize target, FitMode mode) {
    if (!size_.isValid()) return {};
    // libjpeg decodes at 1/2, 1/4 and 1/8 scale almost for free; other
    // readers would only scale after decoding, at lower quality.
    if (jpeg_) return readJpeg(shrinkFactor(size_, target, mode));
    if (reader_.format() == "jpeg") {
        int factor = shrinkFactor(size_, target, mode);
        if (factor > 1) {
            QSize stored = reader_.size();
            reader_.setScaledSize({shrunkSide(stored.width(), factor), shrunkSide(stored.height(), factor)});
        }
    }
    return reader_.read();
}

QImage PictureReader::read() {
    if (!size_.isValid()) return {};
    return jpeg_ ? readJpeg(1) : reader_.read();
}

QString PictureReader::errorString() const {
    if (jpeg_ && !jpeg_->error().isEmpty()) return jpeg_->error();
    return reader_.errorString();
}

}  // namespace mireo::imaging
