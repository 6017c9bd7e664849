// Why a picture cannot be converted, in the tool's own words.  Qt's image
// readers and libpng tell their troubles on standard error, without a file
// name; the tool takes those lines instead and folds them into its own.
#pragma once

#include <string>

#include "imaging/load.h"

namespace mireo::cli {

// From here on Qt's messages are kept for pictureProblem, not printed.
void keepQtMessages();

// While one exists, what libpng and other decoders write to standard error
// by themselves is kept for pictureProblem instead.
class DecoderMessagesKept {
public:
    DecoderMessagesKept();
    ~DecoderMessagesKept();
    DecoderMessagesKept(const DecoderMessagesKept&) = delete;
    DecoderMessagesKept& operator=(const DecoderMessagesKept&) = delete;

private:
    int saved_ = -1, kept_ = -1;
};

// "not a picture ...", "damaged picture: ...": why the reader gave no
// size or no picture.
std::string pictureProblem(const imaging::PictureReader& reader);

// Empty when the picture can be decoded within the memory the tool allows
// itself; else the reason with the size and the limit.
std::string memoryProblem(const imaging::PictureReader& reader);

}  // namespace mireo::cli
