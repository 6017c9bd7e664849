#include "program/library_binding.h"

#include <dlfcn.h>

#include <map>
#include <vector>

#include "program/app_error.h"

namespace mireocore {
namespace {

struct Binding {
    std::string file = MIREOCORE_SONAME;
    void* handle = nullptr;
    std::map<std::string, void*> exports;
};

Binding& binding() {
    static Binding instance;
    return instance;
}

// Sanitizer runtimes intercept dlopen, which then searches the runtime's
// paths instead of the program's; so a bare name is also tried in every
// folder of the program's own search path (its RUNPATH, $ORIGIN expanded).
void* openAlongProgramPath(const std::string& file) {
    void* program = dlopen(nullptr, RTLD_NOW);
    Dl_serinfo size{};
    if (!program || dlinfo(program, RTLD_DI_SERINFOSIZE, &size) != 0) return nullptr;
    std::vector<char> buffer(size.dls_size);
    auto* info = reinterpret_cast<Dl_serinfo*>(buffer.data());
    info->dls_size = size.dls_size;
    info->dls_cnt = size.dls_cnt;
    if (dlinfo(program, RTLD_DI_SERINFO, info) != 0) return nullptr;
    for (unsigned i = 0; i < info->dls_cnt; ++i)
        if (void* handle = dlopen((std::string(info->dls_serpath[i].dls_name) + '/' + file).c_str(),
                                  RTLD_NOW | RTLD_LOCAL))
            return handle;
    return nullptr;
}

void* openLibrary() {
    Binding& b = binding();
    if (!b.handle) b.handle = dlopen(b.file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!b.handle && b.file.find('/') == std::string::npos) b.handle = openAlongProgramPath(b.file);
    if (!b.handle)
        throw AppError{kErrFileNotFound, QStringLiteral("File not found: %1").arg(QString::fromStdString(b.file))};
    return b.handle;
}

} // namespace

void SetLibraryFile(const std::string& file) {
    Binding& b = binding();
    if (b.handle) dlclose(b.handle);
    b.handle = nullptr;
    b.exports.clear();
    b.file = file;
}

const std::string& LibraryFile() { return binding().file; }

void* Bind(const char* name) {
    Binding& b = binding();
    if (auto found = b.exports.find(name); found != b.exports.end()) return found->second;
    void* address = dlsym(openLibrary(), name);
    if (!address)
        throw AppError{kErrEntryPointNotFound, QStringLiteral("Can't find DLL entry point %1 in %2")
                                                       .arg(QLatin1String(name), QString::fromStdString(b.file))};
    b.exports.emplace(name, address);
    return address;
}

namespace {

// Each export's stand-in: binds the export on its first call and passes
// the arguments on.  decltype names the export's type without linking it.
template <typename Function>
Function* bound(const char* name) {
    return reinterpret_cast<Function*>(Bind(name));
}

#define MIREO_BOUND(name) bound<decltype(::name)>(#name)

void WriteBmp24(const MireoArray* bits, const int32_t* width, const int32_t* height, const MireoString* fileName,
                const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp24)(bits, width, height, fileName, bitsPerPixel);
}
void WriteBmp8(const MireoArray* bits, const MireoArray* palette, const int32_t* width, const int32_t* height,
               const MireoString* fileName, const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp8)(bits, palette, width, height, fileName, bitsPerPixel);
}
void WriteBmp8dith(const MireoArray* bits, const MireoArray* palette, const int32_t* width, const int32_t* height,
                   const MireoString* fileName, const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp8dith)(bits, palette, width, height, fileName, bitsPerPixel);
}
void WriteBmp4(const MireoArray* bits, const MireoArray* palette, const int32_t* width, const int32_t* height,
               const MireoString* fileName, const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp4)(bits, palette, width, height, fileName, bitsPerPixel);
}
void WriteBmp4dith(const MireoArray* bits, const MireoArray* palette, const int32_t* width, const int32_t* height,
                   const MireoString* fileName, const int32_t* bitsPerPixel) {
    MIREO_BOUND(WriteBmp4dith)(bits, palette, width, height, fileName, bitsPerPixel);
}
void RotateImg(const MireoString* fileName, const MireoString* direction) {
    MIREO_BOUND(RotateImg)(fileName, direction);
}
void CompilePDB(const MireoString* sourcePath, const MireoArray* greyTable, const MireoArray* palm8Table,
                const int32_t* width, const int32_t* height, const int16_t* depth, MireoString* name,
                const MireoString* outputPath, const int16_t* compress, const int32_t* blockSize, int32_t* fileSize) {
    MIREO_BOUND(CompilePDB)(sourcePath, greyTable, palm8Table, width, height, depth, name, outputPath, compress,
                            blockSize, fileSize);
}
void ReadVTBI(const MireoArray* greyTable, const MireoArray* palm8Table, const MireoString* pdbPath,
              const MireoString* bmpPath, int16_t* depth) {
    MIREO_BOUND(ReadVTBI)(greyTable, palm8Table, pdbPath, bmpPath, depth);
}
void MireoSetWindowSystem(const MireoWindowSystem* windowSystem) { MIREO_BOUND(MireoSetWindowSystem)(windowSystem); }

#undef MIREO_BOUND

} // namespace

const mireo::imaging::Library& BoundLibrary() {
    static const mireo::imaging::Library exports{WriteBmp24, WriteBmp8,  WriteBmp8dith, WriteBmp4,           WriteBmp4dith,
                                                 RotateImg,  CompilePDB, ReadVTBI,      MireoSetWindowSystem};
    return exports;
}

} // namespace mireocore
