// Building a background-image database from a working BMP file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "imaging/library.h"
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

// One CompilePDB call into `outputPath` with the given block size.  The
// size of the file written, or nullopt when the library failed (it has
// shown its message) or the file is not there with that size.
std::optional<int32_t> compilePdb(const Library& library, const PdbRequest& request, const std::string& outputPath,
                                  int32_t blockSize, const PaletteTable& grey16, const PaletteTable& palm8);

// Which of two compressed candidates is kept: the one built with block2
// unless the block1 one is strictly smaller; a failed candidate never wins.
enum class Winner { None, Block2, Block1 };
Winner smallerCandidate(std::optional<int32_t> withBlock2, std::optional<int32_t> withBlock1);

// Builds the database under `outputPath`.  Without compression one build
// with block1; with compression one build with each block size, keeping
// the smaller file.  The builds go to hidden files beside `outputPath`, and
// only the finished file is renamed over it, so a failure leaves no partial
// file and an older file untouched.  Returns the file size, or nullopt when
// the library failed (it has shown its message); a failed rename throws
// std::system_error.
std::optional<int32_t> buildPdb(const Library& library, const PdbRequest& request, const std::string& outputPath,
                                const PaletteTable& grey16, const PaletteTable& palm8);

}  // namespace mireo::imaging
