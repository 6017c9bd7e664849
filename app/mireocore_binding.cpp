#include "mireocore_binding.h"

#include <dlfcn.h>

#include <map>

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

void* openLibrary() {
    Binding& b = binding();
    if (!b.handle) b.handle = dlopen(b.file.c_str(), RTLD_NOW | RTLD_LOCAL);
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
