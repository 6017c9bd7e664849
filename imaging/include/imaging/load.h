// Reading pictures: JPEGs straight through libjpeg, with the orientation
// tag applied and large ones decoded at a reduced scale; BMPs through our
// own decoder; GIFs checked whole first; every other picture (and any JPEG
// libjpeg cannot turn into RGB by itself) through Qt's image readers.  A
// picture cut short or with broken data is refused, never shown with
// made-up pixels.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdio>
#include <memory>

#include "imaging/bmp_decoder.h"
#include "imaging/fit.h"
#include "imaging/jpeg_decoder.h"

namespace mireo::imaging {

inline constexpr int kAllocationLimitMb = 128;

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, CloseFile>;

class PictureReader {
public:
    explicit PictureReader(const QString& path);
    // A picture held in memory, such as one read from standard input.
    explicit PictureReader(QByteArray contents);
    PictureReader(const PictureReader&) = delete;
    PictureReader& operator=(const PictureReader&) = delete;

    // The size as the picture will appear (orientation applied); invalid
    // when the file cannot be read as a picture.
    QSize size() const { return size_; }

    // Decodes the picture; a JPEG much larger than what the fitting needs
    // is decoded at 1/2, 1/4 or 1/8 of its size.  A null image on failure.
    QImage read(QSize target, FitMode mode);
    // Decodes the whole picture at its own size.
    QImage read();

    QString errorString() const;
    // False when no reader knows the file's format (it is not a picture).
    bool recognised() const;
    // True when a large picture is decoded at a reduced scale, so that its
    // whole size never needs to be in memory.
    bool reducible() const { return jpeg_ || bmp_; }

private:
    bool takeJpegDecoder();
    void takeBmpDecoder();
    void checkGif();
    void readFromContents();
    void chooseQtReader();
    QImage readJpeg(int factor);

    OpenFile file_;  // read by the JPEG or BMP decoder as it goes
    QByteArray contents_;  // a picture given in memory, or a whole GIF
    QBuffer buffer_;
    std::unique_ptr<JpegDecoder> jpeg_;
    std::unique_ptr<BmpDecoder> bmp_;
    QString damage_;  // why a check refused the picture before any reader saw it
    QImageReader reader_;
    QSize size_;
};

}  // namespace mireo::imaging
