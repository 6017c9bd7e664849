#include <cstdio>

#include "batch_plan.h"
#include "commands.h"
#include "convert_options.h"
#include "converter.h"
#include "helper_threads.h"
#include "standard_streams.h"
#include "usage.h"
#include "worker_pool.h"

namespace mireo::cli {

namespace {

// The one-line report of an input, the same whether the batch ran serially
// or in parallel: the library's messages and the reason under the input's
// name, then the line of a written database (on standard error when the
// database itself went to standard output, by "-" or by name).
void report(const Job& job, const Outcome& outcome, Console& console) {
    for (const std::string& message : outcome.messages)
        console.report(outcome.file.empty() ? job.input : outcome.file, message);
    console.clearProgress();
    if (outcome.ok)
        std::fprintf(isStandardOutput(job.output) ? stderr : stdout, "%s -> %s (%d bytes)\n", job.input.c_str(),
                     job.output.c_str(), outcome.size);
    std::fflush(stdout);
}

std::string labelOf(const std::vector<Job>& jobs, std::size_t i) {
    if (jobs.size() == 1) return jobs[i].input;
    return jobs[i].input + " (" + std::to_string(i + 1) + "/" + std::to_string(jobs.size()) + ")";
}

std::size_t runSerially(const std::vector<Job>& jobs, Converter& converter, Console& console) {
    std::size_t failed = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        console.setLabel(labelOf(jobs, i));
        Outcome outcome = converter.convert(jobs[i]);
        failed += outcome.ok ? 0 : 1;
        report(jobs[i], outcome, console);
    }
    return failed;
}

// Each input in a worker process of its own; the reports come out in input
// order as soon as all before them are in, under one bar for the batch.
std::size_t runInParallel(const std::vector<Job>& jobs, std::size_t processes, Converter& converter,
                          Console& console) {
    std::size_t failed = 0;
    InOrder inOrder(jobs.size(), [&](std::size_t i, const Outcome& outcome) {
        failed += outcome.ok ? 0 : 1;
        report(jobs[i], outcome, console);
    });
    std::vector<std::size_t> toConvert;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (jobs[i].refusal.empty()) toConvert.push_back(i);
        else inOrder.add(i, converter.convert(jobs[i]));
    }
    std::size_t done = jobs.size() - toConvert.size();
    console.showBatch(done, jobs.size());
    runInWorkers(
        toConvert.size(), processes,
        [&](std::size_t k) {
            console.silence();
            return converter.convert(jobs[toConvert[k]]);
        },
        [&](std::size_t k, const Outcome& outcome) {
            inOrder.add(toConvert[k], outcome);
            console.showBatch(++done, jobs.size());
        });
    return failed;
}

}  // namespace

int runConvert(const std::vector<std::string>& args, Console& console) {
    ConvertOptions options = parseConvertOptions(args);
    if (options.helpAsked) {
        std::fputs(usageText(), stdout);
        return kExitSuccess;
    }
    if (options.dir && !std::filesystem::is_directory(*options.dir))
        throw UsageError("the output folder " + *options.dir + " does not exist");
    std::vector<Job> jobs = planBatch(options);
    QByteArray standardInput;
    if (options.inputs.front() == kStandardStream) standardInput = readStandardInput();

    const std::size_t processes = std::min(options.jobs, jobs.size());
    // A processor left over by the batch takes half of each reduction and
    // the second candidate of each compressed build.
    mireo::allowHelperThreads(options.jobs >= 2 * processes);
    Converter converter(options, console, standardInput);
    std::size_t failed = processes > 1 ? runInParallel(jobs, processes, converter, console)
                                       : runSerially(jobs, converter, console);
    console.clearProgress();
    if (jobs.size() > 1)
        std::printf("%zu of %zu pictures converted, %zu failed\n", jobs.size() - failed, jobs.size(), failed);
    return failed == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace mireo::cli
