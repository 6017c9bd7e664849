// The compressed build with its two candidates (one per block size) made at
// the same time, the second on a helper thread, when a processor is free
// for it.  The file kept is the one imaging::buildPdb keeps.
#pragma once

#include <optional>
#include <string>

#include "console.h"
#include "imaging/build_pdb.h"

namespace mireo::cli {

// As imaging::buildPdb; the helper's library messages are added to the
// console after the caller's own, in the order a serial build shows them.
std::optional<int32_t> buildPdbInTwo(const imaging::PdbRequest& request, const std::string& outputPath,
                                     const imaging::Palettes& palettes, Console& console);

}  // namespace mireo::cli
