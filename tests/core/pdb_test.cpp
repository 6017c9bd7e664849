// CompilePDB and ReadVTBI: the geometry, header, record list and block
// records of the databases written, the packing of each depth, the choice
// of encoding, the name and the rejected calls; round trips, the version
// messages, the facts a database gives about itself, and damaged databases,
// each reported with its own number and leaving no BMP behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
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
    bool bmpWritten() const { return std::filesystem::exists(bmp()); }
    RecordingWindowSystem ws;
    int16_t storedDepth = -1;
};
using CompilePdbTest = PdbTest;
using ReadVtbiTest = PdbTest;

std::size_t records(const Bytes& f) { return getBe16(&f[76]); }
std::size_t offset(const Bytes& f, std::size_t k) { return getBe32(&f[78 + 8 * k]); }
uint32_t blockField(const Bytes& f, std::size_t k, std::size_t field) { return getBe16(&f[offset(f, k) + field]); }
std::string readerError(int number) { return "Error in dll Reading VT BackImage - " + mireo::formatError(number); }

// Every record ends where the next begins, each block holds what its header
// says (rows x row bytes raw, or a stream of its own length), and record 0
// holds the total.
void expectConsistentRecords(const Bytes& f) {
    std::size_t n = records(f), total = 0;
    ASSERT_GE(n, 2u);
    EXPECT_EQ(offset(f, 0), 80 + 8 * n);
    EXPECT_EQ(offset(f, 1), offset(f, 0) + 32);
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

TEST_F(CompilePdbTest, BlockRowsFollowTheBlockSizeAndRowsAreEven) {
    struct Case { const char* what; int32_t w, h; PdbOptions options; std::vector<uint32_t> rows; } cases[] = {  // rows of each block
        {"320 x 480 at 8 bits in blocks of 30720", 320, 480, {.depth = 8, .blockSize = 30720}, {96, 96, 96, 96, 96}},
        {"lower than a block", 160, 7, {}, {7}},
        {"height a multiple of the block rows", 160, 12, {.blockSize = 3 * 320 + 319}, {3, 3, 3, 3}},
        {"one row left over", 160, 13, {.blockSize = 3 * 320}, {3, 3, 3, 3, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto f = compile(plain(c.w, c.h), c.w, c.h, c.options);
        ASSERT_EQ(records(f), c.rows.size() + 1);
        for (std::size_t k = 1; k < records(f); ++k) EXPECT_EQ(blockField(f, k, 10), c.rows[k - 1]) << k;
        expectConsistentRecords(f);
    }
    // Rows are padded to even byte counts.
    const int32_t rowCases[][3] = {{161, 8, 162}, {161, 4, 82}, {160, 4, 80}, {161, 16, 322}, {3, 4, 2}, {5, 4, 4}};
    for (const auto& [width, depth, rowBytes] : rowCases) {
        auto f = compile(plain(width, 2, 0), width, 2, {.depth = static_cast<int16_t>(depth)});
        ASSERT_FALSE(f.empty()) << width;
        EXPECT_EQ(getBe16(&f[offset(f, 0) + 20]), uint32_t(rowBytes)) << width << " at " << depth;
        EXPECT_EQ(blockField(f, 1, 12), uint32_t(rowBytes)) << width << " at " << depth;
        EXPECT_EQ(f.size(), offset(f, 1) + 32 + 2 * std::size_t(rowBytes));
    }
}

TEST_F(CompilePdbTest, PixelsArePackedByDepth) {
    // 3 x 2 pictures, blue-green-red; the pixel data of the block starts at byte 160.
    auto data = [](const Bytes& f) { return f.size() < 160 ? Bytes{} : Bytes(f.begin() + 160, f.end()); };
    // Red, cyan and (0x12, 0x34, 0x56) as RGB565, high byte first.
    auto f16 = compile(source(3, 2, {0, 0, 255, 255, 255, 0, 0x56, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 3, 2);
    EXPECT_EQ(data(f16), (Bytes{0xF8, 0x00, 0x07, 0xFF, 0x11, 0xAA, 0, 0, 0, 0, 0, 0}));
    // Palm palette: white is entry 0, black first appears at 230, (250, 250,
    // 250) is nearest to white; each odd row ends in a zero pad byte.
    auto f8 = compile(source(3, 2, {255, 255, 255, 0, 0, 0, 250, 250, 250, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 3, 2,
                      {.depth = 8});
    EXPECT_EQ(data(f8), (Bytes{0, 230, 0, 0, 230, 230, 230, 0}));
    // Greys 255 - 17 i: white 0, black 15, 170 is 5, 160 is nearer to 153
    // (6) than to 170, (8, 8, 9) to black, where 15 keeps the tie with the
    // spare 16; the odd pixel leaves the low nibble 0.
    auto f4 = compile(source(3, 2, {255, 255, 255, 0, 0, 0, 170, 170, 170, 160, 160, 160, 9, 8, 8, 255, 255, 255}), 3,
                      2, {.depth = 4});
    EXPECT_EQ(data(f4), (Bytes{0x0F, 0x50, 0x6F, 0x00}));
}

// A white 160 x 160 picture at 16 bits in one block.
TEST_F(CompilePdbTest, HeaderRecordListImageRecordBlockAndName) {
    setenv("SOURCE_DATE_EPOCH", "1000000000", 1);
    auto f = compile(plain(160, 160), 160, 160, {.name = "Sunset"});
    auto again = compile(plain(160, 160), 160, 160, {.name = "Sunset"});
    unsetenv("SOURCE_DATE_EPOCH");
    ASSERT_EQ(f.size(), 160u + 51200u);
    EXPECT_EQ(fileSize, 51360);
    Bytes expected = {'S', 'u', 'n', 's', 'e', 't'};
    expected.resize(32);
    expected.insert(expected.end(), {0x00, 0x08,               // attributes: backup
                                     0x00, 0x00,               // version
                                     0xB7, 0xC0, 0x7A, 0x80,   // created: 10^9 + 2082844800 seconds after 1904
                                     0xB7, 0xC0, 0x7A, 0x80});  // modified
    expected.resize(60);
    expected.insert(expected.end(), {'B', 'm', 'p', 'L', 'V', 'T', 'C', 'R', 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x02});
    // Record list: offset, attributes 0x40, R = 0 low byte first, index byte
    // (entry 0 carries N = 2); then two zero bytes.
    expected.insert(expected.end(), {0, 0, 0, 96, 0x40, 0, 0, 2, 0, 0, 0, 128, 0x40, 0, 0, 1, 0, 0});
    // Image record: width, height, depth, version 2, one block, total 51200,
    // row bytes 320, density 72.  Block: 51200 bytes of 160 rows of 320, depth 16, raw.
    expected.insert(expected.end(), {0, 0, 0, 160, 0, 0, 0, 160, 0, 0, 0, 16, 0, 2, 0, 1, 0, 0, 0xC8, 0, 0x01, 0x40, 0, 72});
    expected.resize(128);
    expected.insert(expected.end(), {0, 0, 0, 0, 0, 0, 0xC8, 0x00, 0, 160, 0, 160, 0x01, 0x40, 16, 0});
    expected.resize(160);
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 160), expected);
    EXPECT_EQ(Bytes(f.begin() + 160, f.end()), Bytes(51200, 0xFF)) << "white is 0xFFFF";
    EXPECT_EQ(f, again) << "reproducible under SOURCE_DATE_EPOCH";
    // Fifteen blocks: every entry has attributes 0x40, the same R and its index.
    f = compile(plain(16, 300), 16, 300, {.blockSize = 32 * 20});
    std::size_t n = records(f);
    ASSERT_EQ(n, 16u);
    uint32_t random = mireo::getLe16(&f[78 + 5]);
    EXPECT_LE(random, 32768u);
    for (std::size_t k = 0; k < n; ++k)
        EXPECT_EQ(std::tuple(f[82 + 8 * k], mireo::getLe16(&f[83 + 8 * k]), f[85 + 8 * k]),
                  std::tuple(0x40, random, k == 0 ? n : k)) << k;
    expectConsistentRecords(f);
    // The name is cut to 31 characters and padded back to 32.
    std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    for (auto [name, capacity, field, back] : {std::tuple{forty, 0, forty.substr(0, 31) + '\0', forty},
                                               {"", 32, std::string(32, '\0'), std::string(32, '\0')},
                                               {"Hi", 32, "Hi" + std::string(30, '\0'), "Hi" + std::string(30, '\0')}}) {
        f = compile(plain(2, 2), 2, 2, {.name = name, .nameCapacity = capacity});
        EXPECT_EQ(std::pair(std::string(f.begin(), f.begin() + 32), nameBack), std::pair(field, back)) << name;
    }
    EXPECT_TRUE(ws.messages.empty());
}

// One white row at depth 8: RLE and PackBits both give a 6-byte stream;
// 22 raw bytes rank 6, as low: stored raw.  24 rank 8: RLE wins.  At depth
// 16 PackBits counts pixels: 24 white pixels are one repeat.
TEST_F(CompilePdbTest, CompressedBlockMustBeSeventeenBytesShorter) {
    for (auto [w, depth, compression, stored] : {std::tuple<int32_t, int16_t, uint8_t, Bytes>{22, 8, 0, Bytes(22, 0)},
                                                 {24, 8, 2, {0, 0, 0, 6, 24, 0}}, {24, 16, 3, {0, 0, 0, 7, 257 - 24, 0xFF, 0xFF}}}) {
        auto f = compile(plain(w, 1), w, 1, {.depth = depth, .compress = 1});
        ASSERT_EQ(f.size(), 160 + stored.size()) << w << " at " << depth;
        EXPECT_EQ(f[128 + 15], compression) << w << " at " << depth;
        EXPECT_EQ(Bytes(f.begin() + 160, f.end()), stored) << w << " at " << depth;
        EXPECT_EQ(getBe32(&f[96 + 16]), stored.size()) << w << " at " << depth;
    }
}

// One message; no database, or the old one untouched; the size not set.
TEST_F(CompilePdbTest, CallsThatCannotBeWrittenAreRefused) {
    const std::string invalid = "Error in dll CompilePDB -  5 - Invalid procedure call or argument";
    Table small(mireo::imaging::PaletteTable(256));  // no spare entry
    struct Case {
        const char* what; int32_t width, height, bmpWidth, bmpHeight; PdbOptions options; std::string message;
        std::function<void(PdbTest&)> prepare = {};
        uint64_t sizeLimit = 0;
    } cases[] = {
        {"row longer than a block", 100, 2, 100, 2, {.blockSize = 199}, invalid},
        {"block size 0", 10, 2, 10, 2, {.blockSize = 0}, invalid},
        {"depth 2", 10, 2, 10, 2, {.depth = 2}, invalid},
        {"block over 65535 bytes", 300, 200, 300, 200, {.blockSize = 70000}, "Error in dll CompilePDB -  6 - Overflow"},
        {"width over 16 bits", 70000, 1, 70000, 1, {.depth = 4}, "Error in dll CompilePDB -  6 - Overflow"},
        {"width disagrees with the BMP", 10, 2, 11, 2, {}, invalid},
        {"height disagrees with the BMP", 10, 3, 10, 2, {}, invalid},
        {"zero height", 10, 0, 1, 1, {}, invalid},
        {"no room for the padded name", 2, 2, 2, 2, {.name = "Hi", .nameCapacity = 0}, invalid},
        {"source shorter than its picture", 10, 10, 10, 10, {}, "Error in dll CompilePDB -  62 - Input past end of file",
         [](PdbTest& t) { Bytes b = readFile(t.dir.file("source.bmp")); b.pop_back(), writeFile(t.dir.file("source.bmp"), b); }},
        {"palette without its spare entry", 2, 2, 2, 2, {.depth = 8, .palm8 = small.arg()},
         "Error in dll PBMP8 -  9 - Subscript out of range"},
        {"output name of a folder", 4, 4, 4, 4, {}, "Error in dll CompilePDB - ",
         [](PdbTest& t) { std::filesystem::create_directory(t.dir.file("out.pdb")); }},
        {"disk full", 100, 100, 100, 100, {}, "Error in dll CompilePDB -  61 - Disk full", {}, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string src = plain(c.bmpWidth, c.bmpHeight);
        if (c.prepare) c.prepare(*this);
        withFileSizeLimit(c.sizeLimit, [&] { compile(src, c.width, c.height, c.options); });
        Texts texts = ws.takeTexts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(c.message.ends_with("- ") ? texts[0].substr(0, c.message.size()) : texts[0], c.message);  // then the system's text
        EXPECT_FALSE(std::filesystem::is_regular_file(dir.file("out.pdb")));
        EXPECT_EQ(fileSize, -1);
        std::filesystem::remove(dir.file("out.pdb"));
    }
    writeFile(dir.file("out.pdb"), {1, 2, 3});
    compile(dir.file("nothing.bmp"), 8, 8);
    EXPECT_EQ(ws.takeTexts(), Texts{"Error in dll module CompilePDB. Unable to find temporary image file."});
    EXPECT_EQ(fileSize, -1);
    EXPECT_EQ(readFile(dir.file("out.pdb")), (Bytes{1, 2, 3}));
}

// At 8 and 4 bits the picture holds palette colours only, so that it comes
// back exactly; at 16 bits it comes back as RGB565 keeps it.  Odd widths
// keep the row padding of the database and of the BMP out of the picture.
TEST_F(ReadVtbiTest, EveryWidthAndDepthComesBackExactlyWithAndWithoutCompression) {
    const int32_t widths[] = {1, 2, 3, 5, 7, 8, 15, 16, 17, 31, 33, 63, 64, 65, 127, 161, 162, 255, 320, 479, 480, 599, 600};
    const int32_t h = 9;
    std::mt19937 random(2024);
    int compressedBlocks = 0;
    for (int16_t depth : {int16_t{16}, int16_t{8}, int16_t{4}})
        for (int32_t w : widths) {
            SCOPED_TRACE(testing::Message() << "width " << w << " depth " << depth);
            Bytes bgr, want;
            std::array<uint8_t, 3> c{};  // blue, green, red
            for (int32_t p = 0, left = 0; p < w * h; ++p, --left) {
                if (left <= 0) {  // runs of one or forty pixels, so that the encoders find work
                    int e = int(random() % 230), level = 255 - 17 * int(random() % 16);
                    if (depth == 8) for (int k = 0; k < 3; ++k) c[k] = uint8_t(palm8.values.at(e, 2 - k));
                    else if (depth == 4) c.fill(uint8_t(level));
                    else for (auto& v : c) v = uint8_t(random());
                    left = random() % 4 == 0 ? 40 : 1;
                }
                bgr.insert(bgr.end(), c.begin(), c.end());
                auto scale = [](int v, int bits) { return uint8_t(std::lround(v * 255.0 / ((1 << bits) - 1))); };
                want.insert(want.end(), {scale(c[0] >> 3, 5), scale(c[1] >> 2, 6), scale(c[2] >> 3, 5)});
            }
            Bytes files[2];
            for (int16_t compress : {int16_t{0}, int16_t{1}}) {
                auto f = compile(source(w, h, bgr), w, h, {.depth = depth, .compress = compress, .blockSize = 4000});
                for (std::size_t k = 1; k < records(f); ++k) compressedBlocks += f[offset(f, k) + 15] != 0;
                writeFile(bmp(), Bytes(5000, 7));  // replaced, never appended to
                read(f);
                ASSERT_TRUE(ws.messages.empty()) << ws.messages[0].text;
                EXPECT_EQ(storedDepth, depth);
                files[compress] = readFile(bmp());
                EXPECT_EQ(bmpPixels(files[compress], w, h), depth == 16 ? want : bgr);
            }
            EXPECT_EQ(files[0], files[1]);
            auto header = mireo::bmpHeader(w, h);
            EXPECT_TRUE(std::equal(header.begin(), header.end(), files[0].begin()));
        }
    EXPECT_GT(compressedBlocks, 50) << "the compressed databases must use the encoders";
}

// The old BMP is left as it was.
TEST_F(ReadVtbiTest, OldAndUnknownVersionsAreRefusedAfterTheDepthIsSet) {
    for (auto [version, depth] : {std::pair<uint32_t, int16_t>{1, 8}, {3, 4}}) {
        ws.messages.clear();
        auto f = plainDb(4, 4, depth);
        putBe16(&f[offset(f, 0) + 12], version);
        writeFile(bmp(), {9, 9});
        read(f);
        ASSERT_EQ(ws.messages.size(), 1u);
        const auto& m = ws.messages[0];
        std::string text = version == 1 ? "Unable to load this image.\r\nIt's in the obsolete version 1 format."
                                        : "Error! Unknown Version Number.";
        EXPECT_EQ(std::tuple(m.text, m.caption, m.icon),
                  std::tuple(text, version == 1 ? "Problem!" : m.caption, version == 1 ? MIREO_ICON_INFORMATION : MIREO_ICON_NONE));
        EXPECT_EQ(storedDepth, depth);
        EXPECT_EQ(readFile(bmp()), (Bytes{9, 9}));
    }
}

// Damaged structures, streams the RLE decoder refuses (it shows its own box
// first) and palette indices beyond a table.
TEST_F(ReadVtbiTest, DamagedDatabasesAreReportedAndLeaveNoBmp) {
    // Three-block databases of 20 x 6 at 8 bits: raw, and with RLE streams
    // whose white rows are the pairs (20, 0); black is index 230.
    auto raw = plainDb(20, 6, 8, 0), base = plainDb(20, 6, 8, 0, 0xFF, 40), rle = plainDb(20, 6, 8, 1, 0xFF, 40);
    auto black = plainDb(4, 2, 8, 0, 0);
    ASSERT_EQ(records(base), 4u);
    ASSERT_EQ(rle[offset(rle, 1) + 15], 2);
    Table small(10);
    small.set(0, 255, 255, 255);
    auto image = [](Bytes& f, std::size_t field) { return &f[offset(f, 0) + field]; };
    auto block = [](Bytes& f, std::size_t k, std::size_t field) { return &f[offset(f, k) + field]; };
    struct Case {  // depth: handed back, when the image record can be read (0: not checked)
        const char* what; const Bytes& start; std::function<void(Bytes&)> damage; int number; int16_t depth = 0;
        bool rleBox = false; const MireoArray* palm = nullptr;
    } cases[] = {
        {"header cut short", raw, [](auto& f) { f.resize(50); }, 62},
        {"image record cut short", raw, [](auto& f) { f.resize(offset(f, 0) + 20); }, 62},
        {"raw block cut short", base, [](auto& f) { f.pop_back(); }, 62, 8},
        {"no records", raw, [](auto& f) { putBe16(&f[76], 0); }, 5},
        {"record list past the end", raw, [](auto& f) { putBe16(&f[76], 60000); }, 62},
        {"offset past the end", base, [](auto& f) { putBe32(&f[78 + 8 * 2], 1u << 30); }, 62, 8},
        {"offsets out of order", base, [](auto& f) { putBe32(&f[78 + 8 * 2], 100); }, 5, 8},
        {"block count beyond the records", base, [&](auto& f) { putBe16(image(f, 14), 4); }, 5, 8},
        {"block count 0", base, [&](auto& f) { putBe16(image(f, 14), 0); }, 5, 8},
        {"block rows disagree", base, [&](auto& f) { putBe16(block(f, 2, 10), 3); }, 5, 8},
        {"block row bytes disagree", base, [&](auto& f) { putBe16(block(f, 2, 12), 22); }, 5, 8},
        {"block width disagrees", base, [&](auto& f) { putBe16(block(f, 2, 8), 21); }, 5, 8},
        {"image row bytes disagree", base, [&](auto& f) { putBe16(image(f, 20), 22); }, 5, 8},
        {"rows short of the height", base, [&](auto& f) { putBe32(image(f, 4), 7); }, 5, 8},
        {"rows beyond the height", base, [&](auto& f) { putBe32(image(f, 4), 5); }, 5, 8},
        {"huge height", base, [&](auto& f) { putBe32(image(f, 4), 0x7FFFFFFF); }, 5, 8},
        {"huge width", base, [&](auto& f) { putBe32(image(f, 0), 0x40000000); }, 5, 8},
        {"zero width", base, [&](auto& f) { putBe32(image(f, 0), 0); }, 5, 8},
        {"depth 2", base, [&](auto& f) { putBe32(image(f, 8), 2); }, 5, 2},
        {"depth set before the structure is checked", base,
         [&](auto& f) { putBe32(image(f, 8), 0x00010008), putBe16(image(f, 14), 9); }, 5, 8},
        {"unknown compression", base, [&](auto& f) { *block(f, 1, 15) = 7; }, 5, 8},
        {"stream longer than the block", rle,
         [&](auto& f) { putBe32(block(f, 3, 32), getBe32(block(f, 3, 32)) + 2), f.insert(f.end(), {1, 0xFF}); }, 5, 8},
        {"stream length past the record", rle, [&](auto& f) { block(f, 2, 32)[3] = 200; }, 62, 8, true},
        {"last run short of the row", rle, [&](auto& f) { block(f, 2, 32)[6] = 10; }, 62, 8, true},
        {"run past the row", rle, [&](auto& f) { block(f, 2, 32)[4] = 30; }, 9, 8, true},
        {"run count 0", rle, [&](auto& f) { block(f, 2, 32)[4] = 0; }, 5, 8, true},
        {"index beyond the table", black, [](auto&) {}, 9, 8, false, small.arg()},
    };
    for (const Case& c : cases) {
        auto damaged = c.start;
        c.damage(damaged);
        read(damaged, c.palm);
        Texts want = {readerError(c.number)};
        if (c.rleBox) want.insert(want.begin(), "Error in dll RLE Un-compress - " + mireo::formatError(c.number));
        EXPECT_EQ(ws.takeTexts(), want) << c.what;
        EXPECT_FALSE(bmpWritten()) << c.what;
        EXPECT_EQ(c.depth ? storedDepth : 0, c.depth) << c.what << ": the low 16 bits of the stored depth";
    }
    StringArg in(dir.file("none.pdb")), out(bmp());
    ReadVTBI(grey.arg(), palm8.arg(), &in, &out, &storedDepth);
    EXPECT_EQ(ws.takeTexts(), Texts{readerError(53)});
    read(rle);
    read(plainDb(4, 2, 8), small.arg());  // white: index 0
    EXPECT_TRUE(ws.messages.empty());
    EXPECT_TRUE(bmpWritten()) << "the library works after damaged files";
}

// 20 x 6 at 8 bits in blocks of 40 bytes: three blocks of two 20-byte rows.
// Raw, each block stores its 40 bytes; compressed, each white row is the
// RLE pair (20, 0), so a block is a stream of 4 + 4 bytes.
TEST_F(ReadVtbiTest, DatabaseFactsAreThoseStored) {
    setenv("SOURCE_DATE_EPOCH", "1000000000", 1);
    for (int16_t compress : {int16_t{0}, int16_t{1}}) {
        SCOPED_TRACE(compress);
        auto f = plainDb(20, 6, 8, compress, 0xFF, 40);
        mireo::DatabaseFacts facts = mireo::readDatabaseFacts(f);
        using U = std::vector<uint32_t>;
        const uint32_t time = 1000000000u + 2082844800u, stored = compress ? 8 : 40;
        EXPECT_EQ(facts.name + facts.type + facts.creator, "TestBmpLVTCR");
        EXPECT_EQ(U({facts.attributes, facts.version, facts.created, facts.modified, facts.backedUp}), U({8, 0, time, time, 0}));
        const mireo::ImageRecord& i = facts.image;
        EXPECT_EQ(U({i.width, i.height, i.depth, i.version, i.blockCount, i.totalBytes, i.rowBytes, i.density}),
                  U({20, 6, 8, 2, 3, 3 * stored, 20, 72}));
        ASSERT_EQ(facts.blocks.size(), 3u);
        for (const mireo::BlockFacts& b : facts.blocks)
            EXPECT_EQ(U({b.uncompressedBytes, b.width, b.rows, b.rowBytes, b.depth, b.compression, uint32_t(b.storedBytes)}),
                      U({40, 20, 2, 20, 8, compress ? 2u : 0u, stored}));
    }
    unsetenv("SOURCE_DATE_EPOCH");
    // A truncated file, and a block count that disagrees with the record list.
    auto base = plainDb(20, 6, 8, 0, 0xFF, 40);
    for (auto [cut, count, number] : {std::tuple<std::size_t, uint32_t, int>{50, 3, 62}, {100, 3, 62}, {offset(base, 3) + 20, 3, 62},
                                      {base.size(), 2, 5}, {base.size(), 4, 5}, {base.size(), 3, 0}}) {
        Bytes f(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(cut));
        if (f.size() > 100) putBe16(&f[offset(f, 0) + 14], count);
        EXPECT_EQ(errorNumberOf([&] { mireo::readDatabaseFacts(f); }), number) << "cut at " << cut << ", block count " << count;
    }
}
