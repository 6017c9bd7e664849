// Every encoder's stream carries its own length and decodes back to the
// block it was made from.
// Input: rows, width, depth (16, 8 or 4), then bytes that are repeated to
// fill the block.
#include <cstdlib>
#include <vector>

#include "codecs.h"
#include "numeric.h"

namespace {

using Bytes = std::vector<uint8_t>;

void expectFramed(const Bytes& s) {
    if (s.size() < 4 || mireo::getBe32(s.data()) != s.size()) abort();
}

void expectSame(const Bytes& a, const Bytes& b) {
    if (a != b) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    int32_t rows = data[0] % 17;
    int32_t width = 1 + data[1] % 200;
    const int32_t depths[] = {16, 8, 4};
    int32_t depth = depths[data[2] % 3];
    int32_t rowBytes = mireo::packedRowBytes(width, depth);
    Bytes block(static_cast<std::size_t>(rows * rowBytes));
    for (std::size_t i = 0; i < block.size() && size > 3; ++i) block[i] = data[3 + i % (size - 3)];

    Bytes out;
    Bytes s = mireo::encodeScanline(block, rows, rowBytes);
    expectFramed(s);
    if (mireo::decodeScanline(s, rows, rowBytes, out) != s.size()) abort();
    expectSame(out, block);
    if (depth == 16) {
        s = mireo::encodePackBits16(block, rows, width);
        expectFramed(s);
        if (mireo::decodePackBits(s, rows, rowBytes, 16, out) != s.size()) abort();
        expectSame(out, block);
        return 0;
    }
    s = mireo::encodeRle(block, rows, rowBytes);
    expectFramed(s);
    if (mireo::decodeRle(s, rows, rowBytes, out) != s.size()) abort();
    expectSame(out, block);
    s = mireo::encodePackBits8(block, rows, rowBytes);
    expectFramed(s);
    if (mireo::decodePackBits(s, rows, rowBytes, depth, out) != s.size()) abort();
    expectSame(out, block);
    return 0;
}
