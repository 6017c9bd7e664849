#include "imaging/sizes.h"

#include <algorithm>
#include <charconv>

namespace mireo::imaging {

bool isStandardSize(PixelSize size) {
    return std::find(kStandardSizes.begin(), kStandardSizes.end(), size) != kStandardSizes.end();
}

std::string sizeName(PixelSize size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::string sizeText(PixelSize size) { return std::to_string(size.width) + " x " + std::to_string(size.height); }

std::string standardSizeList() {
    std::string list;
    for (PixelSize size : kStandardSizes) {
        if (!list.empty()) list += ", ";
        list += sizeName(size);
    }
    return list;
}

namespace {

std::optional<int> parsePositive(std::string_view digits) {
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || value <= 0)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<PixelSize> parseSize(std::string_view text) {
    auto cut = text.find_first_of("xX");
    if (cut == std::string_view::npos) return std::nullopt;
    auto width = parsePositive(text.substr(0, cut));
    auto height = parsePositive(text.substr(cut + 1));
    if (!width || !height) return std::nullopt;
    return PixelSize{*width, *height};
}

std::string importSizeProblem(PixelSize size) {
    if (size.width > kMaxImportSide || size.height > kMaxImportSide) return "Image is to large to process!";
    if (size.width < kMinImportSide || size.height < kMinImportSide) return "Image is to small to process!";
    return {};
}

std::string toolSizeProblem(PixelSize size) {
    const std::string stated = sizeText(size);
    if (size.width > kMaxToolSide || size.height > kMaxToolSide ||
        static_cast<long long>(size.width) * size.height > kMaxToolPixels)
        return "picture too large: " + stated + " (the limit is " + std::to_string(kMaxToolSide) +
               " pixels a side and " + std::to_string(kMaxToolPixels / 1'000'000) + " megapixels)";
    if (size.width < kMinImportSide || size.height < kMinImportSide)
        return "picture too small: " + stated + " (the limit is " + std::to_string(kMinImportSide) +
               " pixels a side)";
    return {};
}

std::string customSizeProblem(PixelSize size) {
    if (size.width < kMinCustomSide) return "Width is too small.";
    if (size.height < kMinCustomSide) return "Height is too small.";
    if (size.width > kMaxCustomSide) return "Width is too large.";
    if (size.height > kMaxCustomSide) return "Height is too large.";
    if (size.width > 2 * size.height || size.height > 2 * size.width)
        return "Incorrect aspect ratio! Must be less then 2:1.";
    return {};
}

}  // namespace mireo::imaging
