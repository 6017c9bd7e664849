// RLE compression: per row, pairs (count 1 to 255, value).
#include <algorithm>

#include "codec_frame.h"

namespace mireo {

namespace {

constexpr unsigned kMaxRun = 255;

// A run of equal bytes being collected.
struct Run {
    bool active = false;
    uint8_t value = 0;
    unsigned count = 0;
};

void putPair(StreamWriter& w, unsigned count, uint8_t value) {
    w.put(static_cast<uint8_t>(count));
    w.put(value);
}

// A byte that is not the last of its row; `next` is the one after it.
void encodeInner(StreamWriter& w, Run& run, uint8_t x, uint8_t next) {
    if (run.active) {
        if (x == run.value && run.count < kMaxRun) {
            ++run.count;
            return;
        }
        putPair(w, run.count, run.value);
        run.active = false;
    }
    if (next == x)
        run = {true, x, 1};
    else
        putPair(w, 1, x);
}

void encodeLast(StreamWriter& w, const Run& run, uint8_t x) {
    if (run.active && run.count < kMaxRun && x == run.value) {
        putPair(w, run.count + 1, run.value);
        return;
    }
    if (run.active) putPair(w, run.count, run.value);
    putPair(w, 1, x);
}

void encodeRow(StreamWriter& w, const uint8_t* row, std::size_t n) {
    Run run;
    for (std::size_t i = 0; i + 1 < n; ++i) encodeInner(w, run, row[i], row[i + 1]);
    if (n > 0) encodeLast(w, run, row[n - 1]);
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
