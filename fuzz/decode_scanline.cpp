// The scanline decoder on arbitrary streams (input layout in decoder_harness.h).
#include "decoder_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzDecoder(data, size, [](const auto& stream, int32_t rows, int32_t rowBytes, uint8_t, auto& out) {
        return mireo::decodeScanline(stream, rows, rowBytes, out);
    });
}
