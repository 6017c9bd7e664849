// Standard input and output as a picture source and a database sink.
#pragma once

#include <QByteArray>
#include <filesystem>

namespace mireo::cli {

// All of standard input; throws std::system_error when it cannot be read.
QByteArray readStandardInput();

bool standardOutputIsTerminal();

// Writes the whole file to standard output; throws std::system_error.
void copyToStandardOutput(const std::filesystem::path& file);

}  // namespace mireo::cli
