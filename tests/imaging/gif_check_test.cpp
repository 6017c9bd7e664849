// The GIF check on files of a small writer with its own LZW encoder and of netpbm's, with Qt's reader as judge.
#include <QImage>
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <utility>

#include "imaging/gif_check.h"
#include "test_support.h"

namespace mireo::imaging {
namespace {

using test::Bytes;
using Table = std::vector<QRgb>;
const std::string kDamaged = "The picture is damaged: ", kEndsEarly = kDamaged + "it ends before all its pixels.",
                  kCorrupt = kDamaged + "its image data is corrupt.";

Table palette(int n) {  // up to 200 distinct colours, none black (what Qt leaves where it draws nothing)
    Table t;
    for (int i = 0; i < n; ++i) t.push_back(qRgb(40 + i * 13 % 200, 250 - i * 7 % 200, i * 29 % 256));
    return t;
}
Bytes noise(int count, int colours, uint32_t seed = 1) {
    std::mt19937 rng(seed);
    Bytes p(static_cast<std::size_t>(count));
    for (auto& v : p) v = uint8_t(rng() % unsigned(colours));
    return p;
}
void putRgb(Bytes& b, QRgb c) { b.insert(b.end(), {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))}); }

// One image and what comes before it: by default 20 x 16 noise in the 16 colours of a global table.
struct GifSpec {
    bool version87 = false, extensions = false, interlaced = false, clearWhenFull = true, leadingClear = true;
    int screenWidth = 20, screenHeight = 16, left = 0, top = 0, width = 20, height = 16, minCodeSize = 4;
    Table globalTable = palette(16), localTable;
    std::optional<uint8_t> transparent;  // a graphic control block with this index
    Bytes pixels, afterEndCode;          // pixels top row first, fewer or more than the image on purpose
    Bytes codes;                         // when any, the data's 5-bit codes in place of the pixels'
    std::size_t blockSize = 255;
};
using Change = std::function<void(GifSpec&)>;
GifSpec gif(const Change& change = {}) {
    GifSpec s;
    if (change) change(s);
    if (s.pixels.empty()) s.pixels = noise(s.width * s.height, 1 << s.minCodeSize);
    return s;
}
struct Code {  // with the width the decoder reads it at, and the pixels it stands for
    unsigned value;
    int width, pixels = 0;
};
// The codes an encoder writes for `in`; the width grows once the decoder's next entry needs one more bit.
std::vector<Code> lzwCodes(const Bytes& in, int minCodeSize, bool clearWhenFull = true, bool leadingClear = true) {
    const unsigned clear = 1u << minCodeSize;
    unsigned decoderNext = clear + 2, encoderNext = clear + 2;
    int width = minCodeSize + 1;
    bool first = true;
    std::vector<Code> out;
    std::map<uint32_t, unsigned> entries;
    const auto put = [&](unsigned code, std::size_t pixels) {
        out.push_back({code, width, int(pixels)});
        if (code == clear) width = minCodeSize + 1, decoderNext = clear + 2, first = true;
        else if (!std::exchange(first, false) && decoderNext < 4096 && ++decoderNext >= (1u << width) && width < 12)
            ++width;
    };
    if (leadingClear) put(clear, 0);
    for (std::size_t i = 0, start = 0; i < in.size(); start = i) {
        unsigned prefix = in[i++];
        for (auto found = entries.end(); i < in.size() && (found = entries.find(prefix << 8 | in[i])) != entries.end();)
            prefix = found->second, ++i;
        put(prefix, i - start);
        if (i == in.size()) break;
        if (encoderNext < 4096) entries[prefix << 8 | in[i]] = encoderNext++;
        else if (clearWhenFull) put(clear, 0), entries.clear(), encoderNext = clear + 2;
    }
    put(clear + 1, 0);
    return out;
}
Bytes storedOrder(const GifSpec& s) {  // interlaced rows come in four passes
    if (!s.interlaced) return s.pixels;
    Bytes out;
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < s.height; y += step)
            out.insert(out.end(), s.pixels.begin() + y * s.width, s.pixels.begin() + (y + 1) * s.width);
    return out;
}
// A GIF file and where its parts begin; `done` is just past the data byte that completes the image's last pixel.
struct GifFile {
    Bytes bytes;
    std::size_t control = 0, descriptor = 0, codeSize = 0, done = 0;
    Bytes cut(std::size_t size) const { return Bytes(bytes.begin(), bytes.begin() + long(size)); }
    void insert(std::size_t at, uint8_t byte) { bytes.insert(bytes.begin() + long(at), byte); }
};
GifFile writeGif(const GifSpec& s) {
    std::vector<Code> codes;
    for (uint8_t c : s.codes) codes.push_back({c, 5});
    if (codes.empty()) codes = lzwCodes(storedOrder(s), s.minCodeSize, s.clearWhenFull, s.leadingClear);
    GifFile f;
    Bytes& b = f.bytes;
    const auto put16 = [&](int v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    const auto bits = [](const Table& t) { return std::max(1, int(std::bit_width(t.size() - 1))); };
    const auto flags = [&](const Table& t, int more) { return t.empty() ? 0 : 0x80 | more | (bits(t) - 1); };
    const auto putTable = [&](const Table& t) {  // padded with black to a power of two
        for (std::size_t i = 0; i < (t.empty() ? 0 : 1u << bits(t)); ++i) putRgb(b, i < t.size() ? t[i] : 0);
    };
    b.assign({'G', 'I', 'F', '8', uint8_t(s.version87 ? '7' : '9'), 'a'}), put16(s.screenWidth), put16(s.screenHeight);
    b.insert(b.end(), {uint8_t(flags(s.globalTable, 0x70)), 3, 0}), putTable(s.globalTable);
    f.control = b.size();
    if (s.transparent) b.insert(b.end(), {0x21, 0xF9, 4, 1, 0, 0, *s.transparent, 0});
    if (s.extensions)  // a comment in two sub-blocks, and an application block
        b.insert(b.end(), {0x21, 0xFE, 2, 'h', 'i', 1, '!', 0, 0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E',
                           '2', '.', '0', 3, 1, 0, 0, 0});
    f.descriptor = b.size();
    b.push_back(0x2C), put16(s.left), put16(s.top), put16(s.width), put16(s.height);
    b.push_back(uint8_t(flags(s.localTable, 0) | (s.interlaced ? 0x40 : 0))), putTable(s.localTable);
    f.codeSize = b.size();
    b.push_back(uint8_t(s.minCodeSize));
    Bytes data;
    uint32_t buffer = 0;
    int held = 0, pixels = 0, needed = s.width * s.height;
    std::size_t lastPixelByte = 0;
    for (const Code& c : codes) {
        for (buffer |= c.value << held, held += c.width; held >= 8; held -= 8, buffer >>= 8)
            data.push_back(uint8_t(buffer));
        if (pixels < needed && (pixels += c.pixels) >= needed) lastPixelByte = data.size() - (held == 0);
    }
    if (held > 0) data.push_back(uint8_t(buffer));
    data.insert(data.end(), s.afterEndCode.begin(), s.afterEndCode.end());
    f.done = b.size() + 2 + lastPixelByte + lastPixelByte / s.blockSize;
    for (std::size_t i = 0, n = 0; i < data.size(); i += n) {
        n = std::min(s.blockSize, data.size() - i);
        b.push_back(uint8_t(n)), b.insert(b.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    b.insert(b.end(), {0, 0x3B});
    return f;
}
QImage qtRead(const Bytes& file, bool safely = false) {  // safely: as the program reads a file the check passed
    const Bytes read = safely ? gifSafeForQt(file).value_or(file) : file;
    return QImage::fromData(read.data(), int(read.size()), "gif");
}
// The image's pixels shown otherwise than drawn, but for those the file leaves open (transparent, past the table).
int wronglyShown(const GifSpec& s, const QImage& shown) {
    const Table& table = s.localTable.empty() ? s.globalTable : s.localTable;
    int wrong = 0;
    for (int p = 0; p < s.width * s.height; ++p)
        if (const uint8_t i = s.pixels[std::size_t(p)]; i != s.transparent && i < table.size())
            wrong += shown.pixel(s.left + p % s.width, s.top + p / s.width) != table[i];
    return wrong;
}
void large(GifSpec& s) {  // fills the LZW table
    s.width = s.screenWidth = 90, s.height = s.screenHeight = 80, s.globalTable = palette(256), s.minCodeSize = 8;
}
void smaller(GifSpec& s) { s.left = 3, s.top = 2, s.width = 11, s.height = 9, s.localTable = palette(16); }

// Each kind passes, Qt shows it as drawn, and its data cut short or a pixel short is refused.  Qt 6.4 paints around
// an image that has its own table and does not cover the screen from that table unread, where there is a transparent
// index or a global table: just there the table is made global, and Qt shows it as if written so.
TEST(GifCheck, PassesEveryWellFormedKindRefusesItsCutsAndMakesItSafeForQt) {
    std::vector<std::tuple<std::string, Change, bool>> kinds = {
        {"GIF87a, 2 colours, no clear first", [](GifSpec& s) {
             s.version87 = true, s.globalTable = palette(2), s.minCodeSize = 2, s.leadingClear = false;
         }, false},
        {"code size 1", [](GifSpec& s) { s.globalTable = palette(2), s.minCodeSize = 1, s.blockSize = 1; }, false},
        {"256 colours, clears on a full table", large, false},
        {"256 colours, full table kept", [](GifSpec& s) { large(s), s.clearWhenFull = false; }, false},
        {"interlaced", [](GifSpec& s) { s.interlaced = true, s.globalTable = palette(256), s.minCodeSize = 8; }, false},
        {"one colour (the entry being made), bytes after the end code",
         [](GifSpec& s) { s.pixels = Bytes(320, 5), s.afterEndCode = Bytes(40, 0xA5); }, false},
        {"one pixel", [](GifSpec& s) { s.width = s.height = 1, s.pixels = {7}; }, false},
        {"extensions, 1-byte blocks, no screen size", [](GifSpec& s) {
             s.extensions = true, s.blockSize = 1, s.screenWidth = s.screenHeight = 0, s.left = 5, s.top = 1;
         }, false},
        {"more pixels than the image, past the table",
         [](GifSpec& s) { s.pixels = noise(400, 16), s.globalTable = palette(5); }, false},
        {"own table only, smaller", [](GifSpec& s) { smaller(s), s.globalTable.clear(); }, false},
        {"covering, transparent", [](GifSpec& s) { s.localTable = palette(16), s.transparent = 2; }, false},
        {"global only, transparent", [](GifSpec& s) { smaller(s), s.localTable.clear(), s.transparent = 2; }, false},
        {"both tables, smaller", smaller, true},
        {"own, smaller, transparent", [](GifSpec& s) { smaller(s), s.globalTable.clear(), s.transparent = 2; }, true},
        {"narrower, interlaced, transparent", [](GifSpec& s) {
             s.localTable = palette(16), s.left = 4, s.width = 16, s.interlaced = true, s.transparent = 2;
         }, true},
        {"no screen size", [](GifSpec& s) { smaller(s), s.screenWidth = s.screenHeight = 0, s.transparent = 1; }, true},
        {"extensions, 50-byte blocks",
         [](GifSpec& s) { smaller(s), s.extensions = true, s.transparent = 1, s.blockSize = 50; }, true},
    };
    for (const auto& [name, change, moves] : kinds) {
        SCOPED_TRACE(name);
        const GifSpec spec = gif(change);
        const GifFile file = writeGif(spec);
        for (std::size_t size = 1; size <= file.bytes.size(); ++size)
            ASSERT_EQ(gifDamage(file.cut(size)), size < file.done ? kEndsEarly : "") << "cut to " << size;
        GifSpec shorter = spec;
        shorter.pixels = storedOrder(spec), shorter.interlaced = false;
        shorter.pixels.resize(std::size_t(spec.width * spec.height - 1));
        EXPECT_EQ(gifDamage(writeGif(shorter).bytes), kEndsEarly) << "a pixel short";
        const QImage shown = qtRead(file.bytes, true);
        EXPECT_EQ(wronglyShown(spec, shown), 0);
        EXPECT_EQ(qtRead(file.cut(file.done), true), shown);
        EXPECT_FALSE(gifSafeForQt(file.cut(file.done - 1)));
        const std::optional<Bytes> safe = gifSafeForQt(file.bytes);
        ASSERT_EQ(safe.has_value(), moves);
        if (!safe) continue;
        EXPECT_EQ(gifDamage(*safe), "");
        EXPECT_FALSE(gifSafeForQt(*safe));
        const Change global = [&](GifSpec& s) { s = spec, s.globalTable = spec.localTable, s.localTable.clear(); };
        EXPECT_EQ(qtRead(*safe), qtRead(writeGif(gif(global)).bytes));
    }
}

TEST(GifCheck, RefusesBrokenBlocksAndCodesWithTheirReason) {
    // A file with a transparent index and 20-byte blocks, changed and then edited.
    const auto written = [](const Change& c, const std::function<void(GifFile&)>& edit = {}) {
        GifFile file = writeGif(gif([&](GifSpec& s) { s.transparent = 1, s.blockSize = 20, c ? c(s) : void(); }));
        if (edit) edit(file);
        return file.bytes;
    };
    const auto coded = [&](const Bytes& codes) { return written([&](GifSpec& s) { s.codes = codes; }); };
    const std::string malformed = kDamaged + "one of its blocks is malformed.";
    const std::string outside = kDamaged + "its image does not fit inside the picture.";
    const std::tuple<const char*, Bytes, std::string> cases[] = {
        {"GIF88a", written({}, [](GifFile& f) { f.bytes[4] = '8'; }), "The picture is not a GIF file."},
        {"the trailer first", written({}, [](GifFile& f) { f.insert(f.descriptor, 0x3B); }),
         kDamaged + "it holds no image."},
        {"an unknown block", written({}, [](GifFile& f) { f.insert(f.descriptor, 0); }), malformed},
        {"a 3-byte graphic control block", written({}, [](GifFile& f) {
             f.bytes[f.control + 2] = 3, f.bytes.erase(f.bytes.begin() + long(f.control) + 6);
         }), malformed},
        {"code size 0", written({}, [](GifFile& f) { f.bytes[f.codeSize] = 0; }), kCorrupt},
        {"code size 9", written({}, [](GifFile& f) { f.bytes[f.codeSize] = 9; }), kCorrupt},
        {"a terminator after block 1", written({}, [](GifFile& f) { f.insert(f.codeSize + 22, 0); }), kEndsEarly},
        {"no width", written([](GifSpec& s) { s.width = 0, s.pixels = {1}; }), kDamaged + "its image has no pixels."},
        {"past the right edge", written([](GifSpec& s) { s.left = 1; }), outside},
        {"past the bottom", written([](GifSpec& s) { s.top = 1; }), outside},
        // The clear is 16, the end 17; each code but the first after a clear makes an entry, from 18 on.
        {"past the entry being made", coded({16, 1, 2, 3, 4, 22}), kCorrupt},
        {"an entry first", coded({16, 18}), kCorrupt},
        {"an entry after a clear", coded({16, 1, 2, 16, 18}), kCorrupt},
        {"the end code halfway", coded({16, 1, 2, 17}), kEndsEarly},
        {"the data stopping halfway", coded({16, 1, 2}), kEndsEarly},
        {"no code but the end", coded({16, 17}), kEndsEarly},
    };
    for (const auto& [name, file, reason] : cases) EXPECT_EQ(gifDamage(file), reason) << name;
    for (uint32_t seed = 1; seed <= 20; ++seed)
        EXPECT_NE(gifDamage(coded(noise(320, 32, seed))), "") << "random data, seed " << seed;
    EXPECT_TRUE(looksLikeGif(written({})));
    EXPECT_FALSE(looksLikeGif(std::get<1>(cases[0])));
}

TEST(GifCheck, PassesNetpbmFilesAndRefusesTheirCuts) {
    if (std::system("command -v pamtogif > /dev/null") != 0) GTEST_SKIP() << "pamtogif (Debian's netpbm) is missing";
    test::ScratchDir dir;
    const GifSpec spec =
        gif([](GifSpec& s) { large(s), s.globalTable = palette(200), s.pixels = noise(90 * 80, 200, 7); });
    Bytes ppm = {'P', '6', ' ', '9', '0', ' ', '8', '0', ' ', '2', '5', '5', '\n'};
    for (uint8_t i : spec.pixels) putRgb(ppm, spec.globalTable[i]);
    test::writeFile(dir.file("in.ppm"), ppm);
    for (const std::string option : {"", "-interlace"}) {  // each with its own colour table and LZW choices
        const std::string command = "pamtogif " + option + " " + dir.file("in.ppm") + " > " + dir.file("out.gif");
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const Bytes file = test::readFile(dir.file("out.gif"));
        EXPECT_EQ(gifDamage(file), "") << option;
        EXPECT_EQ(wronglyShown(spec, qtRead(file)), 0) << option;
        // Seven bytes off the end take the trailer, the terminator and three data bytes: more than the end code.
        for (std::size_t size = 1; size + 6 < file.size(); size += 7)
            ASSERT_EQ(gifDamage(std::span(file).first(size)), kEndsEarly) << option << " cut to " << size;
        EXPECT_EQ(gifDamage(std::span(file).first(file.size() - 1)), "") << option << " without its trailer";
    }
}

}  // namespace
}  // namespace mireo::imaging
