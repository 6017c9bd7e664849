#include "codec_messages.h"

#include "errors.h"
#include "window_system.h"

namespace mireo {

namespace {

std::string numbered(int64_t n) {
    std::string text = n >= 0 ? " " : "";
    text += std::to_string(n);
    return text;
}

}  // namespace

const char* encoderErrorText(Encoder encoder) {
    switch (encoder) {
    case Encoder::kPackBits16: return "Error in 16-bit Packbits Compressor   ";
    case Encoder::kPackBits8: return "Error in Packbits 4/8 bit Compressor   ";
    case Encoder::kRle: return "Error in RLE Compressor   ";
    case Encoder::kScanline: break;
    }
    return "Error in Scanline compression   ";
}

const char* decoderErrorText(CompressionType type) {
    switch (type) {
    case kScanline: return "Error in dll Scanlines Un-compress - ";
    case kRle: return "Error in dll RLE Un-compress - ";
    case kPackBits: return "Error in dll Packbits Un-compress.";
    case kUncompressed: break;
    }
    return nullptr;
}

std::string packBitsPositionText(const DecodePosition& position) {
    return numbered(position.column) + " - " + numbered(position.row) + "X" + numbered(position.unit);
}

void reportEncoderError(Encoder encoder, int number) {
    showMessage(encoderErrorText(encoder));
    showMessage(formatError(number));
}

void reportDecoderError(CompressionType type, const DecodeError& error) {
    const char* text = decoderErrorText(type);
    if (!text) return;
    showMessage(text + formatError(error.number));
    if (type == kPackBits) showMessage(packBitsPositionText(error.position));
}

}  // namespace mireo
