#include "database_check.h"

#include "errors.h"
#include "files.h"
#include "imaging/backimage_type.h"
#include "imaging/palettes.h"
#include "pdb_format.h"
#include "pdb_reader.h"
#include "plain_words.h"

namespace mireo::cli {

namespace {

// Type and creator are named only when they look like the four letters
// they are meant to be (another Palm database), not in any other file.
std::string typeProblem(std::span<const uint8_t> file) {
    if (imaging::backimageTypeProblem(file).empty()) return {};
    const std::string problem = "not a background-image database";
    if (file.size() < imaging::kBackimageTypeEnd) return problem;
    std::string type(file.begin() + 60, file.begin() + 64), creator(file.begin() + 64, file.begin() + 68);
    for (char c : type + creator)
        if (c < 0x20 || c > 0x7E) return problem;
    return problem + ": its type and creator are " + type + " / " + creator + ", not BmpL / VTCR";
}

std::string readProblem(const RuntimeError& error) {
    if (error.number == kInputPastEnd) return "damaged database: the file ends too early (" + error.detail + ")";
    return "damaged database: " + error.detail;
}

}  // namespace

std::string databaseProblem(std::span<const uint8_t> file) {
    if (std::string problem = typeProblem(file); !problem.empty()) return problem;
    try {
        ImageRecord record = readImageRecord(file);
        if (record.version == kObsoleteFormatVersion)
            return "the picture is in the obsolete version 1 format, which cannot be read";
        if (record.version != kImageFormatVersion)
            return "unknown picture format version " + std::to_string(record.version);
        imaging::Palettes palettes;
        MireoArray grey = palettes.grey16.descriptor(), palm8 = palettes.palm8.descriptor();
        decodePicture(file, record, &grey, &palm8);
        return {};
    } catch (const RuntimeError& error) {
        return readProblem(error);
    } catch (const BlockDecodeFailure&) {
        return "damaged database: a block of the picture does not decode";
    }
}

std::vector<uint8_t> readInputFile(const std::string& path) {
    if (std::optional<std::string> problem = unreadableInput(path)) throw Failure{path, *problem};
    try {
        return readWholeFile(path);
    } catch (const RuntimeError& error) {
        throw Failure{path, "cannot be read: " + libraryErrorWords(error.number)};
    }
}

}  // namespace mireo::cli
