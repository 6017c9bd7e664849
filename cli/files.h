// Small file helpers of the commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mireo::cli {

// The whole file; throws std::runtime_error with the reason.
std::vector<uint8_t> readFileBytes(const std::string& path);

}  // namespace mireo::cli
