// Usage text and usage errors (exit status 2).
#pragma once

#include <stdexcept>
#include <string>

namespace mireo::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const char* usageText();

}  // namespace mireo::cli
