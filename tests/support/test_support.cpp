#include "test_support.h"

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "bmp.h"
#include "packed_picture.h"

namespace mireo::test {
namespace {

RecordingWindowSystem* current = nullptr;

RecordingWindowSystem::Window* find(int32_t handle) {
    return current && current->exists(handle) ? &current->window(handle) : nullptr;
}

}  // namespace

RecordingWindowSystem::RecordingWindowSystem(std::string watchedFile) : watched(std::move(watchedFile)) {
    if (current) throw std::logic_error("one recording window system at a time");
    current = this;
    MireoWindowSystem ws{};
    ws.messageBox = [](void*, const char* text, const char* caption, int32_t icon) {
        current->messages.push_back({text ? text : "", caption ? caption : "", icon});
        current->log("message " + current->messages.back().text);
    };
    ws.createProgress = [](void*, int32_t, const char* caption) -> int32_t {
        current->log("create");
        if (current->failCreate) return 0;
        current->windows.emplace_back().caption = caption ? caption : "";
        return static_cast<int32_t>(current->windows.size());
    };
    ws.showProgress = [](void*, int32_t h) { if (current->log("show"); auto* w = find(h)) w->visible = true; };
    ws.destroyProgress = [](void*, int32_t h) { if (current->log("destroy"); auto* w = find(h)) w->destroyed = true; };
    ws.setProgressPosition = [](void*, int32_t h, int32_t pos) {
        if (current->log("set"); auto* w = find(h)) w->positions.push_back(pos);
    };
    ws.setProgressText = [](void*, int32_t h, const char* text) {
        if (auto* w = find(h)) w->texts.push_back(text ? text : "");
    };
    ws.isWindow = [](void*, int32_t h) -> int32_t { return find(h) ? 1 : 0; };
    ws.isWindowVisible = [](void*, int32_t h) -> int32_t { return find(h) && find(h)->visible ? 1 : 0; };
    ws.readCancelLabel = [](void*, int32_t h, char* buffer, int32_t capacity) {
        std::string label = find(h) ? find(h)->cancelLabel : "";
        buffer[label.copy(buffer, static_cast<std::size_t>(capacity - 1))] = '\0';
    };
    ws.processMessages = [](void*) { current->log("pump"); };
    MireoSetWindowSystem(&ws);
}

RecordingWindowSystem::~RecordingWindowSystem() {
    MireoSetWindowSystem(nullptr);
    current = nullptr;
}

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mireo-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string PdbMaker::source(int32_t w, int32_t h, const Bytes& bgr) {
    writeBmpFile(dir.file("source.bmp"), w, h, packBmpRows({w, h, bgr}));
    return dir.file("source.bmp");
}

Bytes PdbMaker::compile(const std::string& src, int32_t w, int32_t h, const PdbOptions& o) {
    StringArg srcArg(src), outArg(dir.file("out.pdb")), nameArg(o.name, o.nameCapacity);
    fileSize = -1;
    CompilePDB(&srcArg, grey.arg(), o.palm8 ? o.palm8 : palm8.arg(), &w, &h, &o.depth, nameArg.get(), &outArg,
               &o.compress, &o.blockSize, &fileSize);
    nameBack = nameArg.value();
    return std::filesystem::is_regular_file(dir.file("out.pdb")) ? readFile(dir.file("out.pdb")) : Bytes{};
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes bmpPixels(const Bytes& file, int32_t w, int32_t h) {
    const auto rowBytes = static_cast<std::size_t>(paddedRowBytes(w)), width = std::size_t(3) * std::size_t(w);
    EXPECT_EQ(file.size(), kBmpHeaderSize + rowBytes * std::size_t(h)) << "BMP size";
    Bytes bgr;
    for (int32_t y = h - 1; y >= 0 && file.size() == kBmpHeaderSize + rowBytes * std::size_t(h); --y) {
        const uint8_t* row = file.data() + kBmpHeaderSize + rowBytes * std::size_t(y);
        bgr.insert(bgr.end(), row, row + width);
        EXPECT_EQ(std::count(row + width, row + rowBytes, 0), std::ptrdiff_t(rowBytes - width)) << "pad bytes";
    }
    return bgr;
}

void withFileSizeLimit(uint64_t bytes, const std::function<void()>& f) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    if (bytes) limit.rlim_cur = bytes;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the process
    setrlimit(RLIMIT_FSIZE, &limit);
    f();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
}

}  // namespace mireo::test
