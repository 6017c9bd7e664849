// The PackBits decoder on arbitrary streams (input layout in
// decoder_harness.h; option bits 1-2 choose depth 16, 8, 4 or an invalid one).
#include "decoder_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzDecoder(data, size, [](const auto& stream, int32_t rows, int32_t rowBytes, uint8_t options, auto& out) {
        const int32_t depths[] = {16, 8, 4, 24};
        return mireo::decodePackBits(stream, rows, rowBytes, depths[options >> 1 & 3], out);
    });
}
