#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "database_check.h"
#include "database_picture.h"
#include "plain_words.h"
#include "usage.h"

namespace fs = std::filesystem;

namespace mireo::cli {

namespace {

// Why the picture cannot be written to `output`; empty when it can be.
std::string outputProblem(const std::string& input, const fs::path& output) {
    std::error_code ignored;
    if (fs::equivalent(input, output, ignored)) return "the output would replace the input database";
    if (!output.parent_path().empty() && !fs::is_directory(output.parent_path(), ignored))
        return "cannot write the picture: the folder " + output.parent_path().string() + " does not exist";
    return {};
}

int decodeInto(const std::string& input, const fs::path& output, Console& console) {
    std::string problem = databaseProblem(readInputFile(input));
    if (!problem.empty()) throw Failure{input, problem};
    if (std::string refused = outputProblem(input, output); !refused.empty())
        throw Failure{refused.starts_with("cannot") ? output.string() : input, refused};

    // The decoded picture is put under the output only when the library
    // wrote it without complaint.
    console.setLabel(input);
    std::optional<int> depth;
    try {
        depth = savePictureOf(input, output, console);
    } catch (const std::system_error& error) {
        throw Failure{output.string(), "cannot write the picture: " + systemErrorWords(error.code())};
    }
    if (!depth)
        throw Failure{output.string(), "cannot write the picture: " +
                                           libraryFailureWords(console.takeMessages(), "no picture was decoded")};
    return *depth;
}

}  // namespace

int runOpen(const std::vector<std::string>& args, Console& console) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(usageText(), stdout);
        return kExitSuccess;
    }
    if (args.size() != 2) throw UsageError("open needs INPUT.pdb and OUTPUT.bmp or OUTPUT.png");
    const std::string& input = args[0];
    const fs::path output(args[1]);
    try {
        const int depth = decodeInto(input, output, console);
        std::printf("%s -> %s (%d bits per pixel)\n", input.c_str(), output.c_str(), depth);
        return kExitSuccess;
    } catch (const Failure& failure) {
        console.report(failure.file, failure.what);
        return kExitFailure;
    }
}

}  // namespace mireo::cli
