#include "converter.h"

#include <unistd.h>

#include <QFileInfo>
#include <filesystem>

#include "database_picture.h"
#include "imaging/build_pdb.h"
#include "imaging/linked_library.h"
#include "imaging/load.h"
#include "imaging/names.h"
#include "imaging/reduce.h"
#include "parallel_build.h"
#include "standard_streams.h"

namespace mireo::cli {

namespace {

using imaging::PixelSize;

// A refusal of one input; the batch goes on with the next.
struct InputFailure {
    std::string message;
};

std::string loadError(const imaging::PictureReader& reader) {
    return "Error loading file! (" + reader.errorString().toStdString() + ")";
}

}  // namespace

Converter::Converter(const ConvertOptions& options, Console& console, QByteArray standardInput, bool spareProcessor)
    : options_(options), console_(console), standardInput_(std::move(standardInput)), spareProcessor_(spareProcessor) {
    if (!workDir_.isValid()) throw std::runtime_error("Unable to create a temporary folder.");
}

Outcome Converter::convert(const Job& job) {
    Outcome outcome;
    std::string reason;
    try {
        if (!job.refusal.empty()) throw InputFailure{job.refusal};
        outcome.size = build(job);
        outcome.ok = true;
    } catch (const InputFailure& failure) {
        reason = failure.message;
    } catch (const std::exception& error) {
        reason = error.what();
    }
    outcome.messages = console_.takeMessages();
    if (!reason.empty()) outcome.messages.push_back(reason);
    if (!outcome.ok && outcome.messages.empty()) outcome.messages.push_back("The database could not be written.");
    return outcome;
}

PixelSize Converter::targetFor(PixelSize picture) const {
    switch (options_.sizeRule) {
        case SizeRule::Fixed: return options_.size;
        case SizeRule::Keep: {
            std::string problem = imaging::customSizeProblem(picture);
            if (!problem.empty()) throw InputFailure{problem};
            return picture;
        }
        case SizeRule::StandardOnly: break;
    }
    if (!imaging::isStandardSize(picture))
        throw InputFailure{"The image you've selected is a non-standard size. (" + imaging::sizeName(picture) +
                           "; choose --size " + imaging::standardSizeList() + ", WxH or keep)"};
    return picture;
}

// Typed, else the output file's name, else (for standard output) the
// input's, else "Untitled".
std::string Converter::backimageName(const Job& job) const {
    std::string typed = options_.name ? imaging::cleanTypedName(*options_.name) : std::string();
    if (!typed.empty()) return typed;
    if (job.output != kStandardStream) return imaging::nameFromFileName(job.output);
    if (job.input != kStandardStream)
        return QFileInfo(QString::fromStdString(job.input)).completeBaseName().left(31).toStdString();
    return "Untitled";
}

// The workers of a parallel batch share the folder: each names its files
// after its process.
std::string Converter::workFile(const std::string& name) const {
    return workDir_.filePath(QString::number(::getpid()) + "-" + QString::fromStdString(name)).toStdString();
}

int32_t Converter::build(const Job& job) {
    const bool fromStream = job.input == kStandardStream, toStream = job.output == kStandardStream;
    std::optional<imaging::PictureReader> opened;
    if (fromStream) opened.emplace(standardInput_);
    else opened.emplace(QString::fromStdString(job.input));
    imaging::PictureReader& reader = *opened;
    QSize stored = reader.size();
    if (!stored.isValid()) throw InputFailure{loadError(reader)};
    PixelSize pictureSize{stored.width(), stored.height()};
    std::string problem = imaging::importSizeProblem(pictureSize);
    if (!problem.empty()) throw InputFailure{problem};
    PixelSize target = targetFor(pictureSize);
    QSize targetSize(target.width, target.height);

    console_.showProgress(0);
    QImage picture = reader.read(targetSize, options_.fit);
    if (picture.isNull()) throw InputFailure{loadError(reader)};
    QImage fitted = imaging::fitPicture(picture, targetSize, options_.fit, options_.border);
    picture = QImage();

    std::string workingBmp = workFile("picture.bmp");
    if (!imaging::writeReducedBmp(imaging::linkedLibrary(), fitted, options_.depth, options_.method, workingBmp,
                                  palettes_.grey16, palettes_.palm8))
        throw InputFailure{};
    imaging::PdbRequest request{workingBmp,        target,           options_.depth, backimageName(job),
                                options_.compress, options_.block1, options_.block2};
    console_.showProgress(100);
    const std::string database = toStream ? workFile("standard-output.pdb") : job.output;
    auto size = options_.compress && spareProcessor_
                    ? buildPdbInTwo(request, database, palettes_, console_)
                    : imaging::buildPdb(imaging::linkedLibrary(), request, database, palettes_.grey16, palettes_.palm8);
    if (!size) throw InputFailure{};
    if (job.preview && !savePictureOf(database, *job.preview, console_))
        throw InputFailure{"The preview could not be made."};
    if (toStream) copyToStandardOutput(database);
    return *size;
}

}  // namespace mireo::cli
