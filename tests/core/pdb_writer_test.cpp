// CompilePDB: geometry, header, record list, block records, the choice of
// encoding, the name handling and the rejected arguments.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "bmp.h"
#include "numeric.h"
#include "rotate.h"
#include "test_support.h"

using namespace mireo::test;
using mireo::getBe16;
using mireo::getBe32;

namespace {

// Sets SOURCE_DATE_EPOCH for the lifetime of the object.
class SourceDateEpoch {
public:
    explicit SourceDateEpoch(const char* value) { setenv("SOURCE_DATE_EPOCH", value, 1); }
    ~SourceDateEpoch() { unsetenv("SOURCE_DATE_EPOCH"); }
};

struct Options {
    int16_t depth = 16;
    int16_t compress = 0;
    int32_t blockSize = 51200;
    std::string name = "Backdrop";
    int32_t nameCapacity = 32;
};

class CompilePdbTest : public ::testing::Test {
protected:
    CompilePdbTest() {
        fillGrey16(grey);
        fillPalm8(palm8);
    }

    // A working BMP of one colour per pixel, `bgr` top row first.
    std::string source(int32_t w, int32_t h, const std::vector<uint8_t>& bgr) {
        std::string path = dir.file("source.bmp");
        mireo::PackedPicture picture{w, h, bgr};
        mireo::writeBmpFile(path, w, h, mireo::packBmpRows(picture));
        return path;
    }
    std::string plain(int32_t w, int32_t h, uint8_t value = 0xFF) {
        return source(w, h, std::vector<uint8_t>(std::size_t(3 * w * h), value));
    }

    std::vector<uint8_t> compile(const std::string& src, int32_t w, int32_t h, const Options& o = {},
                                 const std::string& out = "out.pdb") {
        StringArg srcArg(src), outArg(dir.file(out));
        StringArg nameArg(o.name, o.nameCapacity);
        fileSize = -1;
        CompilePDB(&srcArg, &grey, &palm8, &w, &h, &o.depth, nameArg.get(), &outArg, &o.compress, &o.blockSize,
                   &fileSize);
        nameBack = nameArg.value();
        return std::filesystem::is_regular_file(dir.file(out)) ? readFile(dir.file(out)) : std::vector<uint8_t>{};
    }

    ScratchDir dir;
    RecordingWindowSystem ws;
    PaletteTable grey{17}, palm8{257};
    int32_t fileSize = -1;
    std::string nameBack;
};

std::size_t records(const std::vector<uint8_t>& f) { return getBe16(&f[76]); }
std::size_t offset(const std::vector<uint8_t>& f, std::size_t k) { return getBe32(&f[78 + 8 * k]); }
std::size_t recordEnd(const std::vector<uint8_t>& f, std::size_t k) {
    return k + 1 < records(f) ? offset(f, k + 1) : f.size();
}

// Every record ends where the next begins, and each block holds what its
// header says: rows x row bytes raw bytes, or a stream of its own length.
void expectConsistentRecords(const std::vector<uint8_t>& f) {
    std::size_t n = records(f);
    ASSERT_GE(n, 2u);
    EXPECT_EQ(offset(f, 0), 80 + 8 * n);
    EXPECT_EQ(offset(f, 1), offset(f, 0) + 32);
    std::size_t total = 0;
    for (std::size_t k = 1; k < n; ++k) {
        const uint8_t* h = &f[offset(f, k)];
        std::size_t data = h[15] == 0 ? getBe16(h + 6) : getBe32(h + 32);
        EXPECT_EQ(getBe16(h + 6), getBe16(h + 10) * getBe16(h + 12)) << "block " << k;
        EXPECT_EQ(recordEnd(f, k) - offset(f, k), 32 + data) << "block " << k;
        total += data;
    }
    const uint8_t* image = &f[offset(f, 0)];
    EXPECT_EQ(getBe32(image + 16), total);
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
    const uint8_t* image = &f[96];
    EXPECT_EQ(getBe32(image + 0), 160u);
    EXPECT_EQ(getBe32(image + 4), 160u);
    EXPECT_EQ(getBe32(image + 8), 16u);
    EXPECT_EQ(getBe16(image + 12), 2u);
    EXPECT_EQ(getBe16(image + 14), 1u);
    EXPECT_EQ(getBe32(image + 16), 51200u);
    EXPECT_EQ(getBe16(image + 20), 320u);
    EXPECT_EQ(getBe16(image + 22), 72u);
    EXPECT_EQ(std::vector<uint8_t>(image + 24, image + 32), std::vector<uint8_t>(8, 0));
    const uint8_t block[32] = {0, 0, 0, 0, 0, 0, 0xC8, 0x00, 0, 160, 0, 160, 0x01, 0x40, 16, 0};
    EXPECT_EQ(std::vector<uint8_t>(&f[128], &f[160]), std::vector<uint8_t>(block, block + 32));
    // White is 0xFFFF in RGB565.
    EXPECT_EQ(f[160], 0xFF);
    EXPECT_EQ(f.back(), 0xFF);
    expectConsistentRecords(f);
}

TEST_F(CompilePdbTest, TallEightBitPictureInFiveBlocks) {
    auto f = compile(plain(320, 480), 320, 480, {.depth = 8, .blockSize = 30720});
    ASSERT_EQ(records(f), 6u);
    EXPECT_EQ(offset(f, 0), 128u);
    EXPECT_EQ(offset(f, 1), 160u);
    for (std::size_t k = 2; k < 6; ++k) EXPECT_EQ(offset(f, k), offset(f, k - 1) + 32 + 96 * 320) << k;
    for (std::size_t k = 1; k < 6; ++k) {
        EXPECT_EQ(getBe16(&f[offset(f, k) + 10]), 96u);
        EXPECT_EQ(getBe16(&f[offset(f, k) + 6]), 30720u);
    }
    EXPECT_EQ(f.size(), offset(f, 5) + 32 + 30720);
    expectConsistentRecords(f);
}

TEST_F(CompilePdbTest, BlockRowsFollowTheBlockSize) {
    // Lower than R0 = 51200 / 320: one block with every row.
    auto low = compile(plain(160, 7), 160, 7);
    ASSERT_EQ(records(low), 2u);
    EXPECT_EQ(getBe16(&low[offset(low, 1) + 10]), 7u);
    // 12 rows of 320 bytes with R0 = 3: four full blocks, no short one.
    auto exact = compile(plain(160, 12), 160, 12, {.blockSize = 3 * 320 + 319});
    ASSERT_EQ(records(exact), 5u);
    for (std::size_t k = 1; k < 5; ++k) EXPECT_EQ(getBe16(&exact[offset(exact, k) + 10]), 3u);
    // 13 rows: a fifth block of the one row left.
    auto rest = compile(plain(160, 13), 160, 13, {.blockSize = 3 * 320});
    ASSERT_EQ(records(rest), 6u);
    EXPECT_EQ(getBe16(&rest[offset(rest, 5) + 10]), 1u);
    expectConsistentRecords(rest);
}

TEST_F(CompilePdbTest, RowBytesArePaddedToEvenCounts) {
    struct Case {
        int32_t width;
        int16_t depth;
        uint32_t rowBytes;
    } cases[] = {{161, 8, 162}, {161, 4, 82}, {160, 4, 80}, {161, 16, 322}, {3, 4, 2}, {5, 4, 4}};
    for (const Case& c : cases) {
        auto f = compile(plain(c.width, 2, 0), c.width, 2, {.depth = c.depth});
        ASSERT_FALSE(f.empty()) << c.width;
        EXPECT_EQ(getBe16(&f[offset(f, 0) + 20]), c.rowBytes) << c.width << " at " << c.depth;
        EXPECT_EQ(getBe16(&f[offset(f, 1) + 12]), c.rowBytes) << c.width << " at " << c.depth;
        EXPECT_EQ(f.size(), offset(f, 1) + 32 + 2 * c.rowBytes);
    }
}

TEST_F(CompilePdbTest, PixelsArePackedByDepth) {
    // 3 x 2 pictures; the pixel data of one block starts at byte 160.
    std::vector<uint8_t> bgr16 = {0, 0, 255, 255, 255, 0, 0x56, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    auto f16 = compile(source(3, 2, bgr16), 3, 2);
    const uint8_t rgb565[] = {0xF8, 0x00, 0x07, 0xFF, 0x11, 0xAA, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(f16.begin() + 160, f16.end()), std::vector<uint8_t>(rgb565, rgb565 + 12));

    // Palm palette: white is entry 0, black first appears at 230, (250, 250,
    // 250) is nearest to white; each row ends in a zero pad byte.
    std::vector<uint8_t> bgr8 = {255, 255, 255, 0, 0, 0, 250, 250, 250, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    auto f8 = compile(source(3, 2, bgr8), 3, 2, {.depth = 8});
    const uint8_t indexed[] = {0, 230, 0, 0, 230, 230, 230, 0};
    EXPECT_EQ(std::vector<uint8_t>(f8.begin() + 160, f8.end()), std::vector<uint8_t>(indexed, indexed + 8));

    // Greys 255 - 17 i: white 0, black 15, 170 is 5, 160 is nearer to 153
    // (6) than to 170; the odd pixel leaves the low nibble 0.
    std::vector<uint8_t> bgr4 = {255, 255, 255, 0, 0, 0, 170, 170, 170, 160, 160, 160, 0, 0, 0, 255, 255, 255};
    auto f4 = compile(source(3, 2, bgr4), 3, 2, {.depth = 4});
    const uint8_t grey4[] = {0x0F, 0x50, 0x6F, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(f4.begin() + 160, f4.end()), std::vector<uint8_t>(grey4, grey4 + 4));
}

TEST_F(CompilePdbTest, HeaderFieldsAreThoseOfABackgroundImage) {
    SourceDateEpoch epoch("1000000000");
    auto f = compile(plain(4, 4), 4, 4, {.name = "Sunset"});
    ASSERT_GE(f.size(), 96u);
    const uint8_t expected[78] = {'S', 'u', 'n', 's', 'e', 't', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0x00, 0x08,              // attributes: backup
                                  0x00, 0x00,              // version
                                  0xB7, 0xC0, 0x7A, 0x80,  // created: 10^9 + 2082844800 seconds after 1904
                                  0xB7, 0xC0, 0x7A, 0x80,  // modified
                                  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  'B', 'm', 'p', 'L', 'V', 'T', 'C', 'R',
                                  0, 0, 0, 0, 0, 0, 0, 0,
                                  0x00, 0x02};
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 78), std::vector<uint8_t>(expected, expected + 78));
    // Record list: offset, attributes 0x40, R = 0 low byte first, index
    // byte (entry 0 carries N = 2); then two zero bytes.
    const uint8_t list[18] = {0, 0, 0, 96, 0x40, 0, 0, 2, 0, 0, 0, 128, 0x40, 0, 0, 1, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 78, f.begin() + 96), std::vector<uint8_t>(list, list + 18));
}

TEST_F(CompilePdbTest, RecordListCarriesOneRandomPartAndTheIndexBytes) {
    auto f = compile(plain(16, 300), 16, 300, {.blockSize = 32 * 20});
    std::size_t n = records(f);
    ASSERT_EQ(n, 16u);
    uint32_t random = mireo::getLe16(&f[78 + 5]);
    EXPECT_LE(random, 32768u);
    for (std::size_t k = 0; k < n; ++k) {
        const uint8_t* e = &f[78 + 8 * k];
        EXPECT_EQ(e[4], 0x40);
        EXPECT_EQ(mireo::getLe16(e + 5), random);
        EXPECT_EQ(e[7], k == 0 ? n : k);
    }
    expectConsistentRecords(f);
}

TEST_F(CompilePdbTest, NameIsCutToThirtyOneCharactersAndPaddedBack) {
    std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    auto f = compile(plain(2, 2), 2, 2, {.name = forty, .nameCapacity = 0});
    ASSERT_FALSE(f.empty());
    EXPECT_EQ(std::string(f.begin(), f.begin() + 32), forty.substr(0, 31) + '\0');
    EXPECT_EQ(nameBack, forty);

    auto empty = compile(plain(2, 2), 2, 2, {.name = ""});
    EXPECT_EQ(std::vector<uint8_t>(empty.begin(), empty.begin() + 32), std::vector<uint8_t>(32, 0));
    EXPECT_EQ(nameBack, std::string(32, '\0'));

    compile(plain(2, 2), 2, 2, {.name = "Hi"});
    EXPECT_EQ(nameBack, "Hi" + std::string(30, '\0'));
    EXPECT_TRUE(ws.messages.empty());
}

TEST_F(CompilePdbTest, NameWithoutRoomForItsPaddingIsRejected) {
    compile(plain(2, 2), 2, 2, {.name = "Hi", .nameCapacity = 0});
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll CompilePDB -  5 - Invalid procedure call or argument");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdb")));
    EXPECT_EQ(fileSize, -1);
}

TEST_F(CompilePdbTest, CompressedBlockMustBeSeventeenBytesShorter) {
    // One white row at depth 8: RLE and PackBits both give a 6-byte stream
    // (length field and one code); RLE comes first among equals.
    auto f22 = compile(plain(22, 1), 22, 1, {.depth = 8, .compress = 1});
    ASSERT_FALSE(f22.empty());
    EXPECT_EQ(f22[128 + 15], 0) << "22 raw bytes rank 6, as low as the stream: stored raw";
    EXPECT_EQ(f22.size(), 160u + 22u);
    auto f24 = compile(plain(24, 1), 24, 1, {.depth = 8, .compress = 1});
    EXPECT_EQ(f24[128 + 15], 2) << "24 raw bytes rank 8: RLE wins";
    const uint8_t rle[] = {0, 0, 0, 6, 24, 0};
    EXPECT_EQ(std::vector<uint8_t>(f24.begin() + 160, f24.end()), std::vector<uint8_t>(rle, rle + 6));
    EXPECT_EQ(getBe32(&f24[96 + 16]), 6u);
    // At depth 16 PackBits counts pixels: 24 white pixels are one repeat.
    auto f16 = compile(plain(24, 1), 24, 1, {.depth = 16, .compress = 1});
    EXPECT_EQ(f16[128 + 15], 3);
    const uint8_t packBits[] = {0, 0, 0, 7, 257 - 24, 0xFF, 0xFF};
    EXPECT_EQ(std::vector<uint8_t>(f16.begin() + 160, f16.end()), std::vector<uint8_t>(packBits, packBits + 7));
}

TEST_F(CompilePdbTest, OffsetsFollowCompressedBlocks) {
    // Blocks alternate between noise and flat colour, so that some are
    // stored raw and some compressed.
    int32_t w = 40, h = 50;
    struct Case {
        int16_t depth;
        int32_t rowsPerBlock;
    } cases[] = {{16, 2}, {8, 5}, {4, 10}};
    for (const Case& c : cases) {
        std::vector<uint8_t> bgr(std::size_t(3 * w * h));
        uint32_t seed = 12345;
        for (std::size_t i = 0; i < bgr.size(); ++i) {
            seed = seed * 1103515245 + 12345;
            bool noise = (i / std::size_t(3 * w) / std::size_t(c.rowsPerBlock)) % 2 == 0;
            bgr[i] = noise ? static_cast<uint8_t>(seed >> 24) : 0x80;
        }
        auto f = compile(source(w, h, bgr), w, h, {.depth = c.depth, .compress = 1, .blockSize = 200});
        ASSERT_GT(records(f), 5u);
        bool raw = false, compressed = false;
        for (std::size_t k = 1; k < records(f); ++k) (f[offset(f, k) + 15] == 0 ? raw : compressed) = true;
        EXPECT_TRUE(raw && compressed) << "depth " << c.depth;
        expectConsistentRecords(f);
        EXPECT_EQ(fileSize, static_cast<int32_t>(f.size()));
    }
}

TEST_F(CompilePdbTest, ReproducibleUnderSourceDateEpoch) {
    SourceDateEpoch epoch("1700000000");
    auto a = compile(plain(30, 30, 0x40), 30, 30, {.depth = 8, .compress = 1}, "a.pdb");
    auto b = compile(plain(30, 30, 0x40), 30, 30, {.depth = 8, .compress = 1}, "b.pdb");
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, b);
    EXPECT_EQ(getBe32(&a[36]), 1700000000u + 2082844800u);
    EXPECT_EQ(mireo::getLe16(&a[78 + 5]), 0u);
}

TEST_F(CompilePdbTest, MissingSourceLeavesEverythingUnchanged) {
    writeFile(dir.file("out.pdb"), {1, 2, 3});
    compile(dir.file("nothing.bmp"), 8, 8);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll module CompilePDB. Unable to find temporary image file.");
    EXPECT_EQ(fileSize, -1);
    EXPECT_EQ(readFile(dir.file("out.pdb")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(CompilePdbTest, ArgumentsTheFormatCannotHoldAreRejected) {
    struct Case {
        const char* what;
        int32_t width, height, bmpWidth, bmpHeight;
        Options options;
        const char* error;
    } cases[] = {
        {"row longer than a block", 100, 2, 100, 2, {.blockSize = 199}, " 5 - Invalid procedure call or argument"},
        {"block size 0", 10, 2, 10, 2, {.blockSize = 0}, " 5 - Invalid procedure call or argument"},
        {"depth 2", 10, 2, 10, 2, {.depth = 2}, " 5 - Invalid procedure call or argument"},
        {"block over 65535 bytes", 300, 200, 300, 200, {.blockSize = 70000}, " 6 - Overflow"},
        {"width over 16 bits", 70000, 1, 70000, 1, {.depth = 4}, " 6 - Overflow"},
        {"width disagrees with the BMP", 10, 2, 11, 2, {}, " 5 - Invalid procedure call or argument"},
        {"height disagrees with the BMP", 10, 3, 10, 2, {}, " 5 - Invalid procedure call or argument"},
        {"zero height", 10, 0, 10, 0, {}, " 5 - Invalid procedure call or argument"},
    };
    for (const Case& c : cases) {
        ws.messages.clear();
        std::string src = c.bmpHeight > 0 ? plain(c.bmpWidth, c.bmpHeight) : plain(1, 1);
        compile(src, c.width, c.height, c.options);
        ASSERT_EQ(ws.messages.size(), 1u) << c.what;
        EXPECT_EQ(ws.messages[0].text, std::string("Error in dll CompilePDB - ") + c.error) << c.what;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdb"))) << c.what;
        EXPECT_EQ(fileSize, -1) << c.what;
    }
}

TEST_F(CompilePdbTest, SourceShorterThanItsPictureIsRejected) {
    auto bmp = readFile(plain(10, 10));
    bmp.resize(bmp.size() - 1);
    writeFile(dir.file("short.bmp"), bmp);
    compile(dir.file("short.bmp"), 10, 10);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll CompilePDB -  62 - Input past end of file");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdb")));
}

TEST_F(CompilePdbTest, PaletteWithoutItsSpareEntryFailsThePackingStep) {
    PaletteTable small(256);
    fillPalm8(small);
    StringArg src(plain(2, 2)), out(dir.file("out.pdb")), name("x", 32);
    int32_t w = 2, h = 2, block = 100;
    int16_t depth = 8, compress = 0;
    CompilePDB(&src, &grey, &small, &w, &h, &depth, name.get(), &out, &compress, &block, &fileSize);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll PBMP8 -  9 - Subscript out of range");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdb")));
}

TEST_F(CompilePdbTest, WriteErrorLeavesNoDatabase) {
    std::filesystem::create_directory(dir.file("out.pdb"));
    compile(plain(4, 4), 4, 4);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text.rfind("Error in dll CompilePDB - ", 0), 0u);
    EXPECT_EQ(fileSize, -1);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("out.pdb")));
    for (auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path().filename() == "source.bmp" || entry.path().filename() == "out.pdb") << entry.path();
}

TEST_F(CompilePdbTest, FullDiskIsReportedAndLeavesNoDatabase) {
    std::string src = plain(100, 100);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &limit);
    compile(src, 100, 100);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll CompilePDB -  61 - Disk full");
    EXPECT_EQ(fileSize, -1);
    for (auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path().filename() == "source.bmp") << entry.path();
}
