// Picture sizes: the Palm screen sizes and the limits on imported pictures
// and custom sizes, with the messages the user sees when a size is refused.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mireo::imaging {

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

inline constexpr std::array<PixelSize, 7> kStandardSizes{{
    {160, 160}, {240, 320}, {320, 320}, {320, 450}, {320, 480}, {480, 320}, {480, 480}}};

inline constexpr int kMinImportSide = 50;
inline constexpr int kMaxImportSide = 4000;
inline constexpr int kMinCustomSide = 50;
inline constexpr int kMaxCustomSide = 600;
inline constexpr int kDefaultCustomSide = 320;

bool isStandardSize(PixelSize size);

// "160x160, 240x320, ..." in the order of kStandardSizes.
std::string standardSizeList();

// "320x480" form.
std::string sizeName(PixelSize size);

// "320 x 480", as messages state a picture's size.
std::string sizeText(PixelSize size);

// Parses "WxH" (also "WXH"); nullopt when it is not two positive numbers.
std::optional<PixelSize> parseSize(std::string_view text);

// Empty when a picture of this size may be imported (50 to 4000 a side),
// else the message: the width is tested before the height, too large
// before too small.
std::string importSizeProblem(PixelSize size);

// The command-line tool takes camera-sized pictures: it decodes large
// ones at a reduced scale.
inline constexpr int kMaxToolSide = 20000;
inline constexpr long long kMaxToolPixels = 200'000'000;

// Empty when the command-line tool takes a picture of this size, else the
// reason with the size and the limit.
std::string toolSizeProblem(PixelSize size);

// Empty when a custom size is acceptable (50 to 600 a side, at most 2:1),
// else the message of the first failing test.
std::string customSizeProblem(PixelSize size);

}  // namespace mireo::imaging
