// Running mireo-cli as a subprocess.
#pragma once

#include <QStringList>
#include <map>
#include <string>

#include "pictures.h"

namespace mireo::test {

struct CliResult {
    int exitCode = -1;
    std::string out, err;
};

// Runs the tool with `args`; `env` entries are added to (or, with an empty
// value, removed from) the environment; `input` is its standard input.
CliResult runCli(const QStringList& args, const std::map<QString, QString>& env = {},
                 const std::string& input = {});

}  // namespace mireo::test
