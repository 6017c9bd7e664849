#include "mireocore_binding.h"

#include <dlfcn.h>

#include <map>
#include <vector>

namespace mireocore {
namespace {

struct Binding {
    std::string file = "libmireocore.so.1";
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
        throw RunTimeError{kErrFileNotFound, QStringLiteral("File not found: %1").arg(QString::fromStdString(b.file))};
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
        throw RunTimeError{kErrEntryPointNotFound, QStringLiteral("Can't find DLL entry point %1 in %2")
                                                       .arg(QLatin1String(name), QString::fromStdString(b.file))};
    b.exports.emplace(name, address);
    return address;
}

} // namespace mireocore
