#include "imaging/bmp_decoder.h"

#include <algorithm>
#include <vector>

#include "bmp_header.h"

namespace mireo::imaging {

namespace {

using bmp::ByteSource;
using bmp::Header;

int shrunkSide(int side, int factor) { return (side - 1) / factor + 1; }

// Where the decoded rows go, in whatever order the file stores them:
// straight into the picture at full size, or, when it shrinks, summed into
// the boxes of one output row, which is written as soon as its last source
// row has come.
class RowSink {
public:
    RowSink(QImage& picture, int width, int height, int factor)
        : picture_(picture), width_(width), height_(height), factor_(factor) {
        if (factor_ == 1) return;
        row_.resize(static_cast<std::size_t>(width));
        sums_.resize(3 * static_cast<std::size_t>(picture.width()));
    }

    // Where display row `y` is to be decoded.
    QRgb* row(int y) { return factor_ == 1 ? reinterpret_cast<QRgb*>(picture_.scanLine(y)) : row_.data(); }

    // Display row `y` has been decoded.
    void commit(int y) {
        if (factor_ == 1) return;
        for (int x = 0; x < width_; ++x) {
            uint64_t* sum = &sums_[3 * static_cast<std::size_t>(x / factor_)];
            const QRgb pixel = row_[static_cast<std::size_t>(x)];
            sum[0] += static_cast<uint64_t>(qRed(pixel));
            sum[1] += static_cast<uint64_t>(qGreen(pixel));
            sum[2] += static_cast<uint64_t>(qBlue(pixel));
        }
        const int box = y / factor_;
        if (++rowsSummed_ == boxSide(box, height_)) writeBoxes(box);
    }

private:
    // Pixels of the source along one side of box `box`: the factor, or
    // fewer at the far edge.
    int boxSide(int box, int side) const { return std::min(factor_, side - box * factor_); }

    void writeBoxes(int outY) {
        auto* out = reinterpret_cast<QRgb*>(picture_.scanLine(outY));
        for (int outX = 0; outX < picture_.width(); ++outX) {
            const auto pixels = static_cast<uint64_t>(rowsSummed_) * static_cast<uint64_t>(boxSide(outX, width_));
            const uint64_t* sum = &sums_[3 * static_cast<std::size_t>(outX)];
            auto mean = [&](uint64_t total) { return static_cast<int>((total + pixels / 2) / pixels); };
            out[outX] = qRgb(mean(sum[0]), mean(sum[1]), mean(sum[2]));
        }
        std::fill(sums_.begin(), sums_.end(), 0);
        rowsSummed_ = 0;
    }

    QImage& picture_;
    int width_, height_, factor_;
    std::vector<QRgb> row_;
    std::vector<uint64_t> sums_;  // red, green, blue of each box of the output row
    int rowsSummed_ = 0;
};

void indexedRow(const Header& header, const uint8_t* in, QRgb* out) {
    const int bits = header.bitsPerPixel, perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (int x = 0; x < header.width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        out[x] = header.palette[(in[x / perByte] >> shift) & mask];
    }
}

void maskedRow(const Header& header, const uint8_t* in, QRgb* out) {
    const int bytes = header.bitsPerPixel / 8;
    const auto& [red, green, blue] = header.channels;
    for (int x = 0; x < header.width; ++x, in += bytes) {
        uint32_t pixel = 0;
        for (int i = bytes - 1; i >= 0; --i) pixel = pixel << 8 | in[i];
        out[x] = qRgb(static_cast<int>(red.in(pixel)), static_cast<int>(green.in(pixel)),
                      static_cast<int>(blue.in(pixel)));
    }
}

// Uncompressed rows; the last one may lack its padding.
bool decodeRows(ByteSource& source, const Header& header, RowSink& sink) {
    const uint64_t rowBytes = header.rowBytes();
    for (int stored = 0; stored < header.height; ++stored) {
        const bool last = stored == header.height - 1;
        std::span<const uint8_t> bytes = source.take(static_cast<std::size_t>(rowBytes));
        if (bytes.size() < (last ? header.pixelBytes() : rowBytes)) return false;
        const int y = header.topDown ? stored : header.height - 1 - stored;
        if (header.bitsPerPixel <= 8) indexedRow(header, bytes.data(), sink.row(y));
        else maskedRow(header, bytes.data(), sink.row(y));
        sink.commit(y);
    }
    return true;
}

// Run-length compressed pixels, always stored bottom-up, decoded into one
// row of palette indices at a time.  Pixels that the stream passes over
// (with a jump, an early end of row or of picture) take palette entry 0:
// Qt's reader leaves them as its fresh memory happened to be, mostly zero.
// Runs that go past the end of a row are cut there.  A stream may stop
// without its end-of-picture code once the top row is full; one that stops
// earlier is cut short.
class RleDecoder {
public:
    RleDecoder(ByteSource& source, const Header& header, RowSink& sink)
        : source_(source), header_(header), sink_(sink), fourBits_(header.compression == bmp::kRle4),
          indices_(static_cast<std::size_t>(header.width), 0) {}

    bool decode() {
        while (row_ < header_.height) {
            if (row_ == header_.height - 1 && x_ >= header_.width) {
                endRow();
                return true;
            }
            const int count = source_.next();
            if (count < 0) return false;
            if (count > 0 ? !repeat(count) : !escape(source_.next())) return false;
        }
        return true;
    }

private:
    uint8_t pixel(uint8_t byte, int i) const {
        if (!fourBits_) return byte;
        return static_cast<uint8_t>(i % 2 == 0 ? byte >> 4 : byte & 0x0F);
    }

    void put(uint8_t index) {
        if (x_ < header_.width) indices_[static_cast<std::size_t>(x_++)] = index;
    }

    // `count` pixels of one byte (in 4 bits: its two halves in turn).
    bool repeat(int count) {
        const int value = source_.next();
        if (value < 0) return false;
        for (int i = 0; i < count; ++i) put(pixel(static_cast<uint8_t>(value), i));
        return true;
    }

    bool escape(int code) {
        switch (code) {
            case -1: return false;
            case 0: endRow(); return true;
            case 1:
                while (row_ < header_.height) endRow();
                return true;
            case 2: return jump();
            default: return copy(code);
        }
    }

    // `count` pixels stored as they are, padded to a 16-bit boundary.
    bool copy(int count) {
        const std::size_t bytes = fourBits_ ? static_cast<std::size_t>(count + 1) / 2 : static_cast<std::size_t>(count);
        std::span<const uint8_t> data = source_.take(bytes + bytes % 2);
        if (data.size() < bytes) return false;
        for (int i = 0; i < count; ++i) put(pixel(data[static_cast<std::size_t>(fourBits_ ? i / 2 : i)], i));
        return true;
    }

    // Right and up; like Qt's reader, a jump stops at the last pixel of the
    // row and at the top row.
    bool jump() {
        const int right = source_.next(), up = source_.next();
        if (right < 0 || up < 0) return false;
        const int x = std::min(x_ + right, header_.width - 1);
        const int row = std::min(row_ + up, header_.height - 1);
        while (row_ < row) endRow();
        x_ = x;
        return true;
    }

    void endRow() {
        const int y = header_.height - 1 - row_;
        QRgb* out = sink_.row(y);
        for (std::size_t x = 0; x < indices_.size(); ++x) out[x] = header_.palette[indices_[x]];
        sink_.commit(y);
        std::fill(indices_.begin(), indices_.end(), 0);
        ++row_;
        x_ = 0;
    }

    ByteSource& source_;
    const Header& header_;
    RowSink& sink_;
    const bool fourBits_;
    std::vector<uint8_t> indices_;
    int row_ = 0;  // stored rows done, from the bottom
    int x_ = 0;
};

// The output picture and the decoder's working rows: the stored row being
// read, and when shrinking a decoded row and the sums of one output row.
uint64_t bytesNeeded(const Header& header, int factor) {
    const auto width = static_cast<uint64_t>(shrunkSide(header.width, factor));
    const auto height = static_cast<uint64_t>(shrunkSide(header.height, factor));
    uint64_t bytes = width * height * 4;
    bytes += header.runLength() ? static_cast<uint64_t>(header.width) : header.rowBytes();
    if (factor > 1) bytes += static_cast<uint64_t>(header.width) * 4 + width * 3 * sizeof(uint64_t);
    return bytes;
}

}  // namespace

struct BmpDecoder::State {
    ByteSource source;
    Header header;
    bool decoded = false;
};

bool looksLikeBmp(std::span<const uint8_t> head) { return head.size() >= 2 && head[0] == 'B' && head[1] == 'M'; }

BmpDecoder::BmpDecoder(std::span<const uint8_t> file, int limitMb)
    : state_(new State{ByteSource(file), {}, false}), limitMb_(limitMb) {
    readHeader();
}

BmpDecoder::BmpDecoder(std::FILE* file, int limitMb)
    : state_(new State{ByteSource(file), {}, false}), limitMb_(limitMb) {
    readHeader();
}

BmpDecoder::~BmpDecoder() = default;

void BmpDecoder::readHeader() {
    std::optional<Header> header = bmp::readHeader(state_->source, error_);
    if (!header) {
        if (state_->source.failed()) error_ = bmp::unreadable();
        return;
    }
    state_->header = *header;
    size_ = QSize(header->width, header->height);
    usable_ = true;
}

QImage BmpDecoder::decode(int factor) {
    if (!usable_) return {};
    if (state_->decoded) {
        error_ = QStringLiteral("The picture has already been decoded.");
        return {};
    }
    state_->decoded = true;
    const Header& header = state_->header;
    // Past the larger side one box holds the whole picture in any case.
    factor = std::clamp(factor, 1, std::max(header.width, header.height));
    if (bytesNeeded(header, factor) > static_cast<uint64_t>(std::max(limitMb_, 0)) * 1024 * 1024) {
        error_ = bmp::tooLarge();
        return {};
    }
    QImage picture(shrunkSide(header.width, factor), shrunkSide(header.height, factor), QImage::Format_RGB32);
    if (picture.isNull()) {
        error_ = QStringLiteral("Not enough memory for the picture.");
        return {};
    }
    RowSink sink(picture, header.width, header.height, factor);
    const bool complete = header.runLength() ? RleDecoder(state_->source, header, sink).decode()
                                             : decodeRows(state_->source, header, sink);
    if (!complete) {
        error_ = state_->source.failed() ? bmp::unreadable() : bmp::endsBeforeItsPixels();
        return {};
    }
    return picture;
}

}  // namespace mireo::imaging
