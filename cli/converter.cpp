#include "converter.h"

#include <unistd.h>

#include <QFileInfo>
#include <filesystem>

#include "database_picture.h"
#include "helper_threads.h"
#include "imaging/build_pdb.h"
#include "imaging/linked_library.h"
#include "imaging/load.h"
#include "imaging/names.h"
#include "imaging/reduce.h"
#include "imaging/temporary_paths.h"
#include "parallel_build.h"
#include "picture_problems.h"
#include "standard_streams.h"

namespace mireo::cli {

namespace {

using imaging::PixelSize;

// Runs `step`, which writes `file`; a file-system error becomes a failure
// of that file, said with `doing`.
template <class Step>
auto writing(const std::string& file, const std::string& doing, Step step) {
    try {
        return step();
    } catch (const std::system_error& error) {
        throw Failure{file, doing + ": " + systemErrorWords(error.code())};
    }
}

}  // namespace

Converter::Converter(const ConvertOptions& options, Console& console, QByteArray standardInput)
    : options_(options), console_(console), standardInput_(std::move(standardInput)) {
    if (!workDir_.isValid()) throw std::runtime_error("cannot make a folder in the temporary folder");
    imaging::TemporaryPaths::addFolder(workDir_.path().toStdString());
}

Outcome Converter::convert(const Job& job) {
    Outcome outcome;
    try {
        if (!job.refusal.empty()) throw Failure{job.refusalFile, job.refusal};
        outcome.size = build(job);
        outcome.ok = true;
    } catch (const Failure& failure) {
        outcome.file = failure.file;
        outcome.messages = {failure.what};
    } catch (const std::exception& error) {
        outcome.file = job.input;
        outcome.messages = {inLine(error.what())};
    }
    // The library's own messages are folded into the failure's words.
    console_.takeMessages();
    return outcome;
}

PixelSize Converter::targetFor(const Job& job, PixelSize picture) const {
    switch (options_.sizeRule) {
        case SizeRule::Fixed: return options_.size;
        case SizeRule::Keep: {
            std::string problem = imaging::customSizeProblem(picture);
            if (!problem.empty())
                throw Failure{job.input, job.input + " is " + imaging::sizeText(picture) +
                                             ", which --size keep cannot take: " + inLine(problem) +
                                             " (50 to 600 pixels a side, at most 2:1)"};
            return picture;
        }
        case SizeRule::StandardOnly: break;
    }
    if (!imaging::isStandardSize(picture))
        throw Failure{job.input, job.input + " is " + imaging::sizeText(picture) +
                                     ", not a Palm screen size: give --size (for example --size 320x320)"};
    return picture;
}

// Typed, else the output file's name, else (for standard output) the
// input's, else "Untitled"; in the Palm's character set, at most 31
// characters.
std::string Converter::backimageName(const Job& job) const {
    std::string typed = options_.name ? imaging::cleanTypedName(*options_.name) : std::string();
    if (!typed.empty()) return imaging::palmNameBytes(QString::fromStdString(typed));
    if (job.output != kStandardStream)
        return imaging::palmNameBytes(QString::fromStdString(imaging::nameFromFileName(job.output)));
    if (job.input != kStandardStream)
        return imaging::palmNameBytes(QFileInfo(QString::fromStdString(job.input)).completeBaseName());
    return "Untitled";
}

// The workers of a parallel batch share the folder: each names its files
// after its process.
std::string Converter::workFile(const std::string& name) const {
    std::string path = workDir_.filePath(QString::number(::getpid()) + "-" + QString::fromStdString(name)).toStdString();
    imaging::TemporaryPaths::add(path);
    return path;
}

std::string Converter::inTemporaryFolder() const {
    return "cannot write in the temporary folder " + workDir_.path().toStdString();
}

QImage Converter::readPicture(const Job& job, QSize& target) {
    if (job.input != kStandardStream)
        if (std::optional<std::string> problem = unreadableInput(job.input)) throw Failure{job.input, *problem};
    std::optional<imaging::PictureReader> opened;
    {
        DecoderMessagesKept kept;
        if (job.input == kStandardStream) opened.emplace(standardInput_);
        else opened.emplace(QString::fromStdString(job.input));
    }
    imaging::PictureReader& reader = *opened;
    QSize stored = reader.size();
    if (!stored.isValid()) throw Failure{job.input, pictureProblem(reader)};
    PixelSize pictureSize{stored.width(), stored.height()};
    if (std::string problem = imaging::toolSizeProblem(pictureSize); !problem.empty())
        throw Failure{job.input, problem};
    if (std::string problem = memoryProblem(reader); !problem.empty()) throw Failure{job.input, problem};
    PixelSize size = targetFor(job, pictureSize);
    target = QSize(size.width, size.height);

    console_.showProgress(0);
    QImage picture;
    {
        DecoderMessagesKept kept;
        picture = reader.read(target, options_.fit);
    }
    if (picture.isNull()) throw Failure{job.input, pictureProblem(reader)};
    return picture;
}

int32_t Converter::build(const Job& job) {
    const bool toStream = job.output == kStandardStream;
    QSize target;
    QImage fitted = imaging::fitPicture(readPicture(job, target), target, options_.fit, options_.border);

    std::string workingBmp = workFile("picture.bmp");
    if (!imaging::writeReducedBmp(imaging::linkedLibrary(), fitted, options_.depth, options_.method, workingBmp,
                                  palettes_.grey16, palettes_.palm8))
        throw Failure{job.input, inTemporaryFolder() + ": " +
                                     libraryFailureWords(console_.takeMessages(), "the picture could not be reduced")};
    imaging::PdbRequest request{workingBmp,        {target.width(), target.height()}, options_.depth,
                                backimageName(job), options_.compress, options_.block1, options_.block2};
    console_.showProgress(100);
    const std::string database = toStream ? workFile("standard-output.pdb") : job.output;
    const std::string failedFile = toStream ? job.input : job.output;
    const std::string doing = toStream ? inTemporaryFolder() : "cannot write the database";
    auto size = writing(failedFile, doing, [&] {
        return options_.compress && helperThreadsAllowed()
                   ? buildPdbInTwo(request, database, palettes_, console_)
                   : imaging::buildPdb(imaging::linkedLibrary(), request, database, palettes_.grey16, palettes_.palm8);
    });
    if (!size)
        throw Failure{failedFile,
                      doing + ": " + libraryFailureWords(console_.takeMessages(), "the database could not be built")};
    if (job.preview) {
        const bool saved = writing(*job.preview, "cannot write the preview",
                                   [&] { return savePictureOf(database, *job.preview, console_).has_value(); });
        if (!saved)
            throw Failure{*job.preview, "cannot write the preview: " +
                                            libraryFailureWords(console_.takeMessages(), "no picture was decoded")};
    }
    if (toStream) writing("standard output", "cannot write", [&] { copyToStandardOutput(database); });
    return *size;
}

}  // namespace mireo::cli
