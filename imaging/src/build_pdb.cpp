#include "imaging/build_pdb.h"

#include <filesystem>

#include "imaging/library_args.h"
#include "imaging/replacement_file.h"

namespace fs = std::filesystem;

namespace mireo::imaging {

std::optional<int32_t> compilePdb(const Library& library, const PdbRequest& request, const std::string& outputPath,
                                  int32_t blockSize, const PaletteTable& grey16, const PaletteTable& palm8) {
    LibraryString source(request.workingBmp), name(request.name, 32), output(outputPath);
    MireoArray grey = grey16.descriptor(), palm = palm8.descriptor();
    int32_t width = request.size.width, height = request.size.height, block = blockSize;
    auto depth = static_cast<int16_t>(request.depth);
    int16_t compress = request.compress ? 1 : 0;
    int32_t fileSize = 0;  // a failed build leaves it alone
    library.CompilePDB(source.get(), &grey, &palm, &width, &height, &depth, name.get(), output.get(), &compress,
                       &block, &fileSize);
    std::error_code error;
    const auto written = fs::file_size(outputPath, error);
    if (fileSize <= 0 || error || written != static_cast<std::uintmax_t>(fileSize)) return std::nullopt;
    return fileSize;
}

Winner smallerCandidate(std::optional<int32_t> withBlock2, std::optional<int32_t> withBlock1) {
    if (!withBlock2) return withBlock1 ? Winner::Block1 : Winner::None;
    if (!withBlock1) return Winner::Block2;
    return *withBlock2 > *withBlock1 ? Winner::Block1 : Winner::Block2;
}

std::optional<int32_t> buildPdb(const Library& library, const PdbRequest& request, const std::string& outputPath,
                                const PaletteTable& grey16, const PaletteTable& palm8) {
    ReplacementFile first(outputPath), second(outputPath);
    if (!request.compress) {
        auto size = compilePdb(library, request, first.path().string(), request.block1, grey16, palm8);
        if (size) first.commit();
        return size;
    }
    auto withBlock2 = compilePdb(library, request, first.path().string(), request.block2, grey16, palm8);
    auto withBlock1 = compilePdb(library, request, second.path().string(), request.block1, grey16, palm8);
    switch (smallerCandidate(withBlock2, withBlock1)) {
        case Winner::Block2: first.commit(); return withBlock2;
        case Winner::Block1: second.commit(); return withBlock1;
        case Winner::None: break;
    }
    return std::nullopt;
}

}  // namespace mireo::imaging
