// Shared helpers of the library tests: argument builders, a window system
// that records what the library shows, and scratch folders.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "mireocore.h"

namespace mireo::test {

// A string argument that owns its text.
struct StringArg {
    std::string text;
    MireoString arg{};
    // `capacity` larger than the text leaves room that the library may fill.
    explicit StringArg(std::string s, int32_t capacity = 0) : text(std::move(s)) {
        auto length = static_cast<int32_t>(text.size());
        if (static_cast<std::size_t>(capacity) > text.size()) text.resize(static_cast<std::size_t>(capacity));
        arg.text = text.data();
        arg.length = length;
        arg.capacity = static_cast<int32_t>(text.size());
    }
    StringArg(const StringArg&) = delete;
    StringArg& operator=(const StringArg&) = delete;
    const MireoString* operator&() const { return &arg; }
    MireoString* get() { return &arg; }
    std::string value() const { return std::string(arg.text, static_cast<std::size_t>(arg.length)); }
};

// A one-dimensional byte array with lower bound 1, as the program passes it.
inline MireoArray byteArray(std::vector<uint8_t>& bytes) {
    MireoArray a{};
    a.data = bytes.data();
    a.dims = 1;
    a.elementSize = 1;
    a.count[0] = static_cast<int32_t>(bytes.size());
    a.lowerBound[0] = 1;
    return a;
}

// A palette table of `entries` x 4 single-precision numbers, entry fastest.
struct PaletteTable {
    std::vector<float> values;
    MireoArray arg{};
    explicit PaletteTable(int32_t entries) : values(static_cast<std::size_t>(entries) * 4) {
        arg.data = values.data();
        arg.dims = 2;
        arg.elementSize = 4;
        arg.count[0] = entries;
        arg.count[1] = 4;
    }
    PaletteTable(const PaletteTable&) = delete;
    PaletteTable& operator=(const PaletteTable&) = delete;
    int32_t entries() const { return arg.count[0]; }
    void set(int32_t entry, float r, float g, float b) {
        if (entry < 0 || entry >= entries()) throw std::out_of_range("palette entry");
        values[static_cast<std::size_t>(entry)] = r;
        values[static_cast<std::size_t>(entries() + entry)] = g;
        values[static_cast<std::size_t>(2 * entries() + entry)] = b;
    }
    const MireoArray* operator&() const { return &arg; }
};

// The Palm OS 8-bit system palette (257 entries) and the 16 greys (17).
void fillPalm8(PaletteTable& table);
void fillGrey16(PaletteTable& table);

// Records every message box and progress call; installed for its lifetime.
class RecordingWindowSystem {
public:
    struct Message {
        std::string text;
        std::string caption;
        int32_t icon;
    };
    struct Window {
        bool visible = false;
        int32_t position = 0;
        std::string caption, text, cancelLabel;
        std::vector<int32_t> positions;
        std::vector<std::string> texts;
    };

    RecordingWindowSystem();
    ~RecordingWindowSystem();
    RecordingWindowSystem(const RecordingWindowSystem&) = delete;
    RecordingWindowSystem& operator=(const RecordingWindowSystem&) = delete;

    std::vector<Message> messages;
    std::vector<Window> windows;  // index = handle - 1
    std::vector<std::string> events;  // "create", "show", "set", "pump", "destroy"
    bool failCreate = false;

    Window& window(int32_t handle) { return windows.at(static_cast<std::size_t>(handle - 1)); }
    bool exists(int32_t handle) const;
    void close(int32_t handle);  // as if the user closed it
    std::vector<bool> destroyed;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::filesystem::path path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::vector<uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A compressed stream: its 4-byte big-endian length, then the codes.
std::vector<uint8_t> codecStream(const std::vector<uint8_t>& codes);

}  // namespace mireo::test
