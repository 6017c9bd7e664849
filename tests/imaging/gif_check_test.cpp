// The GIF check: every kind of GIF that Qt reads in full passes it, and Qt
// then shows the image as it was drawn; a file cut anywhere before its first
// image's last pixel, or whose codes no decoder can follow, is refused.  The
// files come from a small GIF writer with its own LZW encoder, and from
// netpbm's encoder.
#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>

#include "imaging/gif_check.h"
#include "test_support.h"

namespace mireo::imaging {
namespace {

using test::Bytes;

const std::string kEndsEarly = "The picture is damaged: it ends before all its pixels.";
const std::string kCorrupt = "The picture is damaged: its image data is corrupt.";

using Table = std::vector<QRgb>;
struct Code {
    unsigned value;
    int width;
};

// One image and what comes before it.
struct GifSpec {
    bool version87 = false;
    int screenWidth = 20, screenHeight = 16;
    Table globalTable;
    uint8_t background = 3;
    std::optional<uint8_t> transparent;  // a graphic control block with this index
    bool extensions = false;             // a comment and an application block
    int left = 0, top = 0, width = 20, height = 16;
    bool interlaced = false;
    Table localTable;
    int minCodeSize = 4;
    Bytes pixels;  // top row first; fewer or more than width x height on purpose
    bool clearWhenFull = true, leadingClear = true;
    std::size_t blockSize = 255;
    Bytes afterEndCode;  // bytes left in the data after the end code
};

// Up to 200 distinct colours, none black (what Qt leaves where it draws nothing).
Table palette(int n) {
    Table t;
    for (int i = 0; i < n; ++i) t.push_back(qRgb(40 + i * 13 % 200, 250 - i * 7 % 200, i * 29 % 256));
    return t;
}

Bytes noise(int count, int colours, unsigned seed = 1) {
    std::mt19937 rng(seed);
    Bytes p(static_cast<std::size_t>(count));
    for (auto& v : p) v = uint8_t(rng() % unsigned(colours));
    return p;
}

// The codes a GIF encoder writes for `in`, each with the width the decoder
// reads it at: the width grows once the decoder's next entry needs a bit more.
std::vector<Code> lzwCodes(const Bytes& in, int minCodeSize, bool clearWhenFull, bool leadingClear) {
    const unsigned clear = 1u << minCodeSize;
    std::vector<Code> out;
    int width = minCodeSize + 1;
    unsigned decoderNext = clear + 2, encoderNext = clear + 2;
    bool first = true;
    std::map<uint32_t, unsigned> entries;
    const auto put = [&](unsigned code) {
        out.push_back({code, width});
        if (code == clear) {
            width = minCodeSize + 1, decoderNext = clear + 2, first = true;
        } else if (first) {
            first = false;
        } else if (decoderNext < 4096 && ++decoderNext >= (1u << width) && width < 12) {
            ++width;
        }
    };
    if (leadingClear) put(clear);
    for (std::size_t i = 0; i < in.size();) {
        unsigned prefix = in[i++];
        for (auto found = entries.end(); i < in.size() && (found = entries.find(prefix << 8 | in[i])) != entries.end();)
            prefix = found->second, ++i;
        put(prefix);
        if (i == in.size()) break;
        if (encoderNext < 4096) {
            entries[prefix << 8 | in[i]] = encoderNext++;
        } else if (clearWhenFull) {
            put(clear);
            entries.clear(), encoderNext = clear + 2;
        }
    }
    put(clear + 1);
    return out;
}

Bytes interlacedRows(const Bytes& pixels, int width, int height) {
    Bytes out;
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < height; y += step)
            out.insert(out.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
    return out;
}

// A GIF file and where its parts begin; "pixels done" is just past the data
// byte that completes the last pixel's code.
struct GifFile {
    Bytes bytes;
    std::map<std::string, std::size_t> at;
    Bytes cut(std::size_t size) const { return Bytes(bytes.begin(), bytes.begin() + long(size)); }
};

GifFile writeGif(const GifSpec& s, const std::vector<Code>& codes) {
    GifFile f;
    Bytes& b = f.bytes;
    const auto put16 = [&](int v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    const auto bits = [](const Table& t) { return t.empty() ? 0 : std::max(1, int(std::bit_width(t.size() - 1))); };
    const auto putTable = [&](Table t) {  // padded with black to a power of two
        t.resize(t.empty() ? 0 : std::size_t{1} << bits(t), qRgb(0, 0, 0));
        for (QRgb c : t) b.insert(b.end(), {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))});
    };
    const auto putBlocks = [&](const Bytes& data, std::size_t size) {
        for (std::size_t i = 0; i < data.size(); i += size) {
            b.push_back(uint8_t(std::min(size, data.size() - i)));
            b.insert(b.end(), data.begin() + long(i), data.begin() + long(std::min(i + size, data.size())));
        }
        b.push_back(0);
    };
    const char* signature = s.version87 ? "GIF87a" : "GIF89a";
    b.assign(signature, signature + 6);
    put16(s.screenWidth), put16(s.screenHeight);
    b.insert(b.end(), {uint8_t(s.globalTable.empty() ? 0 : 0xF0 | (bits(s.globalTable) - 1)), s.background, 0});
    putTable(s.globalTable);
    f.at["control"] = b.size();
    if (s.transparent) b.insert(b.end(), {0x21, 0xF9, 4, 1, 0, 0, *s.transparent, 0});
    if (s.extensions) {
        b.insert(b.end(), {0x21, 0xFE}), putBlocks(Bytes(300, 'c'), 100);
        b.insert(b.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
    }
    f.at["descriptor"] = b.size();
    b.push_back(0x2C), put16(s.left), put16(s.top), put16(s.width), put16(s.height);
    b.push_back(uint8_t((s.localTable.empty() ? 0 : 0x80 | (bits(s.localTable) - 1)) | (s.interlaced ? 0x40 : 0)));
    putTable(s.localTable);
    f.at["code size"] = b.size();
    b.push_back(uint8_t(s.minCodeSize));
    Bytes data;
    uint32_t buffer = 0;
    int held = 0, pixelBits = 0;
    for (const Code& c : codes) {
        buffer |= c.value << held, held += c.width, pixelBits += c.width;
        for (; held >= 8; held -= 8, buffer >>= 8) data.push_back(uint8_t(buffer));
    }
    if (held > 0) data.push_back(uint8_t(buffer));
    data.insert(data.end(), s.afterEndCode.begin(), s.afterEndCode.end());
    const std::size_t lastPixelByte = std::size_t(pixelBits - codes.back().width + 7) / 8 - 1;
    f.at["pixels done"] = b.size() + 2 + lastPixelByte + lastPixelByte / s.blockSize;
    putBlocks(data, s.blockSize);
    b.push_back(0x3B);
    return f;
}

GifFile writeGif(const GifSpec& s) {
    const Bytes order = s.interlaced ? interlacedRows(s.pixels, s.width, s.height) : s.pixels;
    return writeGif(s, lzwCodes(order, s.minCodeSize, s.clearWhenFull, s.leadingClear));
}

// 20 x 16 noise in 16 colours of a global table, or with `change` applied;
// large() is 90 x 80 in 256 colours, which fills the LZW table.
GifSpec plainGif(const std::function<void(GifSpec&)>& change = {}) {
    GifSpec s;
    s.globalTable = palette(16);
    if (change) change(s);
    if (s.pixels.empty()) s.pixels = noise(s.width * s.height, 1 << s.minCodeSize);
    return s;
}

GifSpec large(bool clearWhenFull) {
    GifSpec s;
    s.width = s.screenWidth = 90, s.height = s.screenHeight = 80, s.globalTable = palette(256), s.minCodeSize = 8;
    s.clearWhenFull = clearWhenFull;
    return s;
}

QImage qtRead(const Bytes& file) {
    QByteArray bytes(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "gif").read();
}

// As the program reads a GIF that the check accepted.
QImage qtReadSafely(const Bytes& file) { return qtRead(gifSafeForQt(file).value_or(file)); }

// The pixels of the image that differ from what the writer drew, leaving
// out those the file leaves open (transparent, or past the colour table).
int wronglyShown(const GifSpec& s, const QImage& shown) {
    const Table& table = s.localTable.empty() ? s.globalTable : s.localTable;
    int wrong = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const uint8_t index = s.pixels[std::size_t(y * s.width + x)];
            if (index == s.transparent || index >= table.size()) continue;
            wrong += shown.pixel(s.left + x, s.top + y) != table[index];
        }
    return wrong;
}

TEST(GifCheck, PassesEveryWellFormedKindAndQtShowsItAsDrawn) {
    const std::pair<const char*, GifSpec> kinds[] = {
        {"GIF87a in two colours",
         plainGif([](GifSpec& s) { s.version87 = true, s.globalTable = palette(2), s.minCodeSize = 2; })},
        {"code size 1", plainGif([](GifSpec& s) { s.globalTable = palette(2), s.minCodeSize = 1; })},
        {"256 colours, clears on a full table", plainGif([](GifSpec& s) { s = large(true); })},
        {"256 colours, full table kept", plainGif([](GifSpec& s) { s = large(false); })},
        {"one colour (codes for the entry being made)", plainGif([](GifSpec& s) { s.pixels = Bytes(320, 5); })},
        {"interlaced", plainGif([](GifSpec& s) { s.interlaced = true; })},
        {"smaller image at an offset", plainGif([](GifSpec& s) { s.left = 3, s.top = 2, s.width = 11, s.height = 9; })},
        {"own table only", plainGif([](GifSpec& s) { s.localTable = palette(16), s.globalTable.clear(); })},
        {"own and global tables", plainGif([](GifSpec& s) { s.localTable = palette(16), s.globalTable = palette(4); })},
        {"own table, smaller, transparent", plainGif([](GifSpec& s) {
             s.localTable = palette(16), s.left = 4, s.width = 16, s.transparent = 2, s.interlaced = true;
         })},
        {"no colour table", plainGif([](GifSpec& s) { s.globalTable.clear(); })},
        {"extensions, one-byte sub-blocks", plainGif([](GifSpec& s) { s.extensions = true, s.blockSize = 1; })},
        {"no screen size", plainGif([](GifSpec& s) { s.screenWidth = s.screenHeight = 0, s.left = 5, s.top = 1; })},
        {"bytes after the end code", plainGif([](GifSpec& s) { s.afterEndCode = Bytes(40, 0xA5); })},
        {"more pixels than the image", plainGif([](GifSpec& s) { s.pixels = noise(400, 16); })},
        {"no clear code first", plainGif([](GifSpec& s) { s.leadingClear = false; })},
        {"indices past the table", plainGif([](GifSpec& s) { s.globalTable = palette(5); })},
    };
    for (const auto& [name, spec] : kinds) {
        const Bytes file = writeGif(spec).bytes;
        EXPECT_EQ(gifDamage(file), "") << name;
        const QImage shown = qtReadSafely(file);
        ASSERT_FALSE(shown.isNull()) << name;
        EXPECT_EQ(wronglyShown(spec, shown), 0) << name;
    }
}

// Every cut before the byte that completes the last pixel is refused, and
// every later one passes; Qt shows the shortest passing file in full.
TEST(GifCheck, RefusesEveryCutBeforeTheLastPixel) {
    const std::pair<const char*, GifSpec> kinds[] = {
        {"extensions and both tables", plainGif([](GifSpec& s) {
             s.extensions = true, s.transparent = 1, s.localTable = palette(16), s.left = 2, s.top = 3, s.width = 15;
             s.height = 11, s.blockSize = 50;
         })},
        {"interlaced, 256 colours",
         plainGif([](GifSpec& s) { s.interlaced = true, s.globalTable = palette(256), s.minCodeSize = 8; })},
        {"code size 1, one-byte blocks",
         plainGif([](GifSpec& s) { s.globalTable = palette(2), s.minCodeSize = 1, s.blockSize = 1; })},
        {"one pixel", plainGif([](GifSpec& s) { s.width = s.height = 1, s.pixels = {7}; })},
    };
    for (const auto& [name, spec] : kinds) {
        const GifFile file = writeGif(spec);
        const std::size_t done = file.at.at("pixels done");
        for (std::size_t size = 1; size <= file.bytes.size(); ++size) {
            const std::string expected = size < done ? kEndsEarly : "";
            ASSERT_EQ(gifDamage(std::span(file.bytes).first(size)), expected) << name << " cut to " << size;
        }
        EXPECT_EQ(qtReadSafely(file.cut(done)), qtReadSafely(file.bytes)) << name;
    }
}

TEST(GifCheck, RefusesCodesNoDecoderCanFollow) {
    const GifSpec spec = plainGif();
    const unsigned clear = 16, end = 17;  // code size 4; the first table entry is 18
    const std::vector<Code> codes = lzwCodes(spec.pixels, 4, true, true);
    using Change = std::function<void(std::vector<Code>&)>;
    const std::tuple<const char*, Change, std::string> cases[] = {
        // Code 0 is the clear, 1 the first pixel; code i > 1 finds entries up to 18 + i - 3.
        {"past the entry being made", [&](auto& c) { c[5].value = clear + 6; }, kCorrupt},
        {"an entry as the first code", [&](auto& c) { c[1].value = clear + 2; }, kCorrupt},
        {"an entry right after a clear",
         [&](auto& c) { c.insert(c.begin() + 40, {clear, c[40].width}), c[41] = {clear + 2, 5}; }, kCorrupt},
        {"the end code halfway", [&](auto& c) { c[40].value = end; }, kEndsEarly},
        {"the data stopping halfway", [&](auto& c) { c.resize(40); }, kEndsEarly},
        {"no code but the end", [&](auto& c) { c = {{clear, 5}, {end, 5}}; }, kEndsEarly},
    };
    for (const auto& [name, change, reason] : cases) {
        std::vector<Code> changed = codes;
        change(changed);
        EXPECT_EQ(gifDamage(writeGif(spec, changed).bytes), reason) << name;
    }
    // A terminator before the second of 20-byte sub-blocks ends the data,
    // though the rest of the data follows.
    GifSpec blocks = spec;
    blocks.blockSize = 20;
    GifFile early = writeGif(blocks);
    early.bytes.insert(early.bytes.begin() + long(early.at["code size"] + 22), 0);
    EXPECT_EQ(gifDamage(early.bytes), kEndsEarly) << "a terminator in the data";
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::vector<Code> random;
        for (uint8_t byte : noise(200, 256, seed)) random.push_back({byte, 8});
        EXPECT_NE(gifDamage(writeGif(spec, random).bytes), "") << "random data, seed " << seed;
    }
}

TEST(GifCheck, RefusesBrokenStructureWithItsReason) {
    const auto changed = [](const GifSpec& spec, const std::function<void(GifFile&)>& change) {
        GifFile file = writeGif(spec);
        change(file);
        return file.bytes;
    };
    const auto insertAt = [](const char* part, uint8_t byte) {
        return [=](GifFile& f) { f.bytes.insert(f.bytes.begin() + long(f.at[part]), byte); };
    };
    const auto setAt = [](const char* part, std::size_t offset, uint8_t byte) {
        return [=](GifFile& f) { f.bytes[f.at[part] + offset] = byte; };
    };
    const GifSpec plain = plainGif(), transparent = plainGif([](GifSpec& s) { s.transparent = 1; });
    const auto otherSignature = [](GifFile& f) { f.bytes[4] = '8'; };  // GIF88a
    const auto written = [](const std::function<void(GifSpec&)>& change) { return writeGif(plainGif(change)).bytes; };
    const std::string damaged = "The picture is damaged: ", malformed = damaged + "one of its blocks is malformed.",
                      outside = damaged + "its image does not fit inside the picture.";
    const std::tuple<const char*, Bytes, std::string> cases[] = {
        {"another signature", changed(plain, otherSignature), "The picture is not a GIF file."},
        {"the trailer before any image", changed(plain, insertAt("descriptor", 0x3B)), damaged + "it holds no image."},
        {"an unknown block", changed(plain, insertAt("descriptor", 0x00)), malformed},
        {"a three-byte graphic control block", changed(transparent, setAt("control", 2, 3)), malformed},
        {"code size 0", changed(plain, setAt("code size", 0, 0)), kCorrupt},
        {"code size 9", changed(plain, setAt("code size", 0, 9)), kCorrupt},
        {"an image of no width", written([](GifSpec& s) { s.width = 0, s.pixels = {1}; }),
         damaged + "its image has no pixels."},
        {"past the right edge", written([](GifSpec& s) { s.left = 1; }), outside},
        {"past the bottom", written([](GifSpec& s) { s.top = 1; }), outside},
    };
    for (const auto& [name, file, reason] : cases) EXPECT_EQ(gifDamage(file), reason) << name;
    EXPECT_TRUE(looksLikeGif(writeGif(plain).bytes));
    EXPECT_FALSE(looksLikeGif(changed(plain, otherSignature)));
}

// Interlaced rows come in four passes; whatever the height, Qt shows the
// whole image exactly when the check counts all its pixels.  Each row has
// a colour of its own, so that no row can pass for another.  (Qt 6.4 puts
// the rows of a 3- or 4-row interlaced image in the wrong places, however
// complete; netpbm reads them right, and no import is that small.)
TEST(GifCheck, AgreesWithQtOnInterlacedPixelCounts) {
    for (int height = 1; height <= 17; ++height) {
        for (int extra : {-1, 0, 1}) {
            const GifSpec spec = plainGif([&](GifSpec& s) {
                s.globalTable = palette(32), s.minCodeSize = 5, s.interlaced = true, s.width = s.screenWidth = 3;
                s.height = s.screenHeight = height;
                for (int y = 0; y < height; ++y) s.pixels.insert(s.pixels.end(), 3, uint8_t(y));
            });
            // One pixel fewer or more than the image holds, in the order they are stored.
            Bytes stored = interlacedRows(spec.pixels, 3, height);
            stored.resize(std::size_t(3 * height + extra), uint8_t(31));
            const Bytes file = writeGif(spec, lzwCodes(stored, 5, true, true)).bytes;
            EXPECT_EQ(gifDamage(file), extra < 0 ? kEndsEarly : "") << height << " rows, extra " << extra;
            if (height == 3 || height == 4) continue;
            EXPECT_EQ(wronglyShown(spec, qtRead(file)) == 0, extra >= 0) << height << " rows, extra " << extra;
        }
    }
}

// netpbm's encoder, plain and interlaced, in 200 colours.
TEST(GifCheck, PassesNetpbmFilesAndRefusesTheirCuts) {
    if (!std::filesystem::exists("/usr/bin/pamtogif"))
        GTEST_SKIP() << "pamtogif is not installed (Debian package netpbm)";
    test::ScratchDir dir;
    const int width = 70, height = 45;
    const Table colours = palette(200);
    const Bytes indices = noise(width * height, 200, 7);
    const std::string head = "P6 " + std::to_string(width) + " " + std::to_string(height) + " 255\n";
    Bytes ppm(head.begin(), head.end());
    for (uint8_t i : indices)
        ppm.insert(ppm.end(), {uint8_t(qRed(colours[i])), uint8_t(qGreen(colours[i])), uint8_t(qBlue(colours[i]))});
    test::writeFile(dir.file("in.ppm"), ppm);
    for (const std::string option : {"", "-interlace"}) {
        const std::string command = "pamtogif " + option + " " + dir.file("in.ppm") + " > " + dir.file("out.gif");
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const Bytes file = test::readFile(dir.file("out.gif"));
        EXPECT_EQ(gifDamage(file), "") << option;
        const QImage shown = qtRead(file);
        int wrong = 0;
        for (int p = 0; p < width * height; ++p) wrong += shown.pixel(p % width, p / width) != colours[indices[p]];
        EXPECT_EQ(wrong, 0) << option;
        // Seven bytes off the end take the trailer, the terminator and at least
        // three data bytes: more than the end code and the padding.
        for (std::size_t size = 1; size + 6 < file.size(); size += 7)
            ASSERT_EQ(gifDamage(std::span(file).first(size)), kEndsEarly) << option << " cut to " << size;
        EXPECT_EQ(gifDamage(std::span(file).first(file.size() - 1)), "") << option << " without its trailer";
    }
}

// Valgrind found Qt's pixels around (and under the transparent pixels of) a
// first image uninitialised exactly where the image has its own table, does
// not cover the screen, and a transparent index or a global table exists.
// With the table made global, Qt shows what it shows for the same picture
// written with a global table only.
TEST(GifSafeForQt, MovesTheImageTableWhereQtWouldPaintFromItUnread) {
    const auto smaller = [](const std::function<void(GifSpec&)>& more) {
        return plainGif([&](GifSpec& s) {
            s.left = 3, s.top = 2, s.width = 11, s.height = 9, s.localTable = palette(16);
            more(s);
        });
    };
    const std::tuple<const char*, GifSpec, bool> cases[] = {
        {"both tables", smaller([](GifSpec&) {}), true},
        {"both tables, transparent", smaller([](GifSpec& s) { s.transparent = 2; }), true},
        {"own table, transparent", smaller([](GifSpec& s) { s.globalTable.clear(), s.transparent = 2; }), true},
        {"interlaced, transparent", smaller([](GifSpec& s) { s.interlaced = true, s.transparent = 2; }), true},
        {"no screen size, at an offset",
         smaller([](GifSpec& s) { s.screenWidth = s.screenHeight = 0, s.transparent = 1; }), true},
        {"own table, nothing painted around", smaller([](GifSpec& s) { s.globalTable.clear(); }), false},
        {"covering the screen",
         smaller([](GifSpec& s) { s.left = s.top = 0, s.width = 20, s.height = 16, s.transparent = 2; }), false},
        {"global table only", smaller([](GifSpec& s) { s.localTable.clear(), s.transparent = 2; }), false},
    };
    for (const auto& [name, spec, moves] : cases) {
        const GifFile file = writeGif(spec);
        const std::optional<Bytes> safe = gifSafeForQt(file.bytes);
        ASSERT_EQ(safe.has_value(), moves) << name;
        EXPECT_FALSE(gifSafeForQt(file.cut(file.at.at("pixels done") - 1))) << name << ", damaged";
        if (!moves) continue;
        GifSpec global = spec;
        global.globalTable = spec.localTable, global.localTable.clear();
        EXPECT_EQ(gifDamage(*safe), "") << name;
        EXPECT_FALSE(gifSafeForQt(*safe)) << name;
        EXPECT_EQ(qtRead(*safe), qtRead(writeGif(global).bytes)) << name;
    }
}

}  // namespace
}  // namespace mireo::imaging
