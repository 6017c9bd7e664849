// The test that a file is a background-image database before it is
// handed to the reader: type "BmpL" at bytes 60 to 63, creator "VTCR" at
// 64 to 67.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace mireo::imaging {

inline constexpr std::size_t kBackimageTypeEnd = 68;  // bytes the test reads

// Empty when the file is of type "BmpL" and creator "VTCR", otherwise the
// message for the first field that does not fit.  A file too short to hold
// both fields is not a backimage.
std::string backimageTypeProblem(std::span<const uint8_t> head);

}  // namespace mireo::imaging
