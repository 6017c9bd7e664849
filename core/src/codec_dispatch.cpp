// One entry to the encoders and one to the decoders, by type, as the
// database writer and reader call them.  An encoder's failure is reported
// here in the codec's own words and the writer goes on; the reader reports
// a decoder's failure itself.
#include "codec_messages.h"
#include "guard.h"

namespace mireo {

namespace {

std::vector<uint8_t> encodeWith(Encoder encoder, std::span<const uint8_t> block, int32_t rows, int32_t rowBytes) {
    switch (encoder) {
    case Encoder::kScanline: return encodeScanline(block, rows, rowBytes);
    case Encoder::kRle: return encodeRle(block, rows, rowBytes);
    case Encoder::kPackBits8: return encodePackBits8(block, rows, rowBytes);
    case Encoder::kPackBits16: break;
    }
    if (rowBytes % 2 != 0) raise(kInvalidCall, "16-bit row of odd length");
    return encodePackBits16(block, rows, rowBytes / 2);
}

}  // namespace

std::vector<uint8_t> runEncoder(Encoder encoder, std::span<const uint8_t> block, int32_t rows, int32_t rowBytes) {
    try {
        return encodeWith(encoder, block, rows, rowBytes);
    } catch (...) {
        reportEncoderError(encoder, errorNumberOf(std::current_exception()));
        return {};
    }
}

std::size_t decodeBlock(CompressionType type, std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes,
                        int32_t depth, std::vector<uint8_t>& out) {
    switch (type) {
    case kScanline: return decodeScanline(stream, rows, rowBytes, out);
    case kRle: return decodeRle(stream, rows, rowBytes, out);
    case kPackBits: return decodePackBits(stream, rows, rowBytes, depth, out);
    case kUncompressed: break;
    }
    throw DecodeError{kInvalidCall, {}};
}

}  // namespace mireo
