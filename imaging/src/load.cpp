#include "imaging/load.h"

#include <QFile>
#include <cstdio>

#include "imaging/gif_check.h"

namespace mireo::imaging {

namespace {

bool qtTurnsSideways(QImageIOHandler::Transformations t) {
    return t.testFlag(QImageIOHandler::TransformationRotate90);
}

int shrunkSide(int side, int factor) { return (side + factor - 1) / factor; }

std::span<const uint8_t> bytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// The first bytes of the file, with the file open at its start again.
std::span<const uint8_t> headOf(std::FILE* file, uint8_t (&head)[6]) {
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return {};
    return {head, got};
}

// The smallest whole factor that brings a decoded picture within `limitMb`
// (a BMP of camera size would not fit whole).
int factorWithin(QSize size, int limitMb) {
    const qint64 limit = qint64{limitMb} * 1024 * 1024;
    int factor = 1;
    while (qint64{4} * shrunkSide(size.width(), factor) * shrunkSide(size.height(), factor) > limit) ++factor;
    return factor;
}

}  // namespace

// JPEG and BMP files are read a piece at a time as their decoders ask for
// it, so that a large photo never sits in memory twice.  A GIF is checked
// whole before Qt's reader sees it.
PictureReader::PictureReader(const QString& path)
    : file_(std::fopen(QFile::encodeName(path).constData(), "rb")) {
    uint8_t bytes[6] = {};
    const std::span<const uint8_t> head = file_ ? headOf(file_.get(), bytes) : std::span<const uint8_t>();
    if (looksLikeJpeg(head)) {
        jpeg_ = std::make_unique<JpegDecoder>(file_.get(), kAllocationLimitMb);
        if (takeJpegDecoder()) return;
    } else if (looksLikeBmp(head)) {
        bmp_ = std::make_unique<BmpDecoder>(file_.get(), kAllocationLimitMb);
        takeBmpDecoder();
        return;
    } else if (looksLikeGif(head)) {
        QFile whole(path);
        if (whole.open(QIODevice::ReadOnly)) {
            contents_ = whole.readAll();
            checkGif();
            return;
        }
    }
    reader_.setFileName(path);
    chooseQtReader();
}

PictureReader::PictureReader(QByteArray contents) : contents_(std::move(contents)) {
    const std::span<const uint8_t> bytes = bytesOf(contents_);
    if (looksLikeJpeg(bytes)) {
        jpeg_ = std::make_unique<JpegDecoder>(bytes, kAllocationLimitMb);
        if (takeJpegDecoder()) return;
    } else if (looksLikeBmp(bytes)) {
        bmp_ = std::make_unique<BmpDecoder>(bytes, kAllocationLimitMb);
        takeBmpDecoder();
        return;
    } else if (looksLikeGif(bytes)) {
        checkGif();
        return;
    }
    readFromContents();
}

void PictureReader::readFromContents() {
    buffer_.setBuffer(&contents_);
    buffer_.open(QIODevice::ReadOnly);
    reader_.setDevice(&buffer_);
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

void PictureReader::takeBmpDecoder() {
    if (bmp_->usable()) size_ = bmp_->size();
}

// A damaged GIF is refused here; a sound one goes to Qt's reader, in the
// form that Qt paints without reading memory it never filled.
void PictureReader::checkGif() {
    const std::string damage = gifDamage(bytesOf(contents_));
    if (!damage.empty()) {
        damage_ = QString::fromStdString(damage);
        return;
    }
    if (std::optional<std::vector<uint8_t>> safe = gifSafeForQt(bytesOf(contents_)))
        contents_ = QByteArray(reinterpret_cast<const char*>(safe->data()), static_cast<qsizetype>(safe->size()));
    readFromContents();
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
    if (bmp_) return bmp_->decode(factorWithin(size_, kAllocationLimitMb));
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
    if (jpeg_) return readJpeg(1);
    if (bmp_) return bmp_->decode(factorWithin(size_, kAllocationLimitMb));
    return reader_.read();
}

bool PictureReader::recognised() const {
    return jpeg_ || bmp_ || !damage_.isEmpty() || reader_.error() != QImageReader::UnsupportedFormatError;
}

QString PictureReader::errorString() const {
    if (!damage_.isEmpty()) return damage_;
    if (jpeg_ && !jpeg_->error().isEmpty()) return jpeg_->error();
    if (bmp_) return bmp_->error();
    return reader_.errorString();
}

}  // namespace mireo::imaging
