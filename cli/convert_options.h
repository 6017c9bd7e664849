// The options of `mireo-cli convert`.
#pragma once

#include <QColor>
#include <optional>
#include <string>
#include <vector>

#include "imaging/build_pdb.h"
#include "imaging/fit.h"
#include "imaging/reduce.h"
#include "imaging/sizes.h"

namespace mireo::cli {

enum class SizeRule {
    StandardOnly,  // no --size: a standard picture keeps its size, others are refused
    Fixed,         // --size with a standard name or WxH
    Keep,          // --size keep: the picture's own size, under the custom-size rules
};

struct ConvertOptions {
    std::vector<std::string> inputs;
    std::optional<std::string> output;
    std::optional<std::string> dir;
    SizeRule sizeRule = SizeRule::StandardOnly;
    imaging::PixelSize size;
    imaging::FitMode fit = imaging::FitMode::Crop;
    QColor border{255, 255, 255};
    int depth = 16;
    imaging::Method method = imaging::Method::Diffused;
    bool compress = false;
    int32_t block1 = imaging::kDefaultBlock1Size;
    int32_t block2 = imaging::kDefaultBlock2Size;
    std::optional<std::string> name;
    // A PNG file (one input) or an existing folder for the previews of the
    // pictures as the databases hold them.
    std::optional<std::string> preview;
    std::size_t jobs = 1;  // inputs converted at once, each in a process of its own
    bool helpAsked = false;  // --help among the options: print the usage, convert nothing
};

// "-" as an input or output: standard input or output.
inline constexpr const char* kStandardStream = "-";

// The processors this process may run on.
std::size_t availableProcessors();

// Throws UsageError with the reason for anything it cannot accept.
ConvertOptions parseConvertOptions(const std::vector<std::string>& args);

}  // namespace mireo::cli
