#include "test_support.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "numeric.h"

namespace mireo::test {

void fillPalm8(PaletteTable& table) {
    const int levels[6] = {255, 204, 153, 102, 51, 0};
    int row = 0;
    for (int half = 0; half < 2; ++half)
        for (int r : levels)
            for (int bi = 0; bi < 3; ++bi)
                for (int g : levels) {
                    int b = levels[half * 3 + bi];
                    if (r == 0 && g == 0 && b == 0) continue;
                    if (row < table.entries()) table.set(row, float(r), float(g), float(b));
                    ++row;
                }
    const int tail[][3] = {{17, 17, 17},   {34, 34, 34},   {68, 68, 68},   {85, 85, 85}, {119, 119, 119},
                           {136, 136, 136}, {170, 170, 170}, {187, 187, 187}, {221, 221, 221}, {238, 238, 238},
                           {192, 192, 192}, {128, 0, 0},    {128, 0, 128},  {0, 128, 0},  {0, 128, 128}};
    for (const auto& c : tail) {
        if (row < table.entries()) table.set(row, float(c[0]), float(c[1]), float(c[2]));
        ++row;
    }
    // Rows 230 onwards, and the spare entry, stay black (zero).
}

void fillGrey16(PaletteTable& table) {
    for (int i = 0; i < table.entries(); ++i) {
        float v = i < 16 ? float(255 - 17 * i) : 0.0f;
        table.set(i, v, v, v);
    }
}

namespace {

RecordingWindowSystem* current = nullptr;

RecordingWindowSystem::Window* find(int32_t handle) {
    if (!current || !current->exists(handle)) return nullptr;
    return &current->window(handle);
}

MireoWindowSystem recordingFunctions() {
    MireoWindowSystem ws{};
    ws.messageBox = [](void*, const char* text, const char* caption, int32_t icon) {
        current->messages.push_back({text ? text : "", caption ? caption : "", icon});
    };
    ws.createProgress = [](void*, int32_t, const char* caption) -> int32_t {
        current->events.push_back("create");
        if (current->failCreate) return 0;
        current->windows.push_back({});
        current->destroyed.push_back(false);
        current->windows.back().caption = caption ? caption : "";
        return static_cast<int32_t>(current->windows.size());
    };
    ws.showProgress = [](void*, int32_t h) {
        current->events.push_back("show");
        if (auto* w = find(h)) w->visible = true;
    };
    ws.destroyProgress = [](void*, int32_t h) {
        current->events.push_back("destroy");
        if (find(h)) current->destroyed[static_cast<std::size_t>(h - 1)] = true;
    };
    ws.setProgressPosition = [](void*, int32_t h, int32_t pos) {
        current->events.push_back("set");
        if (auto* w = find(h)) {
            w->position = pos;
            w->positions.push_back(pos);
        }
    };
    ws.setProgressText = [](void*, int32_t h, const char* text) {
        if (auto* w = find(h)) {
            w->text = text ? text : "";
            w->texts.push_back(w->text);
        }
    };
    ws.isWindow = [](void*, int32_t h) -> int32_t { return find(h) ? 1 : 0; };
    ws.isWindowVisible = [](void*, int32_t h) -> int32_t {
        auto* w = find(h);
        return w && w->visible ? 1 : 0;
    };
    ws.readCancelLabel = [](void*, int32_t h, char* buffer, int32_t capacity) {
        auto* w = find(h);
        std::string label = w ? w->cancelLabel : "";
        label.resize(std::min<std::size_t>(label.size(), static_cast<std::size_t>(capacity - 1)));
        std::copy(label.begin(), label.end(), buffer);
        buffer[label.size()] = '\0';
    };
    ws.processMessages = [](void*) { current->events.push_back("pump"); };
    return ws;
}

}  // namespace

RecordingWindowSystem::RecordingWindowSystem() {
    if (current) throw std::logic_error("one recording window system at a time");
    current = this;
    MireoWindowSystem ws = recordingFunctions();
    MireoSetWindowSystem(&ws);
}

RecordingWindowSystem::~RecordingWindowSystem() {
    MireoSetWindowSystem(nullptr);
    current = nullptr;
}

bool RecordingWindowSystem::exists(int32_t handle) const {
    return handle >= 1 && static_cast<std::size_t>(handle) <= windows.size() &&
           !destroyed[static_cast<std::size_t>(handle - 1)];
}

void RecordingWindowSystem::close(int32_t handle) { destroyed.at(static_cast<std::size_t>(handle - 1)) = true; }

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

}  // namespace mireo::test
