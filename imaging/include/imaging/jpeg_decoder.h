// JPEG decoding straight through libjpeg, from the file's bytes in memory
// or from an open file read a piece at a time, into an RGB32 picture, at
// full size or at 1/2, 1/4 or 1/8 of it.  It takes the colour spaces
// libjpeg turns into RGB itself (YCbCr, RGB, grey); any other JPEG (CMYK,
// YCCK) is left to Qt's reader.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>

namespace mireo::imaging {

// True when the bytes begin like a JPEG file (start-of-image marker).
bool looksLikeJpeg(std::span<const uint8_t> head);

class JpegDecoder {
public:
    // Reads the header of `file`, which must outlive the decoder.
    // `limitMb` bounds the decoded picture and the decoder's own memory.
    JpegDecoder(std::span<const uint8_t> file, int limitMb);
    // Reads the header from the current position of `file`, which must stay
    // open for the decoder's lifetime.
    JpegDecoder(std::FILE* file, int limitMb);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // False when the header could not be read or the colour space is not
    // one this decoder turns into RGB.
    bool usable() const { return usable_; }
    QSize storedSize() const { return stored_; }
    int orientation() const { return orientation_; }  // Exif 1 to 8

    // The stored pixels (orientation not applied) at 1/`denominator` of
    // the size (1, 2, 4 or 8); null on failure, with the reason in error().
    // Decodes once.
    QImage decode(int denominator);
    QString error() const { return error_; }

private:
    struct State;
    template <class AttachSource>
    void readHeader(AttachSource attach);
    std::unique_ptr<State> state_;
    bool usable_ = false;
    QSize stored_;
    int orientation_ = 1;
    int limitMb_;
    QString error_;
};

// The picture as an upright viewer shows it, for an Exif orientation.
QImage applyOrientation(const QImage& stored, int orientation);

// Whether the orientation swaps width and height (5 to 8).
inline bool turnsSideways(int orientation) { return orientation >= 5 && orientation <= 8; }

}  // namespace mireo::imaging
