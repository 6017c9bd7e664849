// Standard input and output as a picture source and a database sink.
#pragma once

#include <QByteArray>
#include <filesystem>
#include <string>

namespace mireo::cli {

// All of standard input; throws std::system_error when it cannot be read.
QByteArray readStandardInput();

bool standardOutputIsTerminal();

// True for "-" and for any path that leads to what standard output is
// (/dev/stdout, /proc/self/fd/1, the file or pipe it was redirected to).
bool isStandardOutput(const std::string& path);

// Writes the whole file to standard output; throws std::system_error.
void copyToStandardOutput(const std::filesystem::path& file);

}  // namespace mireo::cli
