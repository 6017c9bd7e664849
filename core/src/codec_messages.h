// The message boxes of the codecs, which report their own failures.
#pragma once

#include <string>

#include "codecs.h"

namespace mireo {

// "Error in RLE Compressor   " and the like (three trailing blanks).
const char* encoderErrorText(Encoder encoder);

// The decoder's prefix, e.g. "Error in dll RLE Un-compress - "; null for a
// type that has no decoder.
const char* decoderErrorText(CompressionType type);

// " 3 -  2X 1": column, " - ", row, "X", unit, each number with its
// leading blank.
std::string packBitsPositionText(const DecodePosition& position);

// Shows the encoder's two boxes: its text, then the formatted error.
void reportEncoderError(Encoder encoder, int number);

// Shows the decoder's box (its prefix and the formatted error) and, for
// PackBits, the second box with the position reached.
void reportDecoderError(CompressionType type, const DecodeError& error);

}  // namespace mireo
