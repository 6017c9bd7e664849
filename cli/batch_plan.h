// The plan of a batch: for each input, in order, where its database (and
// its preview) go, or why it is refused before any picture is read.  Made
// in one process before any conversion starts, so that a parallel batch
// refuses the same inputs as a serial one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert_options.h"

namespace mireo::cli {

struct Job {
    std::string input;   // a path, or "-" for standard input
    std::string output;  // a path, or "-" for standard output
    std::optional<std::string> preview;
    std::string refusal;  // not empty: the input is refused with this message
    std::string refusalFile;  // the file the refusal concerns
};

// Throws UsageError for choices that fit no input (a preview file for
// several inputs, standard output on a terminal).
std::vector<Job> planBatch(const ConvertOptions& options);

}  // namespace mireo::cli
