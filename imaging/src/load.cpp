#include "imaging/load.h"

#include <QFile>
#include <cstdio>

namespace mireo::imaging {

namespace {

bool qtTurnsSideways(QImageIOHandler::Transformations t) {
    return t.testFlag(QImageIOHandler::TransformationRotate90);
}

int shrunkSide(int side, int factor) { return (side + factor - 1) / factor; }

std::span<const uint8_t> bytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// The file, open at its start, when it begins like a JPEG; else nothing.
// Other formats are read by Qt from the file itself.
OpenFile openJpeg(const QString& path) {
    OpenFile file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file) return {};
    uint8_t head[3] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file.get());
    if (!looksLikeJpeg({head, got}) || std::fseek(file.get(), 0, SEEK_SET) != 0) return {};
    return file;
}

}  // namespace

// A JPEG file is read a piece at a time as libjpeg asks for it, so that a
// large photo never sits in memory twice.
PictureReader::PictureReader(const QString& path) : jpegFile_(openJpeg(path)) {
    if (jpegFile_) {
        jpeg_ = std::make_unique<JpegDecoder>(jpegFile_.get(), kAllocationLimitMb);
        if (takeJpegDecoder()) return;
    }
    reader_.setFileName(path);
    chooseQtReader();
}

PictureReader::PictureReader(QByteArray contents) : contents_(std::move(contents)) {
    buffer_.setBuffer(&contents_);
    buffer_.open(QIODevice::ReadOnly);
    reader_.setDevice(&buffer_);
    if (looksLikeJpeg(bytesOf(contents_))) {
        jpeg_ = std::make_unique<JpegDecoder>(bytesOf(contents_), kAllocationLimitMb);
        if (takeJpegDecoder()) return;
    }
    chooseQtReader();
}

// The JPEG decoder stays when it can turn the picture into RGB, and when
// the header is damaged (its reason is the better one); a colour space it
// does not convert goes to Qt's reader.
bool PictureReader::takeJpegDecoder() {
    if (!jpeg_->error().isEmpty()) return true;
    if (!jpeg_->usable()) {
        jpeg_.reset();
        return false;
    }
    QSize stored = jpeg_->storedSize();
    size_ = turnsSideways(jpeg_->orientation()) ? stored.transposed() : stored;
    return true;
}

void PictureReader::chooseQtReader() {
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

bool PictureReader::recognised() const {
    return jpeg_ || reader_.error() != QImageReader::UnsupportedFormatError;
}

QString PictureReader::errorString() const {
    if (jpeg_ && !jpeg_->error().isEmpty()) return jpeg_->error();
    return reader_.errorString();
}

}  // namespace mireo::imaging
