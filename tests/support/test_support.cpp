#include "test_support.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "bmp.h"
#include "numeric.h"
#include "packed_picture.h"

namespace mireo::test {

void Table::setExact(int32_t entry, float r, float g, float b) {
    auto* data = static_cast<float*>(array.data);
    auto n = static_cast<std::size_t>(entries()), e = static_cast<std::size_t>(entry);
    data[e] = r, data[n + e] = g, data[2 * n + e] = b;
}

namespace {

RecordingWindowSystem* current = nullptr;

RecordingWindowSystem::Window* find(int32_t handle) {
    return current && current->exists(handle) ? &current->window(handle) : nullptr;
}

MireoWindowSystem recordingFunctions() {
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
    ws.showProgress = [](void*, int32_t h) {
        current->log("show");
        if (auto* w = find(h)) w->visible = true;
    };
    ws.destroyProgress = [](void*, int32_t h) {
        current->log("destroy");
        if (auto* w = find(h)) w->destroyed = true;
    };
    ws.setProgressPosition = [](void*, int32_t h, int32_t pos) {
        current->log("set");
        if (auto* w = find(h)) w->positions.push_back(w->position = pos);
    };
    ws.setProgressText = [](void*, int32_t h, const char* text) {
        if (auto* w = find(h)) w->texts.push_back(w->text = text ? text : "");
    };
    ws.isWindow = [](void*, int32_t h) -> int32_t { return find(h) ? 1 : 0; };
    ws.isWindowVisible = [](void*, int32_t h) -> int32_t { return find(h) && find(h)->visible ? 1 : 0; };
    ws.readCancelLabel = [](void*, int32_t h, char* buffer, int32_t capacity) {
        std::string label = find(h) ? find(h)->cancelLabel : "";
        label.resize(std::min<std::size_t>(label.size(), static_cast<std::size_t>(capacity - 1)));
        std::copy(label.begin(), label.end(), buffer);
        buffer[label.size()] = '\0';
    };
    ws.processMessages = [](void*) { current->log("pump"); };
    return ws;
}

}  // namespace

RecordingWindowSystem::RecordingWindowSystem(std::string watchedFile) : watched(std::move(watchedFile)) {
    if (current) throw std::logic_error("one recording window system at a time");
    current = this;
    MireoWindowSystem ws = recordingFunctions();
    MireoSetWindowSystem(&ws);
}

RecordingWindowSystem::~RecordingWindowSystem() {
    MireoSetWindowSystem(nullptr);
    current = nullptr;
}

void RecordingWindowSystem::log(const std::string& event) {
    if (watched.empty()) events.push_back(event);
    else events.push_back(event + (std::filesystem::exists(watched) ? " (file)" : " (no file)"));
}

bool RecordingWindowSystem::exists(int32_t handle) const {
    return handle >= 1 && static_cast<std::size_t>(handle) <= windows.size() && !windows[std::size_t(handle - 1)].destroyed;
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

std::string PdbMaker::source(int32_t w, int32_t h, const std::vector<uint8_t>& bgr) {
    writeBmpFile(dir.file("source.bmp"), w, h, packBmpRows({w, h, bgr}));
    return dir.file("source.bmp");
}

std::string PdbMaker::plain(int32_t w, int32_t h, uint8_t value) {
    return source(w, h, std::vector<uint8_t>(std::size_t(3) * std::size_t(w) * std::size_t(h), value));
}

std::vector<uint8_t> PdbMaker::compile(const std::string& src, int32_t w, int32_t h, const PdbOptions& o) {
    StringArg srcArg(src), outArg(dir.file("out.pdb")), nameArg(o.name, o.nameCapacity);
    fileSize = -1;
    CompilePDB(&srcArg, grey.arg(), o.palm8 ? o.palm8 : palm8.arg(), &w, &h, &o.depth, nameArg.get(), &outArg,
               &o.compress, &o.blockSize, &fileSize);
    nameBack = nameArg.value();
    return std::filesystem::is_regular_file(dir.file("out.pdb")) ? readFile(dir.file("out.pdb")) : std::vector<uint8_t>{};
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> codecStream(const std::vector<uint8_t>& codes) {
    std::vector<uint8_t> s(codes.size() + 4);
    putBe32(s.data(), static_cast<uint32_t>(s.size()));
    std::copy(codes.begin(), codes.end(), s.begin() + 4);
    return s;
}

FileSizeLimit::FileSizeLimit(uint64_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    saved_ = limit.rlim_cur, limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = saved_, setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler_);
}

}  // namespace mireo::test
