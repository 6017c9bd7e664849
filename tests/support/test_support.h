// Shared helpers of the library tests: argument builders, palette tables, a
// window system that records what the library shows, and scratch folders.
#pragma once

#include <filesystem>
#include <functional>

#include "codecs.h"
#include "errors.h"
#include "imaging/palettes.h"
#include "mireocore.h"

namespace mireo::test {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

// Holders that point into themselves or clean up after themselves.
struct NoCopy {
    NoCopy() = default;
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

// A string argument that owns its text; a `capacity` larger than the text
// leaves room that the library may fill.
struct StringArg : NoCopy {
    std::string text;
    MireoString arg{};
    explicit StringArg(std::string s, int32_t capacity = 0) : text(std::move(s)) {
        auto length = static_cast<int32_t>(text.size());
        if (static_cast<std::size_t>(capacity) > text.size()) text.resize(static_cast<std::size_t>(capacity));
        arg = {text.data(), length, static_cast<int32_t>(text.size())};
    }
    const MireoString* operator&() const { return &arg; }
    MireoString* get() { return &arg; }
    std::string value() const { return std::string(arg.text, static_cast<std::size_t>(arg.length)); }
};

// A one-dimensional byte array with lower bound 1, as the program passes it.
inline MireoArray byteArray(Bytes& bytes) { return {bytes.data(), 1, 1, {static_cast<int32_t>(bytes.size()), 0}, {1, 0}}; }

// A palette table together with the descriptor the library reads it by.
struct Table {
    imaging::PaletteTable values;
    MireoArray array;
    explicit Table(imaging::PaletteTable t) : values(std::move(t)), array(values.descriptor()) {}
    explicit Table(int32_t entries) : Table(imaging::PaletteTable(entries)) {}
    Table(Table&&) = default;  // the moved values keep their storage, so the descriptor stays right
    const MireoArray* arg() const { return &array; }
    int32_t entries() const { return values.entries(); }
    void set(int32_t entry, int r, int g, int b) { values.set(entry, r, g, b); }
    // A value that is no whole number, written straight into the table.
    void setExact(int32_t entry, float r, float g, float b) {
        auto* d = static_cast<float*>(array.data);
        d[entry] = r, d[entries() + entry] = g, d[2 * entries() + entry] = b;
    }
};
inline Table palm8Table() { return Table(imaging::palm8Palette()); }
inline Table grey16Table() { return Table(imaging::grey16Palette()); }

// Records every message box and progress call; installed for its lifetime.
// With `watched`, every event also tells whether that file exists then.
class RecordingWindowSystem : NoCopy {
public:
    struct Message { std::string text, caption; int32_t icon; };
    struct Window {
        bool visible = false, destroyed = false;
        std::string caption, cancelLabel;
        std::vector<int32_t> positions;
        std::vector<std::string> texts;
    };
    explicit RecordingWindowSystem(std::string watched = {});
    ~RecordingWindowSystem();

    Window& window(int32_t handle) { return windows.at(static_cast<std::size_t>(handle - 1)); }
    bool exists(int32_t h) const { return h >= 1 && std::size_t(h) <= windows.size() && !windows[std::size_t(h - 1)].destroyed; }
    void close(int32_t handle) { window(handle).destroyed = true; }  // as if the user closed it
    void log(const std::string& event) {
        events.push_back(watched.empty() ? event : event + (std::filesystem::exists(watched) ? " (file)" : " (no file)"));
    }
    // The texts of the messages shown so far, which are then forgotten.
    Texts takeTexts() {
        Texts texts;
        for (const Message& m : messages) texts.push_back(m.text);
        return messages.clear(), texts;
    }

    std::vector<Message> messages;
    std::vector<Window> windows;      // index = handle - 1
    std::vector<std::string> events;  // create, show, set, pump, destroy, "message <text>"
    bool failCreate = false;
    std::string watched;
};

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchDir : NoCopy {
public:
    ScratchDir();
    ~ScratchDir();
    std::filesystem::path path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
private:
    std::filesystem::path path_;
};

// Builds databases with CompilePDB from working BMPs in a scratch folder.
struct PdbOptions {
    int16_t depth = 16, compress = 0;
    int32_t blockSize = 51200;
    std::string name = "Backdrop";
    int32_t nameCapacity = 32;
    const MireoArray* palm8 = nullptr;  // the program's table when null
};
class PdbMaker {
public:
    // A working BMP of the picture `bgr` (blue, green, red, top row first).
    std::string source(int32_t w, int32_t h, const Bytes& bgr);
    std::string plain(int32_t w, int32_t h, uint8_t value = 0xFF) { return source(w, h, Bytes(std::size_t(3 * w * h), value)); }
    // CompilePDB into out.pdb: the file's bytes, or nothing when none exists.
    Bytes compile(const std::string& src, int32_t w, int32_t h, const PdbOptions& o = {});

    ScratchDir dir;
    Table grey = grey16Table(), palm8 = palm8Table();
    int32_t fileSize = -1;
    std::string nameBack;
};

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& bytes);
// The pixels of a written w x h BMP, blue, green, red, top row first; fails
// the test on a wrong file size or pad bytes that are not zero.
Bytes bmpPixels(const Bytes& file, int32_t w, int32_t h);

// The number of the RuntimeError or DecodeError that `f` raises; 0 for none.
template <class F>
int errorNumberOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number;
    } catch (const DecodeError& e) {
        return e.number;
    }
    return 0;
}

// Runs `f` while the files this process writes may hold at most `bytes`
// bytes (no limit for 0).
void withFileSizeLimit(uint64_t bytes, const std::function<void()>& f);

}  // namespace mireo::test
