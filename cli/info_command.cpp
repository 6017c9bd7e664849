#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "commands.h"
#include "errors.h"
#include "files.h"
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

// The reader's reason in a sentence.
std::string problemText(const RuntimeError& error) {
    if (error.number == kInputPastEnd) return "The file ends inside the " + error.detail + ".";
    return "The database is damaged: " + error.detail + ".";
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
                       {"name", qs(info.name)},
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
    std::printf("Name:            %s\n", info.name.c_str());
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
        if (arg == "--json") json = true;
        else if (arg.starts_with("-") && arg.size() > 1) throw UsageError("unknown option '" + arg + "'");
        else inputs.push_back(arg);
    }
    if (inputs.size() != 1) throw UsageError("info needs one INPUT.pdb");
    try {
        std::vector<uint8_t> file = readFileBytes(inputs[0]);
        PdbInfo info{readDatabaseFacts(file), file.size()};
        if (json)
            std::fputs(QJsonDocument(toJson(inputs[0], info)).toJson(QJsonDocument::Indented).constData(), stdout);
        else
            printText(inputs[0], info);
        return kExitSuccess;
    } catch (const RuntimeError& error) {
        console.report(inputs[0], problemText(error));
        return kExitFailure;
    } catch (const std::exception& error) {
        console.report(inputs[0], error.what());
        return kExitFailure;
    }
}

}  // namespace mireo::cli
