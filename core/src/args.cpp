#include "args.h"

#include <cstdint>
#include <cstring>

#include "errors.h"

namespace mireo {

void throwMissingArgument() { raise(kInvalidCall, "missing argument"); }

ByteView bytesOf(const MireoArray* array) {
    if (!array || array->dims < 1 || array->dims > 2 || array->elementSize <= 0) raise(kInvalidCall, "bad array");
    std::size_t elements = 1;
    for (int d = 0; d < array->dims; ++d) {
        if (array->count[d] < 0) raise(kSubscriptOutOfRange, "negative count");
        elements *= static_cast<std::size_t>(array->count[d]);
    }
    std::size_t size = elements * static_cast<std::size_t>(array->elementSize);
    if (size > 0 && !array->data) raise(kInvalidCall, "array without data");
    return {static_cast<const uint8_t*>(array->data), size};
}

PaletteView::PaletteView(const MireoArray* array) {
    if (!array || array->dims != 2 || array->elementSize != 4 || !array->data) raise(kSubscriptOutOfRange, "bad palette");
    if (array->count[0] <= 0 || array->count[1] <= 0) raise(kSubscriptOutOfRange, "empty palette");
    data_ = static_cast<const float*>(array->data);
    entries_ = array->count[0];
    channels_ = array->count[1];
    lowEntry_ = array->lowerBound[0];
    lowChannel_ = array->lowerBound[1];
    // The last index of each dimension must itself be a 32-bit index.
    if (int64_t{lowEntry_} + entries_ - 1 > INT32_MAX || int64_t{lowChannel_} + channels_ - 1 > INT32_MAX)
        raise(kSubscriptOutOfRange, "palette bounds");
}

float PaletteView::at(int32_t entry, int32_t channel) const {
    int64_t e = int64_t{entry} - lowEntry_;
    int64_t c = int64_t{channel} - lowChannel_;
    if (e < 0 || e >= entries_ || c < 0 || c >= channels_) raise(kSubscriptOutOfRange, "palette index");
    float value;
    std::memcpy(&value, data_ + c * entries_ + e, sizeof value);
    return value;
}

std::string textOf(const MireoString* text) {
    if (!text) raise(kInvalidCall, "missing string");
    if (text->length <= 0) return {};
    if (!text->text || (text->capacity > 0 && text->length > text->capacity)) raise(kInvalidCall, "bad string");
    return std::string(text->text, static_cast<std::size_t>(text->length));
}

}  // namespace mireo
