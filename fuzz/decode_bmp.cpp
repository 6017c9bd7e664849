// The BMP decoder on arbitrary files, at full size and shrunk by 3, from
// memory and from an open file: it must stay inside the bytes and either
// refuse with a reason or give an opaque RGB32 picture of the size its
// header announced, the same both ways.
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imaging/bmp_decoder.h"

namespace {

using mireo::imaging::BmpDecoder;

// Small, so that a lying header meets the limit quickly.
constexpr int kLimitMb = 1;

bool samePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), static_cast<std::size_t>(a.width()) * 4) != 0)
            return false;
    return true;
}

void checkResult(const BmpDecoder& decoder, const QImage& picture, int factor) {
    if (picture.isNull()) {
        if (decoder.error().isEmpty()) std::abort();
        return;
    }
    const QSize full = decoder.size();
    if (!decoder.error().isEmpty() || picture.format() != QImage::Format_RGB32 ||
        picture.width() != (full.width() + factor - 1) / factor ||
        picture.height() != (full.height() + factor - 1) / factor)
        std::abort();
    // A pixel that the decoder never wrote would hardly be opaque.
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(row[x]) != 0xFF) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QImage fullSize;
    QString fullSizeError;
    for (int factor : {1, 3}) {
        BmpDecoder decoder({data, size}, kLimitMb);
        const QImage picture = decoder.decode(factor);
        checkResult(decoder, picture, factor);
        if (factor == 1) fullSize = picture, fullSizeError = decoder.error();
    }
    if (size == 0) return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file) return 0;
    BmpDecoder streamed(file, kLimitMb);
    const QImage picture = streamed.decode(1);
    std::fclose(file);
    if (!samePixels(picture, fullSize) || streamed.error() != fullSizeError) std::abort();
    return 0;
}
