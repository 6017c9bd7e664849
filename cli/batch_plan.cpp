#include "batch_plan.h"

#include <QFileInfo>
#include <filesystem>
#include <set>

#include "standard_streams.h"
#include "usage.h"

namespace fs = std::filesystem;

namespace mireo::cli {

namespace {

bool isStream(const std::string& name) { return name == kStandardStream; }

std::string baseName(const std::string& path) { return QFileInfo(QString::fromStdString(path)).completeBaseName().toStdString(); }

std::string outputFor(const ConvertOptions& options, const std::string& input) {
    if (options.output) return *options.output;
    if (isStream(input)) return kStandardStream;
    std::string file = baseName(input) + ".pdb";
    fs::path folder = options.dir ? fs::path(*options.dir) : fs::path(input).parent_path();
    return (folder / file).string();
}

// A preview folder holds NAME.png for the database NAME.pdb.
std::optional<std::string> previewFor(const ConvertOptions& options, const std::string& input,
                                      const std::string& output) {
    if (!options.preview) return std::nullopt;
    if (!fs::is_directory(*options.preview)) return options.preview;
    std::string name = !isStream(output) ? baseName(output) : !isStream(input) ? baseName(input) : std::string();
    if (name.empty()) throw UsageError("a picture from standard input needs --preview FILE.png, not a folder");
    return (fs::path(*options.preview) / (name + ".png")).string();
}

// Refusals of one input, with the file they concern: the batch goes on
// with the next.
void refuseOutputs(Job& job) {
    const std::pair<std::optional<std::string>, const char*> outputs[] = {{job.output, "database"},
                                                                          {job.preview, "preview"}};
    for (const auto& [file, what] : outputs) {
        if (!file || isStream(*file)) continue;
        fs::path folder = fs::path(*file).parent_path();
        std::error_code ignored;
        if (!folder.empty() && !fs::is_directory(folder, ignored)) {
            job.refusal = std::string("cannot write the ") + what + ": the folder " + folder.string() + " does not exist";
            job.refusalFile = *file;
            return;
        }
        if (!isStream(job.input) && fs::equivalent(job.input, *file, ignored)) {
            job.refusal = "the output would replace the input picture";
            job.refusalFile = job.input;
            return;
        }
    }
}

void checkChoices(const ConvertOptions& options) {
    if (options.preview && options.inputs.size() > 1 && !fs::is_directory(*options.preview))
        throw UsageError("--preview for several inputs must name an existing folder");
    if (options.dir && isStream(options.inputs.front()))
        throw UsageError("a picture from standard input takes --output, not --dir");
    bool toStandardOutput = (options.output && isStream(*options.output)) ||
                            (!options.output && isStream(options.inputs.front()));
    if (toStandardOutput && standardOutputIsTerminal())
        throw UsageError("standard output is a terminal; redirect it or use --output FILE");
}

}  // namespace

std::vector<Job> planBatch(const ConvertOptions& options) {
    checkChoices(options);
    std::vector<Job> jobs;
    std::set<std::string> written;
    for (const std::string& input : options.inputs) {
        Job job{input, outputFor(options, input), std::nullopt, {}, {}};
        job.preview = previewFor(options, input, job.output);
        refuseOutputs(job);
        std::error_code ignored;
        fs::path canonical = fs::weakly_canonical(job.output, ignored);
        const std::string key = canonical.empty() ? job.output : canonical.string();
        if (job.refusal.empty() && !isStream(job.output) && !written.insert(key).second) {
            job.refusal = "an earlier input of this batch was already written to " + job.output;
            job.refusalFile = input;
        }
        jobs.push_back(std::move(job));
    }
    return jobs;
}

}  // namespace mireo::cli
