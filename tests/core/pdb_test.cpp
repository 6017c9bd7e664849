// CompilePDB and ReadVTBI: the databases written and the calls refused; round
// trips, the version messages, a database's facts and damaged databases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>

#include "bmp.h"
#include "numeric.h"
#include "pdb_reader.h"
#include "test_support.h"

using namespace mireo::test;
using mireo::getBe16, mireo::getBe32, mireo::putBe16, mireo::putBe32;

namespace {

class PdbTest : public ::testing::Test, public PdbMaker {
protected:
    // A database named "Test" of one `value`, made without a message.
    Bytes plainDb(int32_t w, int32_t h, int16_t depth, int16_t compress = 0, uint8_t value = 0xFF, int32_t block = 51200) {
        auto f = compile(plain(w, h, value), w, h, {.depth = depth, .compress = compress, .blockSize = block, .name = "Test"});
        EXPECT_TRUE(ws.messages.empty());
        return f;
    }
    // ReadVTBI on `pdb`; the BMP goes to bmp().
    void read(const Bytes& pdb, const MireoArray* palm = nullptr) {
        writeFile(dir.file("in.pdb"), pdb);
        StringArg in(dir.file("in.pdb")), out(bmp());
        storedDepth = -1;
        ReadVTBI(grey.arg(), palm ? palm : palm8.arg(), &in, &out, &storedDepth);
    }
    std::string bmp() const { return dir.file("out.bmp"); }
    RecordingWindowSystem ws;
    int16_t storedDepth = -1;
};
using CompilePdbTest = PdbTest;
using ReadVtbiTest = PdbTest;

std::size_t records(const Bytes& f) { return getBe16(&f[76]); }
std::size_t offset(const Bytes& f, std::size_t k) { return getBe32(&f[78 + 8 * k]); }
std::string readerError(int number) { return "Error in dll Reading VT BackImage - " + mireo::formatError(number); }

// Every entry has attributes 0x40, the same R and its index (entry 0 the count); each record ends
// where the next begins, each block holds what its header says (rows x row bytes raw, or a stream
// of its own length), and record 0 holds the total.
void expectConsistentRecords(const Bytes& f) {
    std::size_t n = records(f), total = 0;
    const uint32_t random = mireo::getLe16(&f[78 + 5]);
    EXPECT_LE(random, 32768u);
    for (std::size_t k = 0; k < n; ++k)
        EXPECT_EQ(std::tuple(f[82 + 8 * k], mireo::getLe16(&f[83 + 8 * k]), f[85 + 8 * k]), std::tuple(0x40, random, k ? k : n));
    EXPECT_EQ(std::pair(offset(f, 0), offset(f, 1)), std::pair(80 + 8 * n, offset(f, 0) + 32));
    for (std::size_t k = 1; k < n; ++k) {
        const uint8_t* h = &f[offset(f, k)];
        std::size_t data = h[15] == 0 ? getBe16(h + 6) : getBe32(h + 32);
        EXPECT_EQ(getBe16(h + 6), getBe16(h + 10) * getBe16(h + 12)) << "block " << k;
        EXPECT_EQ((k + 1 < n ? offset(f, k + 1) : f.size()) - offset(f, k), 32 + data) << "block " << k;
        total += data;
    }
    EXPECT_EQ(getBe32(&f[offset(f, 0) + 16]), total);
}

}  // namespace

// Block rows follow the block size; rows are padded to even byte counts.  The block after its header
// (byte 160) of 3 x 2 pictures, blue-green-red, and of one white row, and its encoding.
TEST_F(CompilePdbTest, BlockRowsRowPaddingPixelPackingAndEncoding) {
    using U = std::vector<uint32_t>;
    struct Case {
        int32_t w, h; PdbOptions options; U rows; uint32_t rowBytes;
        Bytes bgr = {}; uint8_t compression = 0; std::optional<Bytes> stored = {};  // white without a picture
    } cases[] = {
        {320, 480, {.depth = 8, .blockSize = 30720}, {96, 96, 96, 96, 96}, 320}, {16, 300, {.blockSize = 32 * 20}, U(15, 20), 32},
        {160, 12, {.blockSize = 3 * 320 + 319}, {3, 3, 3, 3}, 320}, {160, 13, {.blockSize = 3 * 320}, {3, 3, 3, 3, 1}, 320},
        {161, 2, {.depth = 8}, {2}, 162}, {161, 2, {.depth = 4}, {2}, 82}, {160, 2, {.depth = 4}, {2}, 80},
        {5, 2, {.depth = 4}, {2}, 4},
        // Red, cyan, (0x12, 0x34, 0x56) as RGB565, high byte first; a black row.  Palm palette: white 0, black first
        // at 230, (250, 250, 250) nearest to white; odd rows end in a pad 0.  Greys 255 - 17 i: white 0, black 15, 170
        // is 5, 160 nearer to 153 (6) than to 170, (8, 8, 9) to black, 15 keeping the tie with the spare 16.
        {3, 2, {}, {2}, 6, {0, 0, 255, 255, 255, 0, 0x56, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0,
         Bytes{0xF8, 0, 7, 0xFF, 0x11, 0xAA, 0, 0, 0, 0, 0, 0}},
        {3, 2, {.depth = 8}, {2}, 4, {255, 255, 255, 0, 0, 0, 250, 250, 250, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0,
         Bytes{0, 230, 0, 0, 230, 230, 230, 0}},
        {3, 2, {.depth = 4}, {2}, 2, {255, 255, 255, 0, 0, 0, 170, 170, 170, 160, 160, 160, 9, 8, 8, 255, 255, 255}, 0,
         Bytes{0x0F, 0x50, 0x6F, 0}},
        // One row at depth 8: RLE and PackBits both give a 6-byte stream; 22 raw bytes rank 6, as low: stored
        // raw; 24 rank 8: RLE wins.  At depth 16 PackBits counts pixels: 24 white ones are one repeat.
        {22, 1, {.depth = 8, .compress = 1}, {1}, 22, Bytes(3 * 22, 255), 0, Bytes(22, 0)},
        {24, 1, {.depth = 8, .compress = 1}, {1}, 24, Bytes(3 * 24, 255), 2, Bytes{0, 0, 0, 6, 24, 0}},
        {24, 1, {.depth = 16, .compress = 1}, {1}, 48, Bytes(3 * 24, 255), 3, Bytes{0, 0, 0, 7, 257 - 24, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " at " << c.options.depth);
        auto f = compile(c.bgr.empty() ? plain(c.w, c.h) : source(c.w, c.h, c.bgr), c.w, c.h, c.options);
        ASSERT_EQ(records(f), c.rows.size() + 1);
        EXPECT_EQ(getBe16(&f[offset(f, 0) + 20]), c.rowBytes);
        for (std::size_t k = 1; k < records(f); ++k)
            EXPECT_EQ(std::pair(getBe16(&f[offset(f, k) + 10]), getBe16(&f[offset(f, k) + 12])), std::pair(c.rows[k - 1], c.rowBytes));
        expectConsistentRecords(f);
        if (c.stored) { EXPECT_EQ(std::pair(f[128 + 15], Bytes(f.begin() + 160, f.end())), std::pair(c.compression, *c.stored)); }
    }
}

// A white 160 x 160 picture at 16 bits in one block: every byte is fixed under SOURCE_DATE_EPOCH.
TEST_F(CompilePdbTest, HeaderRecordListImageRecordBlockAndName) {
    setenv("SOURCE_DATE_EPOCH", "1000000000", 1);
    auto f = compile(plain(160, 160), 160, 160, {.name = "Sunset"});
    unsetenv("SOURCE_DATE_EPOCH");
    ASSERT_EQ(std::pair(f.size(), fileSize), std::pair(std::size_t{160 + 51200}, 160 + 51200));
    // Name; attributes: backup; version 0; created and modified 10^9 + 2082844800 s after 1904; type, creator;
    // two records: offset, attributes 0x40, R = 0 low byte first, index byte (entry 0 carries N = 2).  Image record:
    // width, height, depth, version 2, one block, total 51200, row bytes 320, density 72.  Block: 160 rows of 320.
    Bytes expected(160, 0);
    for (const auto& [at, bytes] : std::initializer_list<std::pair<std::ptrdiff_t, Bytes>>{
             {0, {'S', 'u', 'n', 's', 'e', 't'}}, {32, {0, 8, 0, 0, 0xB7, 0xC0, 0x7A, 0x80, 0xB7, 0xC0, 0x7A, 0x80}},
             {60, {'B', 'm', 'p', 'L', 'V', 'T', 'C', 'R'}}, {76, {0, 2, 0, 0, 0, 96, 0x40, 0, 0, 2, 0, 0, 0, 128, 0x40, 0, 0, 1}},
             {96, {0, 0, 0, 160, 0, 0, 0, 160, 0, 0, 0, 16, 0, 2, 0, 1, 0, 0, 0xC8, 0, 0x01, 0x40, 0, 72}},
             {128, {0, 0, 0, 0, 0, 0, 0xC8, 0x00, 0, 160, 0, 160, 0x01, 0x40, 16, 0}}})
        std::copy(bytes.begin(), bytes.end(), expected.begin() + at);
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 160), expected);
    EXPECT_EQ(Bytes(f.begin() + 160, f.end()), Bytes(51200, 0xFF)) << "white is 0xFFFF";
    // The name is cut to 31 characters and padded back to 32.
    const std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn", zeros(32, '\0'), hi = "Hi" + zeros.substr(2);
    for (auto [name, capacity, field, back] :
         {std::tuple{forty, 0, forty.substr(0, 31) + '\0', forty}, {"", 32, zeros, zeros}, {"Hi", 32, hi, hi}}) {
        f = compile(plain(2, 2), 2, 2, {.name = name, .nameCapacity = capacity});
        EXPECT_EQ(std::pair(std::string(f.begin(), f.begin() + 32), nameBack), std::pair(field, back)) << name;
    }
    EXPECT_TRUE(ws.messages.empty());
}

// One message; no database, or the old one untouched; the size not set.
TEST_F(CompilePdbTest, CallsThatCannotBeWrittenAreRefused) {
    const std::string invalid = "Error in dll CompilePDB -  5 - Invalid procedure call or argument",
                      overflow = "Error in dll CompilePDB -  6 - Overflow", out = dir.file("out.pdb"),
                      sourceFile = dir.file("source.bmp");
    Table small(mireo::imaging::PaletteTable(256));  // no spare entry
    struct Case {
        const char* what; int32_t width, height; PdbOptions options; std::string message;
        std::function<void()> prepare = {}; uint64_t sizeLimit = 0; std::optional<Bytes> old = {};
    } cases[] = {
        {"row longer than a block", 100, 2, {.blockSize = 199}, invalid}, {"negative block size", 10, 2, {.blockSize = -100}, invalid},
        {"depth 2", 10, 2, {.depth = 2}, invalid}, {"block over 65535 bytes", 300, 200, {.blockSize = 70000}, overflow},
        {"width over 16 bits", 70000, 1, {.depth = 4}, overflow}, {"zero height", 10, 0, {}, invalid, [&] { plain(1, 1); }},
        {"width disagrees with the BMP", 10, 2, {}, invalid, [&] { plain(11, 2); }},
        {"height disagrees with the BMP", 10, 3, {}, invalid, [&] { plain(10, 2); }},
        {"no room for the padded name", 2, 2, {.name = "Hi", .nameCapacity = 0}, invalid},
        {"source shorter than its picture", 10, 10, {}, "Error in dll CompilePDB -  62 - Input past end of file",
         [&] { Bytes b = readFile(sourceFile); b.pop_back(), writeFile(sourceFile, b); }},
        {"no spare palette entry", 2, 2, {.depth = 8, .palm8 = small.arg()}, "Error in dll PBMP8 -  9 - Subscript out of range"},
        {"output name of a folder", 4, 4, {}, "Error in dll CompilePDB - ", [&] { std::filesystem::create_directory(out); }},
        {"disk full", 100, 100, {}, "Error in dll CompilePDB -  61 - Disk full", {}, 1000},
        {"no source", 8, 8, {}, "Error in dll module CompilePDB. Unable to find temporary image file.",
         [&] { std::filesystem::remove(sourceFile), writeFile(out, {1, 2, 3}); }, 0, Bytes{1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string src = plain(c.width, std::max(c.height, 1));
        if (c.prepare) c.prepare();
        withFileSizeLimit(c.sizeLimit, [&] { compile(src, c.width, c.height, c.options); });
        Texts texts = ws.takeTexts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(c.message.ends_with("- ") ? texts[0].substr(0, c.message.size()) : texts[0], c.message);  // then the system's text
        EXPECT_EQ(std::pair(fileSize, std::filesystem::is_regular_file(out) ? std::optional(readFile(out)) : std::nullopt),
                  std::pair(-1, c.old));
        std::filesystem::remove(out);
    }
}

// At 8 and 4 bits the picture holds palette colours only, so it comes back exactly; at 16 bits as
// RGB565 keeps it.  Odd widths keep the row padding of the database and of the BMP out of the picture.
TEST_F(ReadVtbiTest, EveryWidthAndDepthComesBackExactlyWithAndWithoutCompression) {
    const int32_t h = 9, widths[] = {1, 2, 3, 5, 7, 8, 15, 16, 17, 31, 33, 63, 64, 65, 127, 161, 162, 255, 320, 479, 480, 599, 600};
    const auto scale = [](int v, int bits) { return uint8_t(std::lround(v * 255.0 / ((1 << bits) - 1))); };
    std::mt19937 random(2024);
    for (int16_t depth : {int16_t{16}, int16_t{8}, int16_t{4}})
        for (int32_t w : widths) {
            SCOPED_TRACE(testing::Message() << "width " << w << " depth " << depth);
            Bytes bgr, want;
            std::array<uint8_t, 3> c{};  // blue, green, red
            for (int32_t p = 0, left = 0; p < w * h; ++p, --left) {
                if (left <= 0) {  // runs of one or forty pixels, so that the encoders find work
                    const int e = int(random() % 230), level = 255 - 17 * int(random() % 16);
                    for (int k = 0; k < 3; ++k)
                        c[k] = uint8_t(depth == 8 ? int(palm8.values.at(e, 2 - k)) : depth == 4 ? level : int(random() & 0xFF));
                    left = random() % 4 == 0 ? 40 : 1;
                }
                bgr.insert(bgr.end(), c.begin(), c.end());
                want.insert(want.end(), {scale(c[0] >> 3, 5), scale(c[1] >> 2, 6), scale(c[2] >> 3, 5)});
            }
            const auto header = mireo::bmpHeader(w, h);
            for (int16_t compress : {int16_t{0}, int16_t{1}}) {
                auto f = compile(source(w, h, bgr), w, h, {.depth = depth, .compress = compress, .blockSize = 4000});
                writeFile(bmp(), Bytes(5000, 7));  // replaced, never appended to
                read(f);
                ASSERT_TRUE(ws.messages.empty()) << ws.messages[0].text;
                const Bytes file = readFile(bmp());
                EXPECT_EQ(std::pair(storedDepth, bmpPixels(file, w, h)), std::pair(depth, depth == 16 ? want : bgr));
                EXPECT_TRUE(file.size() >= header.size() && std::equal(header.begin(), header.end(), file.begin()));
            }
        }
}

// Damaged structures, streams the RLE decoder refuses (it shows its own box first), palette indices
// beyond a table, and versions other than 2 (a box of their own): the depth is handed back once the
// image record is read, the old BMP left as it was.  20 x 6 at 8 bits in three blocks, raw and RLE.
TEST_F(ReadVtbiTest, DamagedDatabasesAndOtherVersionsAreReportedAndLeaveTheBmp) {
    auto base = plainDb(20, 6, 8, 0, 0xFF, 40), rle = plainDb(20, 6, 8, 1, 0xFF, 40), black = plainDb(4, 2, 8, 0, 0);
    const auto grey4 = plainDb(4, 4, 4);
    ASSERT_EQ(std::pair(records(base), rle[offset(rle, 1) + 15]), std::pair(std::size_t{4}, uint8_t{2}));
    Table small(10);
    small.set(0, 255, 255, 255);
    // `v` written over the 4, 2 or 1 `bytes` at `pos` of the file, or at `field` of record k.
    using Damage = std::function<void(Bytes&)>;
    auto at = [](std::size_t pos, uint32_t v, int bytes = 2) -> Damage {
        return [=](Bytes& f) { bytes == 4 ? putBe32(&f[pos], v) : bytes == 2 ? putBe16(&f[pos], v) : void(f[pos] = uint8_t(v)); };
    };
    auto in = [&](std::size_t k, std::size_t field, uint32_t v, int bytes = 2) -> Damage {
        return [=](Bytes& f) { at(offset(f, k) + field, v, bytes)(f); };
    };
    struct Case {  // depth: handed back, when the image record can be read (0: not checked)
        const char* what; const Bytes& start; Damage damage; int number; int16_t depth = 0; bool rleBox = false;
        const MireoArray* palm = nullptr; const char *text = nullptr, *caption = nullptr; int32_t icon = MIREO_ICON_NONE;
    } cases[] = {
        {"header cut short", base, [](auto& f) { f.resize(50); }, 62},
        {"image record cut short", base, [](auto& f) { f.resize(offset(f, 0) + 20); }, 62},
        {"raw block cut short", base, [](auto& f) { f.pop_back(); }, 62, 8}, {"no records", base, at(76, 0), 5},
        {"record list past the end", base, at(76, 60000), 62}, {"offset past the end", base, at(78 + 16, 1u << 30, 4), 62, 8},
        {"offsets out of order", base, at(78 + 16, 100, 4), 5, 8}, {"block count beyond the records", base, in(0, 14, 4), 5, 8},
        {"block count 0", base, in(0, 14, 0), 5, 8}, {"block rows disagree", base, in(2, 10, 3), 5, 8},
        {"block row bytes disagree", base, in(2, 12, 22), 5, 8}, {"block width disagrees", base, in(2, 8, 21), 5, 8},
        {"image row bytes disagree", base, in(0, 20, 22), 5, 8}, {"rows short of the height", base, in(0, 4, 7, 4), 5, 8},
        {"rows beyond the height", base, in(0, 4, 5, 4), 5, 8}, {"huge height", base, in(0, 4, 0x7FFFFFFF, 4), 5, 8},
        {"huge width", base, in(0, 0, 0x40000000, 4), 5, 8}, {"zero width", base, in(0, 0, 0, 4), 5, 8},
        {"depth 2", base, in(0, 8, 2, 4), 5, 2}, {"unknown compression", base, in(1, 15, 7, 1), 5, 8},
        {"depth set before the structure is checked", base, [&](auto& f) { in(0, 8, 0x10008, 4)(f), in(0, 14, 9)(f); }, 5, 8},
        {"stream longer than the block", rle,
         [&](auto& f) { in(3, 32, getBe32(&f[offset(f, 3) + 32]) + 2, 4)(f), f.insert(f.end(), {1, 0xFF}); }, 5, 8},
        {"stream length past the record", rle, in(2, 35, 200, 1), 62, 8, true},
        {"last run short of the row", rle, in(2, 38, 10, 1), 62, 8, true},
        {"run past the row", rle, in(2, 36, 30, 1), 9, 8, true}, {"run count 0", rle, in(2, 36, 0, 1), 5, 8, true},
        {"index beyond the table", black, [](auto&) {}, 9, 8, false, small.arg()},
        {"version 1", base, in(0, 12, 1), 0, 8, false, nullptr, "Unable to load this image.\r\nIt's in the obsolete version 1 format.",
         "Problem!", MIREO_ICON_INFORMATION},
        {"version 3", grey4, in(0, 12, 3), 0, 4, false, nullptr, "Error! Unknown Version Number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto damaged = c.start;
        c.damage(damaged);
        writeFile(bmp(), {9, 9});
        read(damaged, c.palm);
        const auto box = ws.messages.empty() ? RecordingWindowSystem::Message{} : ws.messages.back();
        Texts want = {c.text ? c.text : readerError(c.number)};
        if (c.rleBox) want.insert(want.begin(), "Error in dll RLE Un-compress - " + mireo::formatError(c.number));
        EXPECT_EQ(ws.takeTexts(), want);
        EXPECT_EQ(std::tuple(box.caption, box.icon, readFile(bmp()), c.depth ? storedDepth : 0),  // the low 16 bits of the depth
                  std::tuple(std::string(c.caption ? c.caption : box.caption), c.icon, Bytes{9, 9}, c.depth));
    }
    std::filesystem::remove(bmp());
    StringArg missing(dir.file("none.pdb")), out(bmp());
    ReadVTBI(grey.arg(), palm8.arg(), &missing, &out, &storedDepth);
    EXPECT_EQ(ws.takeTexts(), Texts{readerError(53)});
    read(rle);
    read(plainDb(4, 2, 8), small.arg());  // white: index 0
    EXPECT_EQ(std::pair(ws.takeTexts(), std::filesystem::exists(bmp())), std::pair(Texts{}, true)) << "works after damaged files";
}

// 20 x 6 at 8 bits in blocks of 40 bytes: three blocks of two 20-byte rows, stored raw, or as a
// stream of 4 + 4 bytes (white rows are the RLE pair (20, 0)); then truncated or inconsistent.
TEST_F(ReadVtbiTest, DatabaseFactsAreThoseStored) {
    setenv("SOURCE_DATE_EPOCH", "1000000000", 1);
    const Bytes raw = plainDb(20, 6, 8, 0, 0xFF, 40), rle = plainDb(20, 6, 8, 1, 0xFF, 40);
    unsetenv("SOURCE_DATE_EPOCH");
    using U = std::vector<uint32_t>;
    const uint32_t time = 1000000000u + 2082844800u;
    for (const auto& [f, compression, stored] : {std::tuple(raw, 0u, 40u), std::tuple(rle, 2u, 8u)}) {
        const mireo::DatabaseFacts d = mireo::readDatabaseFacts(f);
        const mireo::ImageRecord& i = d.image;
        EXPECT_EQ(std::pair(d.name + d.type + d.creator, U({d.attributes, d.version, d.created, d.modified, d.backedUp, i.width,
                            i.height, i.depth, i.version, i.blockCount, i.totalBytes, i.rowBytes, i.density})),
                  std::pair(std::string("TestBmpLVTCR"), U({8, 0, time, time, 0, 20, 6, 8, 2, 3, 3 * stored, 20, 72}))) << compression;
        ASSERT_EQ(d.blocks.size(), 3u);
        for (const mireo::BlockFacts& b : d.blocks)
            EXPECT_EQ(U({b.uncompressedBytes, b.width, b.rows, b.rowBytes, b.depth, b.compression, uint32_t(b.storedBytes)}),
                      U({40, 20, 2, 20, 8, compression, stored}));
    }
    for (auto [cut, count, number] : {std::tuple<std::size_t, uint32_t, int>{50, 3, 62}, {100, 3, 62}, {offset(raw, 3) + 20, 3, 62},
                                      {raw.size(), 2, 5}, {raw.size(), 4, 5}, {raw.size(), 3, 0}}) {
        Bytes f(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(cut));
        if (f.size() > 100) putBe16(&f[offset(f, 0) + 14], count);
        EXPECT_EQ(errorNumberOf([&] { mireo::readDatabaseFacts(f); }), number) << "cut at " << cut << ", block count " << count;
    }
}
