#include "imaging/library_args.h"

#include <algorithm>

namespace mireo::imaging {

LibraryString::LibraryString(std::string text, std::size_t capacity) : buffer_(std::move(text)) {
    arg_.length = static_cast<int32_t>(buffer_.size());
    buffer_.resize(std::max(capacity, buffer_.size()) + 1, '\0');
    arg_.text = buffer_.data();
    arg_.capacity = static_cast<int32_t>(buffer_.size() - 1);
}

MireoArray byteArrayOf(std::vector<uint8_t>& bytes) {
    MireoArray array{};
    array.data = bytes.data();
    array.dims = 1;
    array.elementSize = 1;
    array.count[0] = static_cast<int32_t>(bytes.size());
    array.lowerBound[0] = 1;
    return array;
}

}  // namespace mireo::imaging
