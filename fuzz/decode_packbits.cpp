// The PackBits decoder on arbitrary streams: it either decodes exactly
// rows x rowBytes bytes within the stream or throws DecodeError, and never
// touches memory outside its buffers.
// Input: rows, row bytes, options (bit 0: make the length field match the
// stream; bits 1-2: depth 16, 8, 4 or an invalid one), then the stream.
#include <cstdlib>
#include <vector>

#include "codecs.h"
#include "numeric.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    int32_t rows = data[0] % 33;
    int32_t rowBytes = data[1] % 129;
    const int32_t depths[] = {16, 8, 4, 24};
    int32_t depth = depths[data[2] >> 1 & 3];
    std::vector<uint8_t> stream(data + 3, data + size);
    if ((data[2] & 1) && stream.size() >= 4) mireo::putBe32(stream.data(), static_cast<uint32_t>(stream.size()));
    std::vector<uint8_t> out;
    try {
        std::size_t consumed = mireo::decodePackBits(stream, rows, rowBytes, depth, out);
        if (out.size() != static_cast<std::size_t>(rows * rowBytes) || consumed < 4 || consumed > stream.size()) abort();
    } catch (const mireo::DecodeError& e) {
        if (e.number != 5 && e.number != 9 && e.number != 62) abort();
    }
    return 0;
}
