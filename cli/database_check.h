// The checks a file passes before `open` decodes it and `info` calls it
// sound: a background-image database (type BmpL, creator VTCR) whose
// picture decodes whole.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mireo::cli {

// Empty when the database decodes whole; else why not, in plain words.
std::string databaseProblem(std::span<const uint8_t> file);

// The whole file; throws Failure (plain_words.h) with the reason.
std::vector<uint8_t> readInputFile(const std::string& path);

}  // namespace mireo::cli
