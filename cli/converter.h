// Converting one input of a batch into its database (and its preview).
#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include "batch_plan.h"
#include "console.h"
#include "convert_options.h"
#include "imaging/palettes.h"
#include "imaging/sizes.h"
#include "outcome.h"
#include "plain_words.h"

namespace mireo::cli {

class Converter {
public:
    // `standardInput` holds the picture of the input "-".  A compressed
    // build makes its two candidates at once when helper threads are
    // allowed.
    Converter(const ConvertOptions& options, Console& console, QByteArray standardInput);

    // Never throws: a failure is in the outcome, one line in plain words
    // under the file it concerns.
    Outcome convert(const Job& job);

private:
    int32_t build(const Job& job);
    // The decoded picture (throws Failure); `target` is set to the size
    // of the database.
    QImage readPicture(const Job& job, QSize& target);
    imaging::PixelSize targetFor(const Job& job, imaging::PixelSize picture) const;
    std::string inTemporaryFolder() const;
    std::string backimageName(const Job& job) const;
    std::string workFile(const std::string& name) const;

    const ConvertOptions& options_;
    Console& console_;
    QByteArray standardInput_;
    QTemporaryDir workDir_;
    imaging::Palettes palettes_;
};

}  // namespace mireo::cli
