// The three commands; each returns the exit status.
#pragma once

#include <string>
#include <vector>

#include "console.h"

namespace mireo::cli {

int runConvert(const std::vector<std::string>& args, Console& console);
int runOpen(const std::vector<std::string>& args, Console& console);
int runInfo(const std::vector<std::string>& args, Console& console);

}  // namespace mireo::cli
