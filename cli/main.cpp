// mireo-cli: pictures to Palm OS background-image databases and back.
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands.h"
#include "console.h"
#include "picture_problems.h"
#include "imaging/temporary_paths.h"
#include "usage.h"

using namespace mireo::cli;

namespace {

int dispatch(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("no command given");
    const std::string& command = args[0];
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h") {
        std::fputs(usageText(), stdout);
        return kExitSuccess;
    }
    if (command == "--version") {
        std::printf("mireo-cli %s\n", MIREO_VERSION);
        return kExitSuccess;
    }
    Console console;
    if (command == "convert") return runConvert(rest, console);
    if (command == "open") return runOpen(rest, console);
    if (command == "info") return runInfo(rest, console);
    throw UsageError("unknown command '" + command + "'");
}

// Everything of ours is written, closed and removed when a command returns,
// so the process ends at once instead of tearing down Qt and its forty-odd
// libraries, which takes a millisecond or two of every conversion.  Under
// the address sanitizer it ends through exit(), so that the leak check runs.
[[noreturn]] void endProcess(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
#if defined(__SANITIZE_ADDRESS__)
    std::exit(status);
#else
    ::_exit(status);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    mireo::imaging::installStopHandlers();
    QCoreApplication application(argc, argv);
    keepQtMessages();
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        endProcess(dispatch(args));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "mireo-cli: %s\nTry 'mireo-cli --help'.\n", error.what());
        endProcess(kExitUsage);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mireo-cli: %s\n", error.what());
        endProcess(kExitFailure);
    }
}
