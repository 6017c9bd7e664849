// Scanline compression: per row, groups of up to 8 bytes, each led by a flag
// byte whose bits (0x80 first) mark the bytes that differ from the row
// above.  The first row of a block has no row above and is stored whole.
#include <algorithm>

#include "codec_frame.h"

namespace mireo {

namespace {

constexpr std::size_t kGroup = 8;

void encodeFirstRow(StreamWriter& w, std::span<const uint8_t> row) {
    for (std::size_t start = 0; start < row.size(); start += kGroup) {
        std::size_t n = std::min(kGroup, row.size() - start);
        w.put(static_cast<uint8_t>(0xFF00u >> n));
        w.put(row.subspan(start, n));
    }
}

// Each byte is stored and kept only when it differs, without a branch on
// the data: in a dithered picture such branches go either way at random.
void encodeLaterRow(StreamWriter& w, const uint8_t* row, const uint8_t* above, std::size_t rowBytes) {
    for (std::size_t start = 0; start < rowBytes; start += kGroup) {
        std::size_t n = std::min(kGroup, rowBytes - start);
        uint8_t* out = w.room(1 + n);
        std::size_t kept = 1;
        unsigned flag = 0;
        for (std::size_t k = 0; k < n; ++k) {
            const unsigned differs = row[start + k] != above[start + k] ? 1 : 0;
            out[kept] = row[start + k];
            kept += differs;
            flag |= differs << (7 - k);
        }
        out[0] = static_cast<uint8_t>(flag);
        w.commit(kept);
    }
}

}  // namespace

std::vector<uint8_t> encodeScanline(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes) {
    std::size_t size = checkedBlockSize(block, rows, rowBytes);
    StreamWriter w(2 * size);
    auto stride = static_cast<std::size_t>(rowBytes);
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) {
        const uint8_t* row = block.data() + r * stride;
        if (r == 0)
            encodeFirstRow(w, {row, stride});
        else
            encodeLaterRow(w, row, row - stride, stride);
    }
    return w.finish();
}

std::size_t decodeScanline(std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes, std::vector<uint8_t>& out) {
    StreamReader in(stream);
    sizeDecodedBlock(out, rows, rowBytes, in, kGroup);
    auto stride = static_cast<std::size_t>(rowBytes);
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) {
        uint8_t* row = out.data() + r * stride;
        const uint8_t* above = r > 0 ? row - stride : nullptr;
        for (std::size_t start = 0; start < stride; start += kGroup) {
            std::size_t n = std::min(kGroup, stride - start);
            unsigned flag = in.get(), bit = 0x80;
            for (std::size_t i = start; i < start + n; ++i, bit >>= 1) {
                if (flag & bit)
                    row[i] = in.get();
                else if (!above)
                    throw DecodeError{kInvalidCall, {static_cast<int64_t>(i), 0, 0}};
                else
                    row[i] = above[i];
            }
        }
    }
    return in.consumed();
}

}  // namespace mireo
