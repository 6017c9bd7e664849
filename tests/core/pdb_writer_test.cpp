// CompilePDB: geometry, header, record list, block records, the packing of
// each depth, the choice of encoding, the name and the rejected calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>

#include "numeric.h"
#include "test_support.h"

using namespace mireo::test;
using Bytes = std::vector<uint8_t>;
using mireo::getBe16;
using mireo::getBe32;

namespace {

class CompilePdbTest : public ::testing::Test, public PdbMaker {
public:
    RecordingWindowSystem ws;
};

std::size_t records(const Bytes& f) { return getBe16(&f[76]); }
std::size_t offset(const Bytes& f, std::size_t k) { return getBe32(&f[78 + 8 * k]); }
uint32_t blockField(const Bytes& f, std::size_t k, std::size_t field) { return getBe16(&f[offset(f, k) + field]); }

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
    EXPECT_EQ(total, f.size() - (112 + 8 * n + 32 * (n - 1)));
}

}  // namespace

TEST_F(CompilePdbTest, SquareSixteenBitPictureInOneBlock) {
    auto f = compile(plain(160, 160), 160, 160);
    ASSERT_EQ(f.size(), 160u + 51200u);
    EXPECT_EQ(fileSize, 51360);
    EXPECT_EQ(records(f), 2u);
    EXPECT_EQ(offset(f, 0), 96u);
    EXPECT_EQ(offset(f, 1), 128u);
    // Image record: total 51200, row bytes 320, density 72; block header.
    Bytes image = {0, 0, 0, 160, 0, 0, 0, 160, 0, 0, 0, 16, 0, 2, 0, 1, 0, 0, 0xC8, 0, 0x01, 0x40, 0, 72};
    Bytes block = {0, 0, 0, 0, 0, 0, 0xC8, 0x00, 0, 160, 0, 160, 0x01, 0x40, 16, 0};
    image.resize(32), block.resize(32);
    EXPECT_EQ(Bytes(&f[96], &f[128]), image);
    EXPECT_EQ(Bytes(&f[128], &f[160]), block);
    EXPECT_EQ(Bytes(f.begin() + 160, f.end()), Bytes(51200, 0xFF)) << "white is 0xFFFF";
}

TEST_F(CompilePdbTest, BlockRowsFollowTheBlockSizeAndRowsAreEven) {
    struct Case {  // rows: of each block
        const char* what; int32_t w, h; PdbOptions options; std::vector<uint32_t> rows;
    } cases[] = {
        {"320 x 480 at 8 bits in blocks of 30720", 320, 480, {.depth = 8, .blockSize = 30720}, {96, 96, 96, 96, 96}},
        {"lower than a block", 160, 7, {}, {7}},
        {"height a multiple of the block rows", 160, 12, {.blockSize = 3 * 320 + 319}, {3, 3, 3, 3}},
        {"one row left over", 160, 13, {.blockSize = 3 * 320}, {3, 3, 3, 3, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto f = compile(plain(c.w, c.h), c.w, c.h, c.options);
        ASSERT_EQ(records(f), c.rows.size() + 1);
        for (std::size_t k = 1; k < records(f); ++k) {
            EXPECT_EQ(blockField(f, k, 10), c.rows[k - 1]) << k;
            EXPECT_EQ(blockField(f, k, 6), c.rows[k - 1] * blockField(f, k, 12)) << k;
        }
        expectConsistentRecords(f);
    }
    auto f = compile(plain(320, 480), 320, 480, {.depth = 8, .blockSize = 30720});
    for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(offset(f, k), k == 0 ? 128u : 160 + (k - 1) * (32 + 96 * 320)) << k;
    // Rows are padded to even byte counts.
    const int32_t rowCases[][3] = {{161, 8, 162}, {161, 4, 82}, {160, 4, 80}, {161, 16, 322}, {3, 4, 2}, {5, 4, 4}};
    for (const auto& [width, depth, rowBytes] : rowCases) {
        f = compile(plain(width, 2, 0), width, 2, {.depth = static_cast<int16_t>(depth)});
        ASSERT_FALSE(f.empty()) << width;
        EXPECT_EQ(getBe16(&f[offset(f, 0) + 20]), uint32_t(rowBytes)) << width << " at " << depth;
        EXPECT_EQ(blockField(f, 1, 12), uint32_t(rowBytes)) << width << " at " << depth;
        EXPECT_EQ(f.size(), offset(f, 1) + 32 + 2 * std::size_t(rowBytes));
    }
}

TEST_F(CompilePdbTest, PixelsArePackedByDepth) {
    // 3 x 2 pictures, blue-green-red; the pixel data of the block starts at byte 160.
    // Red, cyan and (0x12, 0x34, 0x56) as RGB565, high byte first.
    auto f16 = compile(source(3, 2, {0, 0, 255, 255, 255, 0, 0x56, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 3, 2);
    EXPECT_EQ(Bytes(f16.begin() + 160, f16.end()), (Bytes{0xF8, 0x00, 0x07, 0xFF, 0x11, 0xAA, 0, 0, 0, 0, 0, 0}));
    // Palm palette: white is entry 0, black first appears at 230, (250, 250,
    // 250) is nearest to white; each odd row ends in a zero pad byte.
    auto f8 = compile(source(3, 2, {255, 255, 255, 0, 0, 0, 250, 250, 250, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 3, 2,
                      {.depth = 8});
    EXPECT_EQ(Bytes(f8.begin() + 160, f8.end()), (Bytes{0, 230, 0, 0, 230, 230, 230, 0}));
    // Greys 255 - 17 i: white 0, black 15, 170 is 5, 160 is nearer to 153
    // (6) than to 170; the odd pixel leaves the low nibble 0.
    auto f4 = compile(source(3, 2, {255, 255, 255, 0, 0, 0, 170, 170, 170, 160, 160, 160, 0, 0, 0, 255, 255, 255}), 3,
                      2, {.depth = 4});
    EXPECT_EQ(Bytes(f4.begin() + 160, f4.end()), (Bytes{0x0F, 0x50, 0x6F, 0x00}));
}

TEST_F(CompilePdbTest, HeaderRecordListAndName) {
    setenv("SOURCE_DATE_EPOCH", "1000000000", 1);
    auto f = compile(plain(4, 4), 4, 4, {.name = "Sunset"});
    auto again = compile(plain(4, 4), 4, 4, {.name = "Sunset"});
    unsetenv("SOURCE_DATE_EPOCH");
    ASSERT_GE(f.size(), 96u);
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
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 96), expected);
    EXPECT_EQ(f, again) << "reproducible under SOURCE_DATE_EPOCH";

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
    f = compile(plain(2, 2), 2, 2, {.name = forty, .nameCapacity = 0});
    EXPECT_EQ(std::string(f.begin(), f.begin() + 32), forty.substr(0, 31) + '\0');
    EXPECT_EQ(nameBack, forty);
    f = compile(plain(2, 2), 2, 2, {.name = ""});
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 32), Bytes(32, 0));
    EXPECT_EQ(nameBack, std::string(32, '\0'));
    compile(plain(2, 2), 2, 2, {.name = "Hi"});
    EXPECT_EQ(nameBack, "Hi" + std::string(30, '\0'));
    EXPECT_TRUE(ws.messages.empty());
}

TEST_F(CompilePdbTest, CompressedBlockMustBeSeventeenBytesShorter) {
    // One white row at depth 8: RLE and PackBits both give a 6-byte stream;
    // 22 raw bytes rank 6, as low: stored raw.  24 rank 8: RLE wins.
    auto f = compile(plain(22, 1), 22, 1, {.depth = 8, .compress = 1});
    EXPECT_EQ(f.size(), 160u + 22u);
    EXPECT_EQ(f[128 + 15], 0);
    f = compile(plain(24, 1), 24, 1, {.depth = 8, .compress = 1});
    EXPECT_EQ(f[128 + 15], 2);
    EXPECT_EQ(Bytes(f.begin() + 160, f.end()), (Bytes{0, 0, 0, 6, 24, 0}));
    EXPECT_EQ(getBe32(&f[96 + 16]), 6u);
    // At depth 16 PackBits counts pixels: 24 white pixels are one repeat.
    f = compile(plain(24, 1), 24, 1, {.depth = 16, .compress = 1});
    EXPECT_EQ(f[128 + 15], 3);
    EXPECT_EQ(Bytes(f.begin() + 160, f.end()), (Bytes{0, 0, 0, 7, 257 - 24, 0xFF, 0xFF}));
}

// One message; no database, or the old one untouched; the size not set.
TEST_F(CompilePdbTest, CallsThatCannotBeWrittenAreRefused) {
    const std::string invalid = "Error in dll CompilePDB -  5 - Invalid procedure call or argument";
    Table small(mireo::imaging::PaletteTable(256));  // no spare entry
    struct Case {
        const char* what; int32_t width, height, bmpWidth, bmpHeight; PdbOptions options; std::string message;
        std::function<void(CompilePdbTest&)> prepare = {};
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
         [](CompilePdbTest& t) {
             auto bmp = readFile(t.dir.file("source.bmp"));
             bmp.pop_back();
             writeFile(t.dir.file("source.bmp"), bmp);
         }},
        {"palette without its spare entry", 2, 2, 2, 2, {.depth = 8, .palm8 = small.arg()},
         "Error in dll PBMP8 -  9 - Subscript out of range"},
        {"output name of a folder", 4, 4, 4, 4, {}, "Error in dll CompilePDB - ",
         [](CompilePdbTest& t) { std::filesystem::create_directory(t.dir.file("out.pdb")); }},
        {"disk full", 100, 100, 100, 100, {}, "Error in dll CompilePDB -  61 - Disk full", {}, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ws.messages.clear();
        std::string src = plain(c.bmpWidth, c.bmpHeight);
        if (c.prepare) c.prepare(*this);
        {
            std::optional<FileSizeLimit> limit;
            if (c.sizeLimit) limit.emplace(c.sizeLimit);
            compile(src, c.width, c.height, c.options);
        }
        ASSERT_EQ(ws.messages.size(), 1u);
        if (c.message.ends_with("- ")) EXPECT_EQ(ws.messages[0].text.rfind(c.message, 0), 0u) << ws.messages[0].text;
        else EXPECT_EQ(ws.messages[0].text, c.message);
        EXPECT_FALSE(std::filesystem::is_regular_file(dir.file("out.pdb")));
        EXPECT_EQ(fileSize, -1);
        std::filesystem::remove(dir.file("out.pdb"));
    }
    ws.messages.clear();
    writeFile(dir.file("out.pdb"), {1, 2, 3});
    compile(dir.file("nothing.bmp"), 8, 8);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll module CompilePDB. Unable to find temporary image file.");
    EXPECT_EQ(fileSize, -1);
    EXPECT_EQ(readFile(dir.file("out.pdb")), (Bytes{1, 2, 3}));
}
