// BMP decoding of our own, from the file's bytes in memory or from an open
// file read one row at a time, into an RGB32 picture at full size or shrunk
// by a whole factor.  It takes the usual headers (OS/2 1.x and 2.x, Windows
// 3 to 5), 1 to 32 bits per pixel, run-length compression and channel masks,
// stored either way up, and gives the pixels Qt's own BMP reader gives; a
// file that is cut short or whose header does not add up is refused with a
// reason instead of being shown with made-up pixels.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>

namespace mireo::imaging {

// True when the bytes begin like a BMP file ("BM").
bool looksLikeBmp(std::span<const uint8_t> head);

class BmpDecoder {
public:
    // Reads the headers of `file`, whose bytes must outlive the decoder.
    // `limitMb` bounds the decoded picture together with the decoder's
    // working rows.
    BmpDecoder(std::span<const uint8_t> file, int limitMb);
    // Reads the headers from the current position of `file`, which must stay
    // open for the decoder's lifetime; the pixels are read row by row as
    // they are decoded, never the whole file at once.
    BmpDecoder(std::FILE* file, int limitMb);
    ~BmpDecoder();
    BmpDecoder(const BmpDecoder&) = delete;
    BmpDecoder& operator=(const BmpDecoder&) = delete;

    // False when the headers could not be read or describe a BMP that this
    // decoder does not take; error() says why.
    bool usable() const { return usable_; }
    // The size as displayed, whichever way up the rows are stored.
    QSize size() const { return size_; }

    // The picture at 1/`factor` of its size (a factor below 1 counts as 1):
    // ceil(width / factor) x ceil(height / factor) pixels, each the rounded
    // mean of its factor x factor box, the boxes at the right and bottom
    // edges averaged over the pixels they have.  Null on failure, with the
    // reason in error().  Decodes once.
    QImage decode(int factor = 1);
    QString error() const { return error_; }

private:
    struct State;
    void readHeader();
    std::unique_ptr<State> state_;
    bool usable_ = false;
    QSize size_;
    int limitMb_;
    QString error_;
};

}  // namespace mireo::imaging
