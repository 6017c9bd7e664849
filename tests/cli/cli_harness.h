// Running mireo-cli as a subprocess, and pictures of known content.
#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>
#include <map>
#include <string>
#include <vector>

namespace mireo::test {

struct CliResult {
    int exitCode = -1;
    std::string out, err;
};

// Runs the tool with `args`; `env` entries are added to (or, with an empty
// value, removed from) the environment.
CliResult runCli(const QStringList& args, const std::map<QString, QString>& env = {});

// A picture whose four quadrants are red (top left), green (top right),
// blue (bottom left) and yellow (bottom right).
QImage quadrants(int width, int height);

// Saves `picture` (format from the extension) and returns the path.
std::string savePicture(const QImage& picture, const std::string& path);

inline const QColor kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};

}  // namespace mireo::test
