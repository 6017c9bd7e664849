#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "commands.h"
#include "files.h"
#include "imaging/pdb_info.h"
#include "usage.h"

namespace mireo::cli {

namespace {

using imaging::PdbInfo;

QString qs(const std::string& text) { return QString::fromStdString(text); }

QJsonValue timeValue(uint32_t seconds) {
    return seconds == 0 ? QJsonValue() : QJsonValue(qs(imaging::palmTimeText(seconds)));
}

QJsonObject toJson(const std::string& path, const PdbInfo& info) {
    QJsonArray blocks;
    for (const auto& block : info.blocks)
        blocks.append(QJsonObject{{"rows", block.rows},
                                  {"width", block.width},
                                  {"rowBytes", block.rowBytes},
                                  {"depth", block.depth},
                                  {"compression", imaging::compressionName(block.compression)},
                                  {"compressionType", block.compression},
                                  {"uncompressedBytes", static_cast<qint64>(block.uncompressedBytes)},
                                  {"storedBytes", static_cast<qint64>(block.storedBytes)}});
    return QJsonObject{{"file", qs(path)},
                       {"fileSize", static_cast<qint64>(info.fileSize)},
                       {"name", qs(info.name)},
                       {"type", qs(info.type)},
                       {"creator", qs(info.creator)},
                       {"attributes", info.attributes},
                       {"databaseVersion", info.version},
                       {"created", timeValue(info.created)},
                       {"modified", timeValue(info.modified)},
                       {"backedUp", timeValue(info.backedUp)},
                       {"width", static_cast<qint64>(info.width)},
                       {"height", static_cast<qint64>(info.height)},
                       {"depth", static_cast<qint64>(info.depth)},
                       {"formatVersion", info.formatVersion},
                       {"rowBytes", info.rowBytes},
                       {"density", info.density},
                       {"totalDataBytes", static_cast<qint64>(info.totalDataBytes)},
                       {"blocks", blocks}};
}

std::string timeText(uint32_t seconds) { return seconds == 0 ? "never" : imaging::palmTimeText(seconds); }

void printText(const std::string& path, const PdbInfo& info) {
    std::printf("File:            %s (%llu bytes)\n", path.c_str(), static_cast<unsigned long long>(info.fileSize));
    std::printf("Name:            %s\n", info.name.c_str());
    std::printf("Type / creator:  %s / %s\n", info.type.c_str(), info.creator.c_str());
    std::printf("Created:         %s\n", timeText(info.created).c_str());
    std::printf("Modified:        %s\n", timeText(info.modified).c_str());
    std::printf("Backed up:       %s\n", timeText(info.backedUp).c_str());
    std::printf("Picture:         %u x %u, %u bits per pixel\n", info.width, info.height, info.depth);
    std::printf("Format version:  %u\n", info.formatVersion);
    std::printf("Row bytes:       %u\n", info.rowBytes);
    std::printf("Data bytes:      %u\n", info.totalDataBytes);
    std::printf("Blocks:          %zu\n", info.blocks.size());
    for (std::size_t k = 0; k < info.blocks.size(); ++k) {
        const auto& block = info.blocks[k];
        std::printf("  %3zu: %4d rows, %-8s %6u -> %6u bytes\n", k + 1, block.rows,
                    imaging::compressionName(block.compression), block.uncompressedBytes, block.storedBytes);
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
        PdbInfo info = imaging::readPdbInfo(readFileBytes(inputs[0]));
        if (json)
            std::fputs(QJsonDocument(toJson(inputs[0], info)).toJson(QJsonDocument::Indented).constData(), stdout);
        else
            printText(inputs[0], info);
        return kExitSuccess;
    } catch (const std::exception& error) {
        console.report(inputs[0], error.what());
        return kExitFailure;
    }
}

}  // namespace mireo::cli
