// File access of the library.  Every failure raises a run-time error.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mireo {

// True when the attributes of the path can be read (a file or folder exists).
bool fileExists(const std::string& path);

// Deletes a file that is about to be replaced, if it exists.
void deleteIfExists(const std::string& path);

std::vector<uint8_t> readWholeFile(const std::string& path);

// Writes the parts one after the other into a temporary file beside the
// target and renames it over the target, so that no partial file ever
// stands under its name; a device or pipe gets the bytes directly.  Write
// errors (disk full, size limits) raise.
void writeFileAtomic(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts);

}  // namespace mireo
