// Unpacking of the caller's arguments: array descriptors, strings and
// integers passed by reference.  Every access is bounds-checked and raises
// a run-time error instead of reading outside the caller's memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "mireocore.h"

namespace mireo {

struct ByteView {
    const uint8_t* data = nullptr;
    std::size_t size = 0;
};

// All bytes of an array, whatever its element size and shape.
ByteView bytesOf(const MireoArray* array);

// A palette table indexed (entry, channel) as the caller indexes it, the
// entry varying fastest in memory, single-precision elements.
class PaletteView {
public:
    explicit PaletteView(const MireoArray* array);
    int32_t firstEntry() const { return lowEntry_; }
    int32_t lastEntry() const { return lowEntry_ + entries_ - 1; }
    float at(int32_t entry, int32_t channel) const;

private:
    const float* data_;
    int32_t entries_, channels_, lowEntry_, lowChannel_;
};

std::string textOf(const MireoString* text);

[[noreturn]] void throwMissingArgument();

// The value behind an integer passed by reference.
template <class T>
T valueOf(const T* argument) {
    if (!argument) throwMissingArgument();
    return *argument;
}

}  // namespace mireo
