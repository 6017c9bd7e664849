// The stream frame shared by the codecs: a writer into an output buffer
// sized in advance for the worst case, and a bounds-checked reader over a
// stream's content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "codecs.h"
#include "errors.h"

namespace mireo {

// Validates an encoder's block: non-negative sizes and at least
// rows x rowBytes bytes.  Returns rows x rowBytes.
std::size_t checkedBlockSize(std::span<const uint8_t> block, int32_t rows, int32_t rowBytes);

// Collects one encoded stream.  The buffer has room for the length field and
// `capacity` code bytes; writing more raises (the sizing guarantees it never
// happens, but a fault must not write past the buffer).
class StreamWriter {
public:
    explicit StreamWriter(std::size_t capacity);
    void put(uint8_t byte) {
        if (pos_ == size_) overflow();
        buffer_[pos_++] = byte;
    }
    void put(std::span<const uint8_t> bytes);
    // Reserves one byte to be filled later with `patch`.
    std::size_t reserve() {
        put(0);
        return pos_ - 1;
    }
    void patch(std::size_t at, uint8_t byte) { buffer_[at] = byte; }
    // Room for up to `most` bytes, written in place; commit(n) keeps the
    // first n of them.
    uint8_t* room(std::size_t most) {
        if (size_ - pos_ < most) overflow();
        return buffer_.get() + pos_;
    }
    void commit(std::size_t n) { pos_ += n; }
    // Cuts the buffer to the bytes used and writes the length field.
    std::vector<uint8_t> finish();

private:
    [[noreturn]] static void overflow();
    std::unique_ptr<uint8_t[]> buffer_;
    std::size_t size_ = 0;
    std::size_t pos_ = 4;
};

// Reads a stream's codes after its length field.  Every read is checked
// against the end that the length field gives.
class StreamReader {
public:
    // Throws DecodeError for a length field that is too short to be one or
    // larger than `stream`.
    explicit StreamReader(std::span<const uint8_t> stream);
    std::size_t remaining() const { return end_ - pos_; }
    std::size_t consumed() const { return pos_; }
    // Throws DecodeError{kInputPastEnd, where} past the end.
    uint8_t get(const DecodePosition& where = {}) {
        if (pos_ == end_) pastEnd(where);
        return data_[pos_++];
    }

private:
    [[noreturn]] static void pastEnd(const DecodePosition& where);
    const uint8_t* data_;
    std::size_t pos_ = 4, end_;
};

// Sizes a decoder's output to rows x rowBytes after checking the sizes and
// that codes expanding to at most `maxPerCodeByte` bytes each could fill it
// from what remains of the stream.
void sizeDecodedBlock(std::vector<uint8_t>& out, int32_t rows, int32_t rowBytes, const StreamReader& reader,
                      std::size_t maxPerCodeByte);

}  // namespace mireo
