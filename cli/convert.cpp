#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <set>

#include "commands.h"
#include "convert_options.h"
#include "imaging/load.h"
#include "imaging/names.h"
#include "imaging/palettes.h"
#include "usage.h"

namespace fs = std::filesystem;

namespace mireo::cli {

namespace {

using imaging::PixelSize;

// A refusal of one input; the batch goes on with the next.
struct InputFailure {
    std::string message;
};

std::string outputFor(const ConvertOptions& options, const std::string& input) {
    if (options.output) return *options.output;
    QFileInfo info(QString::fromStdString(input));
    std::string file = (info.completeBaseName() + ".pdb").toStdString();
    fs::path folder = options.dir ? fs::path(*options.dir) : fs::path(input).parent_path();
    return (folder / file).string();
}

PixelSize targetFor(const ConvertOptions& options, PixelSize picture) {
    switch (options.sizeRule) {
        case SizeRule::Fixed: return options.size;
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

std::string backimageName(const ConvertOptions& options, const std::string& output) {
    std::string typed = options.name ? imaging::cleanTypedName(*options.name) : std::string();
    return typed.empty() ? imaging::nameFromFileName(output) : typed;
}

class Converter {
public:
    Converter(const ConvertOptions& options, Console& console) : options_(options), console_(console) {
        if (!workDir_.isValid()) throw std::runtime_error("Unable to create a temporary folder.");
    }

    // Converts one input; returns the size of the database written.
    int32_t convert(const std::string& input, const std::string& output) {
        imaging::PictureReader reader(QString::fromStdString(input));
        QSize stored = reader.size();
        if (!stored.isValid()) throw InputFailure{"Error loading file! (" + reader.errorString().toStdString() + ")"};
        PixelSize pictureSize{stored.width(), stored.height()};
        std::string problem = imaging::importSizeProblem(pictureSize);
        if (!problem.empty()) throw InputFailure{problem};
        PixelSize target = targetFor(options_, pictureSize);
        QSize targetSize(target.width, target.height);

        console_.showProgress(0);
        QImage picture = reader.read(targetSize, options_.fit);
        if (picture.isNull()) throw InputFailure{"Error loading file! (" + reader.errorString().toStdString() + ")"};
        QImage fitted = imaging::fitPicture(picture, targetSize, options_.fit, options_.border);

        std::string workingBmp = workDir_.filePath("picture.bmp").toStdString();
        if (!imaging::writeReducedBmp(fitted, options_.depth, options_.method, workingBmp, palettes_))
            throw InputFailure{};
        imaging::PdbRequest request{workingBmp,       target,           options_.depth, backimageName(options_, output),
                                    options_.compress, options_.block1, options_.block2};
        console_.showProgress(100);
        auto size = imaging::buildPdb(request, output, palettes_);
        if (!size) throw InputFailure{};
        return *size;
    }

private:
    const ConvertOptions& options_;
    Console& console_;
    QTemporaryDir workDir_;
    imaging::Palettes palettes_;
};

void checkOutput(const std::string& input, const std::string& output) {
    fs::path folder = fs::path(output).parent_path();
    if (!folder.empty() && !fs::is_directory(folder))
        throw InputFailure{"The output folder " + folder.string() + " does not exist."};
    std::error_code ignored;
    if (fs::equivalent(input, output, ignored)) throw InputFailure{"The output would replace the input picture."};
}

}  // namespace

int runConvert(const std::vector<std::string>& args, Console& console) {
    ConvertOptions options = parseConvertOptions(args);
    if (options.dir && !fs::is_directory(*options.dir))
        throw UsageError("the output folder " + *options.dir + " does not exist");
    Converter converter(options, console);
    std::set<std::string> written;
    std::size_t failed = 0, total = options.inputs.size();
    for (std::size_t i = 0; i < total; ++i) {
        const std::string& input = options.inputs[i];
        std::string output = outputFor(options, input);
        console.setLabel(total > 1 ? input + " (" + std::to_string(i + 1) + "/" + std::to_string(total) + ")" : input);
        try {
            checkOutput(input, output);
            if (!written.insert(fs::weakly_canonical(output).string()).second)
                throw InputFailure{"An earlier input of this batch was already written to " + output + "."};
            int32_t size = converter.convert(input, output);
            for (const std::string& message : console.takeMessages()) console.report(input, message);
            console.clearProgress();
            std::printf("%s -> %s (%d bytes)\n", input.c_str(), output.c_str(), size);
        } catch (const InputFailure& failure) {
            ++failed;
            std::vector<std::string> messages = console.takeMessages();
            if (!failure.message.empty()) messages.push_back(failure.message);
            if (messages.empty()) messages.push_back("The database could not be written.");
            for (const std::string& message : messages) console.report(input, message);
        } catch (const std::exception& error) {
            ++failed;
            console.report(input, error.what());
        }
        std::fflush(stdout);
    }
    if (total > 1)
        std::printf("%zu of %zu pictures converted, %zu failed\n", total - failed, total, failed);
    return failed == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace mireo::cli
