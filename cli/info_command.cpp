#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <optional>

#include "commands.h"
#include "errors.h"
#include "imaging/names.h"
#include "database_check.h"
#include "plain_words.h"
#include "palm_time.h"
#include "pdb_reader.h"
#include "usage.h"

namespace mireo::cli {

namespace {

struct PdbInfo {
    DatabaseFacts facts;
    uint64_t fileSize = 0;
};

QString qs(const std::string& text) { return QString::fromStdString(text); }

// "1904-01-01T00:00:00": a database time is the wall-clock time of the
// machine that wrote it, without a time zone.
std::string palmTimeText(uint32_t seconds) {
    CivilTime t = civilTimeOf(seconds);
    char text[80];  // room for any field width, so the compiler can prove nothing is cut
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

const char* compressionName(int type) {
    switch (type) {
        case 0: return "none";
        case 1: return "scanline";
        case 2: return "RLE";
        case 3: return "PackBits";
    }
    return "unknown";
}

QJsonValue timeValue(uint32_t seconds) {
    return seconds == 0 ? QJsonValue() : QJsonValue(qs(palmTimeText(seconds)));
}

QJsonObject toJson(const std::string& path, const PdbInfo& pdb) {
    const DatabaseFacts& info = pdb.facts;
    QJsonArray blocks;
    for (const auto& block : info.blocks)
        blocks.append(QJsonObject{{"rows", block.rows},
                                  {"width", block.width},
                                  {"rowBytes", block.rowBytes},
                                  {"depth", block.depth},
                                  {"compression", compressionName(block.compression)},
                                  {"compressionType", block.compression},
                                  {"uncompressedBytes", static_cast<qint64>(block.uncompressedBytes)},
                                  {"storedBytes", static_cast<qint64>(block.storedBytes)}});
    return QJsonObject{{"file", qs(path)},
                       {"fileSize", static_cast<qint64>(pdb.fileSize)},
                       {"name", imaging::palmNameText(info.name)},
                       {"type", qs(info.type)},
                       {"creator", qs(info.creator)},
                       {"attributes", info.attributes},
                       {"databaseVersion", info.version},
                       {"created", timeValue(info.created)},
                       {"modified", timeValue(info.modified)},
                       {"backedUp", timeValue(info.backedUp)},
                       {"width", static_cast<qint64>(info.image.width)},
                       {"height", static_cast<qint64>(info.image.height)},
                       {"depth", static_cast<qint64>(info.image.depth)},
                       {"formatVersion", info.image.version},
                       {"rowBytes", info.image.rowBytes},
                       {"density", info.image.density},
                       {"totalDataBytes", static_cast<qint64>(info.image.totalBytes)},
                       {"blocks", blocks}};
}

std::string timeText(uint32_t seconds) { return seconds == 0 ? "never" : palmTimeText(seconds); }

void printText(const std::string& path, const PdbInfo& pdb) {
    const DatabaseFacts& info = pdb.facts;
    std::printf("File:            %s (%llu bytes)\n", path.c_str(), static_cast<unsigned long long>(pdb.fileSize));
    std::printf("Name:            %s\n", imaging::palmNameText(info.name).toUtf8().constData());
    std::printf("Type / creator:  %s / %s\n", info.type.c_str(), info.creator.c_str());
    std::printf("Created:         %s\n", timeText(info.created).c_str());
    std::printf("Modified:        %s\n", timeText(info.modified).c_str());
    std::printf("Backed up:       %s\n", timeText(info.backedUp).c_str());
    std::printf("Picture:         %u x %u, %u bits per pixel\n", info.image.width, info.image.height, info.image.depth);
    std::printf("Format version:  %u\n", info.image.version);
    std::printf("Row bytes:       %u\n", info.image.rowBytes);
    std::printf("Data bytes:      %u\n", info.image.totalBytes);
    std::printf("Blocks:          %zu\n", info.blocks.size());
    for (std::size_t k = 0; k < info.blocks.size(); ++k) {
        const auto& block = info.blocks[k];
        std::printf("  %3zu: %4u rows, %-8s %6u -> %6zu bytes\n", k + 1, block.rows, compressionName(block.compression),
                    block.uncompressedBytes, block.storedBytes);
    }
}

}  // namespace

int runInfo(const std::vector<std::string>& args, Console& console) {
    std::vector<std::string> inputs;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(usageText(), stdout);
            return kExitSuccess;
        }
        if (arg == "--json") json = true;
        else if (arg.starts_with("-") && arg.size() > 1) throw UsageError("unknown option '" + arg + "'");
        else inputs.push_back(arg);
    }
    if (inputs.size() != 1) throw UsageError("info needs one INPUT.pdb");
    const std::string& input = inputs[0];
    try {
        std::vector<uint8_t> file = readInputFile(input);
        // The facts the header gives are shown even when the database turns
        // out unsound; the problem follows them.
        std::optional<PdbInfo> info;
        try {
            info = PdbInfo{readDatabaseFacts(file), file.size()};
        } catch (const RuntimeError&) {
        }
        std::string problem = databaseProblem(file);
        if (info) {
            if (json) std::fputs(QJsonDocument(toJson(input, *info)).toJson(QJsonDocument::Indented).constData(), stdout);
            else printText(input, *info);
            std::fflush(stdout);
        }
        if (problem.empty()) return kExitSuccess;
        throw Failure{input, problem};
    } catch (const Failure& failure) {
        console.report(failure.file, failure.what);
        return kExitFailure;
    }
}

}  // namespace mireo::cli
