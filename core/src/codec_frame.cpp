#include "codec_frame.h"

#include <cstring>
#include <limits>

#include "errors.h"
#include "numeric.h"

namespace mireo {

std::size_t checkedBlockSize(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes) {
    if (rows < 0 || rowBytes < 0) raise(kInvalidCall, "negative block size");
    auto size = static_cast<std::size_t>(rows) * static_cast<std::size_t>(rowBytes);
    if (block.size() < size) raise(kSubscriptOutOfRange, "block shorter than its rows");
    return size;
}

// The buffer is left unfilled: only the bytes written reach the stream.
StreamWriter::StreamWriter(std::size_t capacity) {
    if (capacity > std::numeric_limits<uint32_t>::max() - 4) raise(kOverflow, "stream too long for its length field");
    size_ = capacity + 4;
    buffer_ = std::make_unique_for_overwrite<uint8_t[]>(size_);
}

void StreamWriter::put(std::span<const uint8_t> bytes) {
    if (bytes.size() > size_ - pos_) overflow();
    if (!bytes.empty()) std::memcpy(buffer_.get() + pos_, bytes.data(), bytes.size());
    pos_ += bytes.size();
}

std::vector<uint8_t> StreamWriter::finish() {
    putBe32(buffer_.get(), static_cast<uint32_t>(pos_));
    return std::vector<uint8_t>(buffer_.get(), buffer_.get() + pos_);
}

void StreamWriter::overflow() { raise(kSubscriptOutOfRange, "encoder output past its buffer"); }

StreamReader::StreamReader(std::span<const uint8_t> stream) : data_(stream.data()) {
    if (stream.size() < 4) throw DecodeError{kInputPastEnd, {}};
    std::size_t length = getBe32(stream.data());
    if (length < 4) throw DecodeError{kInvalidCall, {}};
    if (length > stream.size()) throw DecodeError{kInputPastEnd, {}};
    end_ = length;
}

void StreamReader::pastEnd(const DecodePosition& where) { throw DecodeError{kInputPastEnd, where}; }

void sizeDecodedBlock(std::vector<uint8_t>& out, int32_t rows, int32_t rowBytes, const StreamReader& reader,
                      std::size_t maxPerCodeByte) {
    if (rows < 0 || rowBytes < 0) throw DecodeError{kInvalidCall, {}};
    auto size = static_cast<uint64_t>(rows) * static_cast<uint64_t>(rowBytes);
    if (size > static_cast<uint64_t>(reader.remaining()) * maxPerCodeByte) throw DecodeError{kInputPastEnd, {}};
    out.assign(static_cast<std::size_t>(size), 0);
}

}  // namespace mireo
