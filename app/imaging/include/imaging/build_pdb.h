// Building a background-image database from a working BMP file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "imaging/palettes.h"
#include "imaging/sizes.h"

namespace mireo::imaging {

inline constexpr int32_t kDefaultBlock1Size = 51200;
inline constexpr int32_t kDefaultBlock2Size = 30720;
inline constexpr int32_t kMinBlock1Size = 5120;
inline constexpr int32_t kMinBlock2Size = 5121;
inline constexpr int32_t kMaxBlockSize = 51200;

struct PdbRequest {
    std::string workingBmp;  // 24-bit BMP of exactly `size`
    PixelSize size;
    int depth = 16;
    std::string name;
    bool compress = false;
    int32_t block1 = kDefaultBlock1Size;
    int32_t block2 = kDefaultBlock2Size;
};

// Builds the database under `outputPath`.  Without compression one build
// with block1; with compression one build with each block size, keeping
// the smaller file (the block2 build when both are equal).  The builds go
// to temporary files beside `outputPath`, and only the finished file is
// renamed over it, so a failure leaves no partial file and an older file
// untouched.  Returns the file size, or nullopt when the library failed
// (it has shown its message); a failed rename throws std::system_error.
std::optional<int32_t> buildPdb(const PdbRequest& request, const std::string& outputPath, const Palettes& palettes);

}  // namespace mireo::imaging
