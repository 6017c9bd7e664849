// RLE compression: per row, pairs (count 1 to 255, value).
#include <algorithm>

#include "codec_frame.h"

namespace mireo {

namespace {

constexpr unsigned kMaxRun = 255;

// Each stretch of equal bytes becomes pairs of at most 255 copies.  Every
// byte writes the pair it would end, which is kept only when it does end
// one: no branch on the data, since in a dithered picture most stretches
// are a single byte and a loop over each stretch goes either way at random.
void encodeRow(StreamWriter& w, const uint8_t* row, std::size_t n) {
    if (n == 0) return;
    uint8_t* out = w.room(2 * n);
    std::size_t kept = 0;
    unsigned count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ++count;
        out[kept] = static_cast<uint8_t>(count);
        out[kept + 1] = row[i];
        const bool ends = i + 1 == n ? true : (row[i + 1] != row[i]) | (count == kMaxRun);
        kept += ends ? 2 : 0;
        count = ends ? 0 : count;
    }
    w.commit(kept);
}

}  // namespace

std::vector<uint8_t> encodeRle(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes) {
    std::size_t size = checkedBlockSize(block, rows, rowBytes);
    StreamWriter w(3 * size);
    auto stride = static_cast<std::size_t>(rowBytes);
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) encodeRow(w, block.data() + r * stride, stride);
    return w.finish();
}

std::size_t decodeRle(std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes, std::vector<uint8_t>& out) {
    StreamReader in(stream);
    sizeDecodedBlock(out, rows, rowBytes, in, (kMaxRun + 1) / 2);
    auto stride = static_cast<std::size_t>(rowBytes);
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) {
        uint8_t* row = out.data() + r * stride;
        for (std::size_t column = 0; column < stride;) {
            DecodePosition where{static_cast<int64_t>(column), static_cast<int64_t>(r), 0};
            std::size_t count = in.get(where);
            uint8_t value = in.get(where);
            if (count == 0) throw DecodeError{kInvalidCall, where};
            if (count > stride - column) throw DecodeError{kSubscriptOutOfRange, where};
            std::fill_n(row + column, count, value);
            column += count;
        }
    }
    return in.consumed();
}

}  // namespace mireo
