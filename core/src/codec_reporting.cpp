// The codecs as the database writer and reader call them: failures are
// reported here, in the codec's own words, and the caller goes on.
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

std::size_t decodeWith(CompressionType type, std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes,
                       int32_t depth, std::vector<uint8_t>& out) {
    switch (type) {
    case kScanline: return decodeScanline(stream, rows, rowBytes, out);
    case kRle: return decodeRle(stream, rows, rowBytes, out);
    case kPackBits: return decodePackBits(stream, rows, rowBytes, depth, out);
    case kUncompressed: break;
    }
    throw DecodeError{kInvalidCall, {}};
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

bool decodeBlockReporting(CompressionType type, std::span<const uint8_t> stream, int32_t rows, int32_t rowBytes,
                          int32_t depth, std::vector<uint8_t>& out, std::size_t& consumed) {
    if (!decoderErrorText(type)) return false;
    try {
        consumed = decodeWith(type, stream, rows, rowBytes, depth, out);
        return true;
    } catch (const DecodeError& error) {
        reportDecoderError(type, error);
    } catch (...) {
        reportDecoderError(type, DecodeError{errorNumberOf(std::current_exception()), {}});
    }
    return false;
}

}  // namespace mireo
