// Arguments in the form the library's exports take them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mireocore.h"

namespace mireo::imaging {

// A string argument that owns its text; `capacity` leaves room that the
// library may fill (the database name comes back padded to 32).
class LibraryString {
public:
    explicit LibraryString(std::string text, std::size_t capacity = 0);
    LibraryString(const LibraryString&) = delete;
    LibraryString& operator=(const LibraryString&) = delete;
    MireoString* get() { return &arg_; }

private:
    std::string buffer_;
    MireoString arg_{};
};

MireoArray byteArrayOf(std::vector<uint8_t>& bytes);

}  // namespace mireo::imaging
