#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "database_picture.h"
#include "files.h"
#include "imaging/backimage_type.h"
#include "usage.h"

namespace fs = std::filesystem;

namespace mireo::cli {

namespace {

int fail(Console& console, const std::string& subject, const std::vector<std::string>& messages) {
    for (const std::string& message : messages) console.report(subject, message);
    return kExitFailure;
}

}  // namespace

int runOpen(const std::vector<std::string>& args, Console& console) {
    if (args.size() != 2) throw UsageError("open needs INPUT.pdb and OUTPUT.bmp or OUTPUT.png");
    const std::string& input = args[0];
    const fs::path output(args[1]);
    try {
        std::string problem = imaging::backimageTypeProblem(readFileBytes(input));
        if (!problem.empty()) return fail(console, input, {problem});
        if (!output.parent_path().empty() && !fs::is_directory(output.parent_path()))
            return fail(console, input, {"The output folder " + output.parent_path().string() + " does not exist."});

        // The decoded picture is renamed over the output only when the
        // library wrote it without complaint.
        console.setLabel(input);
        std::optional<int> depth = savePictureOf(input, output, console);
        std::vector<std::string> messages = console.takeMessages();
        if (!depth)
            return fail(console, input, messages.empty() ? std::vector<std::string>{"No picture was decoded."} : messages);
        std::printf("%s -> %s (%d bits per pixel)\n", input.c_str(), output.c_str(), *depth);
        return kExitSuccess;
    } catch (const std::exception& error) {
        return fail(console, input, {error.what()});
    }
}

}  // namespace mireo::cli
