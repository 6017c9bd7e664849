// Run-time binding to the image library libmireocore.  Each export is
// looked up by name on its first call; a missing library or export throws
// a RunTimeError into the calling procedure, which reports it.
#pragma once

#include <string>

#include "mireocore.h"
#include "run_time_error.h"

namespace mireocore {

// The library file dlopen is given ("libmireocore.so.1" unless changed).
// Changing it forgets every export bound so far.
void SetLibraryFile(const std::string& file);
const std::string& LibraryFile();

// The address of the export `name`; throws RunTimeError.
void* Bind(const char* name);

template <typename Function>
Function* Bound(const char* name) {
    return reinterpret_cast<Function*>(Bind(name));
}

#define MIREO_BOUND(name) Bound<decltype(::name)>(#name)

inline void SetWindowSystem(const MireoWindowSystem* windowSystem) {
    MIREO_BOUND(MireoSetWindowSystem)(windowSystem);
}
inline void WriteBmp24(const MireoArray* bits, const int32_t* width, const int32_t* height,
                       const MireoString* fileName, const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp24)(bits, width, height, fileName, bitsPerPixel);
}
inline void WriteBmp8(const MireoArray* bits, const MireoArray* palette, const int32_t* width, const int32_t* height,
                      const MireoString* fileName, const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp8)(bits, palette, width, height, fileName, bitsPerPixel);
}
inline void WriteBmp8dith(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                          const int32_t* height, const MireoString* fileName, const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp8dith)(bits, palette, width, height, fileName, bitsPerPixel);
}
inline void WriteBmp4(const MireoArray* bits, const MireoArray* palette, const int32_t* width, const int32_t* height,
                      const MireoString* fileName, const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp4)(bits, palette, width, height, fileName, bitsPerPixel);
}
inline void WriteBmp4dith(const MireoArray* bits, const MireoArray* palette, const int32_t* width,
                          const int32_t* height, const MireoString* fileName, const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp4dith)(bits, palette, width, height, fileName, bitsPerPixel);
}
inline void RotateImg(const MireoString* fileName, const MireoString* direction) {
    MIREO_BOUND(RotateImg)(fileName, direction);
}
inline void CompilePDB(const MireoString* sourcePath, const MireoArray* greyTable, const MireoArray* palm8Table,
                       const int32_t* width, const int32_t* height, const int16_t* depth, MireoString* name,
                       const MireoString* outputPath, const int16_t* compress, const int32_t* blockSize,
                       int32_t* fileSize) {
    MIREO_BOUND(CompilePDB)(sourcePath, greyTable, palm8Table, width, height, depth, name, outputPath, compress,
                            blockSize, fileSize);
}
inline void ReadVTBI(const MireoArray* greyTable, const MireoArray* palm8Table, const MireoString* pdbPath,
                     const MireoString* bmpPath, int16_t* depth) {
    MIREO_BOUND(ReadVTBI)(greyTable, palm8Table, pdbPath, bmpPath, depth);
}

#undef MIREO_BOUND

} // namespace mireocore
