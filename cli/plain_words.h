// Failures said in the tool's own terms: one line "mireo-cli: FILE: what
// went wrong" that names the file concerned and says why in plain words,
// whatever part of the tool (the image library, the picture readers, the
// file system) found the fault.
#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace mireo::cli {

struct Failure {
    std::string file;  // the file the failure concerns
    std::string what;
};

// "permission denied", "disk full" ...: the library's error numbers in
// words.
std::string libraryErrorWords(int number);

// The number in a library message ("Error in dll CompilePDB -  70 -
// Permission denied" gives 70); nullopt when it has none.
std::optional<int> libraryErrorNumber(const std::string& message);

// The reason of the first library message that has a number, else the
// first message as it is, else `fallback`.
std::string libraryFailureWords(const std::vector<std::string>& messages, const std::string& fallback);

// An operating-system error in words: "permission denied", "disk full",
// "is a folder", "no such file" ...
std::string systemErrorWords(const std::error_code& error);

// Why `path` cannot be read as an input file, or nullopt when it can.
std::optional<std::string> unreadableInput(const std::string& path);

// A reason with its first letter small and no full stop at its end, for
// the middle of a line.
std::string inLine(std::string reason);

}  // namespace mireo::cli
