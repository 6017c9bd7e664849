#include "imaging/build_pdb.h"

#include <unistd.h>

#include <filesystem>

#include "imaging/library_args.h"
#include "mireocore.h"

namespace fs = std::filesystem;

namespace mireo::imaging {

namespace {

// A build candidate beside the output, removed unless it was renamed.
class Candidate {
public:
    Candidate(const std::string& output, int number) {
        fs::path target(output);
        std::string hidden = "." + target.filename().string() + "." + std::to_string(getpid()) + "." +
                             std::to_string(number) + ".part";
        path_ = (target.parent_path() / hidden).string();
    }
    ~Candidate() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    Candidate(const Candidate&) = delete;
    Candidate& operator=(const Candidate&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::optional<int32_t> compile(const PdbRequest& request, const std::string& outputPath, int32_t blockSize,
                               const Palettes& palettes) {
    LibraryString source(request.workingBmp), name(request.name, 32), output(outputPath);
    MireoArray grey = palettes.grey16.descriptor(), palm8 = palettes.palm8.descriptor();
    int32_t width = request.size.width, height = request.size.height, block = blockSize;
    auto depth = static_cast<int16_t>(request.depth);
    int16_t compress = request.compress ? 1 : 0;
    int32_t fileSize = -1;  // left alone by a failed build
    CompilePDB(source.get(), &grey, &palm8, &width, &height, &depth, name.get(), output.get(), &compress, &block,
               &fileSize);
    if (fileSize <= 0 || !fs::exists(outputPath)) return std::nullopt;
    return fileSize;
}

}  // namespace

std::optional<int32_t> buildPdb(const PdbRequest& request, const std::string& outputPath, const Palettes& palettes) {
    Candidate first(outputPath, 1), second(outputPath, 2);
    std::optional<int32_t> size;
    const Candidate* kept = &first;
    if (!request.compress) {
        size = compile(request, first.path(), request.block1, palettes);
    } else {
        auto withBlock2 = compile(request, first.path(), request.block2, palettes);
        auto withBlock1 = withBlock2 ? compile(request, second.path(), request.block1, palettes) : std::nullopt;
        if (!withBlock1) return std::nullopt;
        bool secondSmaller = *withBlock2 > *withBlock1;
        kept = secondSmaller ? &second : &first;
        size = secondSmaller ? withBlock1 : withBlock2;
    }
    if (!size) return std::nullopt;
    fs::rename(kept->path(), outputPath);
    return size;
}

}  // namespace mireo::imaging
