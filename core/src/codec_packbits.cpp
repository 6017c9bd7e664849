// PackBits compression: per row, literals (header h = 0 to 126, then h + 1
// units) and repeats (header 257 - n, then one unit standing for n = 2 to
// 128 copies).  A unit is a byte at 8 and 4 bits, a 2-byte pixel at 16 bits.
// A repeat starts only at three equal units (two at the end of a row), and
// an open literal takes the last two units of a row.
#include <algorithm>
#include <cstring>

#include "codec_frame.h"

namespace mireo {

namespace {

constexpr std::size_t kMaxLiteral = 127;
constexpr std::size_t kMaxRepeat = 128;

// Encodes the rows of one block in units of `Unit` bytes.
template <std::size_t Unit>
class PackBitsRowEncoder {
public:
    explicit PackBitsRowEncoder(StreamWriter& w) : w_(w) {}

    void encodeRow(const uint8_t* row, std::size_t units) {
        row_ = row;
        repeat_ = 0;
        literal_ = 0;
        for (std::size_t i = 0; i + 1 < units; ++i) encodeInner(i, i + 2 == units);
        if (units > 0) encodeLast(units - 1);
    }

private:
    const uint8_t* at(std::size_t i) const { return row_ + i * Unit; }
    bool same(std::size_t a, std::size_t b) const { return std::memcmp(at(a), at(b), Unit) == 0; }
    bool sameAsRepeat(std::size_t i) const { return std::memcmp(at(i), value_, Unit) == 0; }

    void putUnit(const uint8_t* u) {
        for (std::size_t b = 0; b < Unit; ++b) w_.put(u[b]);
    }
    void writeRepeat(std::size_t count) {
        w_.put(static_cast<uint8_t>(257 - count));
        putUnit(value_);
        repeat_ = 0;
    }
    void openLiteral(std::size_t i) {
        header_ = w_.reserve();
        putUnit(at(i));
        literal_ = 1;
    }
    void appendLiteral(std::size_t i) {
        putUnit(at(i));
        ++literal_;
    }
    void closeLiteral() {
        w_.patch(header_, static_cast<uint8_t>(literal_ - 1));
        literal_ = 0;
    }
    void writeSingle(std::size_t i) {
        w_.put(0);
        putUnit(at(i));
    }

    // Unit i with at least one unit after it; z is the unit after the next,
    // or the next one itself when i is second to last.
    void encodeInner(std::size_t i, bool secondToLast) {
        std::size_t z = secondToLast ? i + 1 : i + 2;
        if (secondToLast && literal_ == kMaxLiteral) {
            closeLiteral();
            openLiteral(i);
            return;
        }
        if (secondToLast && literal_ > 0) return appendLiteral(i);
        if (repeat_ > 0) {
            if (sameAsRepeat(i) && repeat_ < kMaxRepeat) {
                ++repeat_;
                return;
            }
            writeRepeat(repeat_);
        } else if (literal_ > 0) {
            if (literal_ < kMaxLiteral && !(same(i, i + 1) && same(i, z))) return appendLiteral(i);
            closeLiteral();
        }
        start(i, z);
    }

    void start(std::size_t i, std::size_t z) {
        if (same(i, i + 1) && same(i, z)) {
            std::memcpy(value_, at(i), Unit);
            repeat_ = 1;
        } else {
            openLiteral(i);
        }
    }

    void encodeLast(std::size_t i) {
        if (repeat_ > 0) {
            if (repeat_ < kMaxRepeat && sameAsRepeat(i)) return writeRepeat(repeat_ + 1);
            writeRepeat(repeat_);
        } else if (literal_ > 0 && literal_ < kMaxLiteral) {
            appendLiteral(i);
            closeLiteral();
            return;
        } else if (literal_ > 0) {
            closeLiteral();
        }
        writeSingle(i);
    }

    StreamWriter& w_;
    const uint8_t* row_ = nullptr;
    uint8_t value_[Unit] = {};
    std::size_t repeat_ = 0, literal_ = 0, header_ = 0;
};

template <std::size_t Unit>
std::vector<uint8_t> encodePackBits(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes) {
    std::size_t size = checkedBlockSize(block, rows, rowBytes);
    StreamWriter w(2 * size);
    PackBitsRowEncoder<Unit> encoder(w);
    auto stride = static_cast<std::size_t>(rowBytes);
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r)
        encoder.encodeRow(block.data() + r * stride, stride / Unit);
    return w.finish();
}

}  // namespace

std::vector<uint8_t> encodePackBits8(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes) {
    return encodePackBits<1>(block, rows, rowBytes);
}

std::vector<uint8_t> encodePackBits16(std::span<const uint8_t> block, int32_t rows, int32_t width) {
    if (width < 0 || width > INT32_MAX / 2) raise(kInvalidCall, "width out of range");
    return encodePackBits<2>(block, rows, 2 * width);
}

std::size_t decodePackBits(std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes, int32_t depth,
                           std::vector<uint8_t>& out) {
    if (depth != 16 && depth != 8 && depth != 4) throw DecodeError{kInvalidCall, {}};
    std::size_t unit = depth == 16 ? 2 : 1;
    StreamReader in(stream);
    sizeDecodedBlock(out, rows, rowBytes, in, kMaxRepeat);
    auto stride = static_cast<std::size_t>(rowBytes);
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) {
        uint8_t* row = out.data() + r * stride;
        std::size_t column = 0;
        auto where = [&](std::size_t k) {
            return DecodePosition{static_cast<int64_t>(column), static_cast<int64_t>(r), static_cast<int64_t>(k)};
        };
        while (column < stride) {
            unsigned header = in.get(where(0));
            bool repeat = header & 0x80;
            std::size_t count = repeat ? 257 - header : header + 1;
            uint8_t value[2] = {};
            for (std::size_t b = 0; repeat && b < unit; ++b) value[b] = in.get(where(0));
            for (std::size_t k = 0; k < count; ++k) {
                if (unit > stride - column) throw DecodeError{kSubscriptOutOfRange, where(k)};
                for (std::size_t b = 0; b < unit; ++b) row[column + b] = repeat ? value[b] : in.get(where(k));
                column += unit;
            }
        }
    }
    return in.consumed();
}

}  // namespace mireo
