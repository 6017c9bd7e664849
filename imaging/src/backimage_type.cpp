#include "imaging/backimage_type.h"

namespace mireo::imaging {

std::string backimageTypeProblem(std::span<const uint8_t> head) {
    auto field = [&](std::size_t at) { return std::string(head.begin() + at, head.begin() + at + 4); };
    if (head.size() < kBackimageTypeEnd || field(60) != "BmpL")
        return "This file doesn't appear to be a valid Vantrel Backimage";
    if (field(64) != "VTCR") return "This file doesn't appear to be a valid Vantrel Background Image";
    return {};
}

}  // namespace mireo::imaging
