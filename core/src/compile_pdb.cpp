// CompilePDB: a 24-bit working file as a background-image database.
#include <mutex>
#include <optional>
#include <random>

#include "args.h"
#include "bmp.h"
#include "files.h"
#include "guard.h"
#include "numeric.h"
#include "pack_pixels.h"
#include "palm_time.h"
#include "pdb_writer.h"

namespace mireo {
namespace {

struct CompileRequest {
    std::string sourcePath, outputPath;
    int32_t width, height, depth, blockSize;
    bool compress;
};

// The width, height and pixel rows of the source, which must be the size
// the caller names.  The rows are read from byte 54 on, as working files
// have them.
void checkSource(const std::vector<uint8_t>& source, const CompileRequest& request) {
    if (source.size() < kBmpHeaderSize) raise(kInputPastEnd, "source shorter than a BMP header");
    if (static_cast<int32_t>(getLe32(&source[18])) != request.width ||
        static_cast<int32_t>(getLe32(&source[22])) != request.height)
        raise(kInvalidCall, "source BMP is not of the given size");
    auto needed = static_cast<uint64_t>(paddedRowBytes(request.width)) * static_cast<uint64_t>(request.height);
    if (source.size() - kBmpHeaderSize < needed) raise(kInputPastEnd, "source BMP shorter than its picture");
}

// The caller's name comes back padded with NULs to 32 characters.
void checkNameRoom(const MireoString* name) {
    if (!name) raise(kInvalidCall, "missing name");
    if (name->length < static_cast<int32_t>(kNameField) &&
        (name->capacity < static_cast<int32_t>(kNameField) || !name->text))
        raise(kInvalidCall, "name argument has no room for its padding");
}

void padName(MireoString* name) {
    for (int32_t i = std::max(name->length, 0); i < static_cast<int32_t>(kNameField); ++i) name->text[i] = '\0';
    name->length = std::max(name->length, static_cast<int32_t>(kNameField));
}

// Two builds may run at once on different threads.
uint16_t drawUniqueIdRandom() {
    if (sourceDateEpoch()) return 0;
    static std::mutex guard;
    static std::mt19937 generator{std::random_device{}()};
    std::lock_guard<std::mutex> held(guard);
    return uniqueIdRandomFrom(std::uniform_real_distribution<double>(0.0, 1.0)(generator));
}

// The packing steps report their own failures; nothing is written then.
std::optional<std::vector<uint8_t>> packPixels(const std::vector<uint8_t>& source, const CompileRequest& request,
                                               const MireoArray* greyTable, const MireoArray* palm8Table) {
    PackedPicture picture;
    if (!guarded("Error in dll UnPad - ", [&] {
            picture = unPad(source.data() + kBmpHeaderSize, source.size() - kBmpHeaderSize, request.width,
                            request.height);
        }))
        return std::nullopt;
    if (!guarded("Error in dll FlipImg - ", [&] { flipRows(picture); })) return std::nullopt;
    std::vector<uint8_t> packed;
    if (request.depth == 16) {
        if (!guarded("Error in dll PBMP16 - ", [&] { packed = packRgb565(picture); })) return std::nullopt;
    } else if (request.depth == 8) {
        if (!guarded("Error in dll PBMP8 - ", [&] { packed = packIndexed8(picture, PaletteView(palm8Table)); }))
            return std::nullopt;
    } else {
        // The 4-bit step has no message of its own; its failure is the export's.
        packed = packGrey4(picture, PaletteView(greyTable));
    }
    return packed;
}

void compilePdb(const MireoString* sourcePath, const MireoArray* greyTable, const MireoArray* palm8Table,
                const int32_t* width, const int32_t* height, const int16_t* depth, MireoString* name,
                const MireoString* outputPath, const int16_t* compress, const int32_t* blockSize, int32_t* fileSize) {
    CompileRequest request{textOf(sourcePath), textOf(outputPath), valueOf(width), valueOf(height), valueOf(depth),
                           valueOf(blockSize), valueOf(compress) == 1};
    valueOf(fileSize);
    uint32_t timestamp = palmTimestampNow();
    if (!fileExists(request.sourcePath)) {
        showMessage("Error in dll module CompilePDB. Unable to find temporary image file.");
        return;
    }
    std::vector<uint8_t> source = readWholeFile(request.sourcePath);
    PdbGeometry geometry = pdbGeometry(request.width, request.height, request.depth, request.blockSize);
    checkSource(source, request);
    checkNameRoom(name);
    std::optional<std::vector<uint8_t>> pixels = packPixels(source, request, greyTable, palm8Table);
    if (!pixels) return;
    source = {};
    deleteIfExists(request.outputPath);
    padName(name);
    DatabaseInfo info{textOf(name), timestamp, drawUniqueIdRandom(), request.width, request.height, request.depth,
                      request.compress};
    std::vector<uint8_t> database = buildDatabase(*pixels, geometry, info);
    writeFileAtomic(request.outputPath, {std::span<const uint8_t>(database)});
    *fileSize = static_cast<int32_t>(database.size());
}

}  // namespace
}  // namespace mireo

extern "C" MIREO_API void CompilePDB(const MireoString* sourcePath, const MireoArray* greyTable,
                                     const MireoArray* palm8Table, const int32_t* width, const int32_t* height,
                                     const int16_t* depth, MireoString* name, const MireoString* outputPath,
                                     const int16_t* compress, const int32_t* blockSize, int32_t* fileSize) {
    mireo::guarded("Error in dll CompilePDB - ", [&] {
        mireo::compilePdb(sourcePath, greyTable, palm8Table, width, height, depth, name, outputPath, compress,
                          blockSize, fileSize);
    });
}
