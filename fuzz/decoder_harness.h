// Shared by the decoder fuzz targets: a decoder on an arbitrary stream either
// decodes exactly rows x rowBytes bytes within the stream or throws
// DecodeError with one of its numbers, and never touches memory outside its
// buffers.
// Input: rows, row bytes, options (bit 0: make the length field match the
// stream; the other bits are the target's own), then the stream.
#pragma once

#include <cstdlib>
#include <vector>

#include "codecs.h"
#include "numeric.h"

template <class Decode>
int fuzzDecoder(const uint8_t* data, size_t size, Decode decode) {
    if (size < 3) return 0;
    int32_t rows = data[0] % 33;
    int32_t rowBytes = data[1] % 129;
    std::vector<uint8_t> stream(data + 3, data + size);
    if ((data[2] & 1) && stream.size() >= 4) mireo::putBe32(stream.data(), static_cast<uint32_t>(stream.size()));
    std::vector<uint8_t> out;
    try {
        std::size_t consumed = decode(stream, rows, rowBytes, data[2], out);
        if (out.size() != static_cast<std::size_t>(rows * rowBytes) || consumed < 4 || consumed > stream.size()) abort();
    } catch (const mireo::DecodeError& e) {
        if (e.number != 5 && e.number != 9 && e.number != 62) abort();
    }
    return 0;
}
