#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "files.h"
#include "imaging/library_args.h"
#include "imaging/palettes.h"
#include "imaging/pdb_info.h"
#include "mireocore.h"
#include "usage.h"

namespace fs = std::filesystem;

namespace mireo::cli {

namespace {

// The decoded picture goes to a hidden file beside the output and is
// renamed over it only when the library wrote it without complaint.
class HiddenOutput {
public:
    explicit HiddenOutput(const fs::path& output)
        : path_(output.parent_path() / ("." + output.filename().string() + "." + std::to_string(getpid()) + ".part")) {}
    ~HiddenOutput() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    HiddenOutput(const HiddenOutput&) = delete;
    HiddenOutput& operator=(const HiddenOutput&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

int fail(Console& console, const std::string& subject, const std::vector<std::string>& messages) {
    for (const std::string& message : messages) console.report(subject, message);
    return kExitFailure;
}

}  // namespace

int runOpen(const std::vector<std::string>& args, Console& console) {
    if (args.size() != 2) throw UsageError("open needs INPUT.pdb and OUTPUT.bmp");
    const std::string& input = args[0];
    const fs::path output(args[1]);
    try {
        std::string problem = imaging::backimageTypeProblem(readFileBytes(input));
        if (!problem.empty()) return fail(console, input, {problem});
        if (!output.parent_path().empty() && !fs::is_directory(output.parent_path()))
            return fail(console, input, {"The output folder " + output.parent_path().string() + " does not exist."});

        HiddenOutput hidden(output);
        imaging::Palettes palettes;
        MireoArray grey = palettes.grey16.descriptor(), palm8 = palettes.palm8.descriptor();
        imaging::LibraryString pdbPath(input), bmpPath(hidden.path().string());
        int16_t depth = 0;
        console.setLabel(input);
        ReadVTBI(&grey, &palm8, pdbPath.get(), bmpPath.get(), &depth);
        std::vector<std::string> messages = console.takeMessages();
        if (!messages.empty() || !fs::exists(hidden.path()))
            return fail(console, input, messages.empty() ? std::vector<std::string>{"No picture was decoded."} : messages);
        fs::rename(hidden.path(), output);
        std::printf("%s -> %s (%d bits per pixel)\n", input.c_str(), output.c_str(), depth);
        return kExitSuccess;
    } catch (const std::exception& error) {
        return fail(console, input, {error.what()});
    }
}

}  // namespace mireo::cli
