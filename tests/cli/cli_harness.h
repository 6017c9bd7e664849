// Running mireo-cli as a subprocess, in a scratch folder of its own.
#pragma once

#include <QStringList>
#include <gtest/gtest.h>
#include <map>
#include <string>

#include "pdb_reader.h"
#include "pictures.h"
#include "test_support.h"

namespace mireo::test {

struct CliResult {
    int exitCode = -1;
    std::string out, err;
};

// Runs the tool with `args`; `env` entries are added to (or, with an empty
// value, removed from) the environment; `input` is its standard input.
CliResult runCli(const QStringList& args, const std::map<QString, QString>& env = {},
                 const std::string& input = {});

// Whether `text` holds `part`, showing the text when it does not.
::testing::AssertionResult holds(const std::string& text, const std::string& part);

class CliTest : public ::testing::Test {
protected:
    ScratchDir dir;
    QString path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
    // Quadrants of `width` x `height` saved as `name`; its path.
    QString picture(const std::string& name, int width, int height) {
        return QString::fromStdString(savePicture(quadrants(width, height), dir.file(name)));
    }
    DatabaseFacts facts(const std::string& name) const { return readDatabaseFacts(readFile(dir.file(name))); }
};

}  // namespace mireo::test
