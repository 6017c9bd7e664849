#include "convert_options.h"

#include <sched.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <thread>
#include <functional>
#include <map>

#include "usage.h"

namespace mireo::cli {

namespace {

using imaging::FitMode;
using imaging::PixelSize;

constexpr int32_t kMaxJobs = 64;

int32_t numberIn(const std::string& option, const std::string& text, int32_t low, int32_t high) {
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        throw UsageError(option + " must be a number from " + std::to_string(low) + " to " + std::to_string(high) +
                         ", not '" + text + "'");
    return value;
}

void applySize(ConvertOptions& options, const std::string& text) {
    if (text == "keep") {
        options.sizeRule = SizeRule::Keep;
        return;
    }
    auto size = imaging::parseSize(text);
    if (!size) throw UsageError("unknown size '" + text + "'; use " + imaging::standardSizeList() + ", WxH or keep");
    if (!imaging::isStandardSize(*size)) {
        std::string problem = imaging::customSizeProblem(*size);
        if (!problem.empty()) throw UsageError(text + ": " + problem);
    }
    options.sizeRule = SizeRule::Fixed;
    options.size = *size;
}

FitMode fitNamed(const std::string& text) {
    if (text == "crop") return FitMode::Crop;
    if (text == "pad") return FitMode::Pad;
    if (text == "stretch") return FitMode::Stretch;
    throw UsageError("unknown fit '" + text + "'; use crop, pad or stretch");
}

QColor colourNamed(const std::string& given) {
    const std::string text = given.starts_with("#") ? given.substr(1) : given;  // "#FF0000" as on the web
    bool hex = text.size() == 6 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    if (!hex) throw UsageError("border colour must be six hexadecimal digits RRGGBB, not '" + given + "'");
    unsigned rgb = static_cast<unsigned>(std::stoul(text, nullptr, 16));
    return QColor(static_cast<int>(rgb >> 16), static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb & 0xFF));
}

using Setter = std::function<void(ConvertOptions&, const std::string&)>;

const std::map<std::string, Setter>& valueOptions() {
    static const std::map<std::string, Setter> options{
        {"--output", [](ConvertOptions& o, const std::string& v) { o.output = v; }},
        {"--dir", [](ConvertOptions& o, const std::string& v) { o.dir = v; }},
        {"--size", applySize},
        {"--fit", [](ConvertOptions& o, const std::string& v) { o.fit = fitNamed(v); }},
        {"--border", [](ConvertOptions& o, const std::string& v) { o.border = colourNamed(v); }},
        {"--depth",
         [](ConvertOptions& o, const std::string& v) {
             if (v != "16" && v != "8" && v != "4") throw UsageError("depth must be 16, 8 or 4, not '" + v + "'");
             o.depth = std::stoi(v);
         }},
        {"--method",
         [](ConvertOptions& o, const std::string& v) {
             if (v == "diffused") o.method = imaging::Method::Diffused;
             else if (v == "nearest") o.method = imaging::Method::Nearest;
             else throw UsageError("unknown method '" + v + "'; use diffused or nearest");
         }},
        {"--block1",
         [](ConvertOptions& o, const std::string& v) {
             o.block1 = numberIn("--block1", v, imaging::kMinBlock1Size, imaging::kMaxBlockSize);
         }},
        {"--block2",
         [](ConvertOptions& o, const std::string& v) {
             o.block2 = numberIn("--block2", v, imaging::kMinBlock2Size, imaging::kMaxBlockSize);
         }},
        {"--name", [](ConvertOptions& o, const std::string& v) { o.name = v; }},
        {"--preview", [](ConvertOptions& o, const std::string& v) { o.preview = v; }},
        {"--jobs",
         [](ConvertOptions& o, const std::string& v) {
             o.jobs = static_cast<std::size_t>(numberIn("--jobs", v, 1, kMaxJobs));
         }},
    };
    return options;
}

std::string longName(const std::string& option) {
    static const std::map<std::string, std::string> shortNames{
        {"-o", "--output"}, {"-d", "--dir"},    {"-s", "--size"}, {"-f", "--fit"},
        {"-b", "--depth"},  {"-m", "--method"}, {"-n", "--name"}, {"-c", "--compress"},
        {"-j", "--jobs"}};
    auto found = shortNames.find(option);
    return found == shortNames.end() ? option : found->second;
}

// An output name that ends like a picture file is a mistake: the output is
// always a database.
bool namesPictureFile(const std::string& output) {
    std::string extension = std::filesystem::path(output).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* picture : {".png", ".bmp", ".gif", ".jpg", ".jpeg", ".jpe", ".jfif", ".tif", ".tiff", ".webp",
                                ".ppm", ".pgm", ".pnm", ".xpm", ".ico", ".svg"})
        if (extension == picture) return true;
    return false;
}

}  // namespace

std::size_t availableProcessors() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return static_cast<std::size_t>(std::max(1, CPU_COUNT(&set)));
    return std::max<std::size_t>(1, std::thread::hardware_concurrency());
}

ConvertOptions parseConvertOptions(const std::vector<std::string>& args) {
    ConvertOptions options;
    options.jobs = std::min<std::size_t>(availableProcessors(), kMaxJobs);
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {  // "-" alone is standard input
            options.inputs.push_back(arg);
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.helpAsked = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // A short option may carry its value: -j4, -s160x160.
        if (!arg.starts_with("--") && arg.size() > 2 && valueOptions().count(longName(arg.substr(0, 2))) != 0) {
            valueOptions().at(longName(arg.substr(0, 2)))(options, arg.substr(2));
            continue;
        }
        auto equals = arg.find('=');
        bool inlineValue = arg.starts_with("--") && equals != std::string::npos;
        std::string name = longName(inlineValue ? arg.substr(0, equals) : arg);
        if (name == "--compress" && !inlineValue) {
            options.compress = true;
            continue;
        }
        auto setter = valueOptions().find(name);
        if (setter == valueOptions().end()) throw UsageError("unknown option '" + arg + "'");
        if (!inlineValue && i + 1 == args.size()) throw UsageError("option '" + arg + "' needs a value");
        setter->second(options, inlineValue ? arg.substr(equals + 1) : args[++i]);
    }
    if (options.helpAsked) return options;
    if (options.inputs.empty()) throw UsageError("convert needs at least one input picture");
    if (options.output && namesPictureFile(*options.output))
        throw UsageError("the output of convert is a .pdb database, not '" + *options.output +
                         "'; use --preview for a picture");
    if (options.output && options.inputs.size() > 1) throw UsageError("--output takes one input only; use --dir");
    if (options.output && options.dir) throw UsageError("--output and --dir cannot be used together");
    if (std::count(options.inputs.begin(), options.inputs.end(), kStandardStream) > 0 && options.inputs.size() > 1)
        throw UsageError("standard input (-) can only be converted on its own");
    return options;
}

}  // namespace mireo::cli
