// ReadVTBI and the facts a database gives about itself: round trips through
// CompilePDB, the version messages, and damaged databases, each reported
// with its own number and leaving no BMP behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>

#include "bmp.h"
#include "errors.h"
#include "numeric.h"
#include "packed_picture.h"
#include "pdb_reader.h"
#include "test_support.h"

using namespace mireo::test;
using Bytes = std::vector<uint8_t>;
using mireo::getBe16;
using mireo::getBe32;
using mireo::putBe16;
using mireo::putBe32;

namespace {

class ReadVtbiTest : public ::testing::Test, public PdbMaker {
protected:
    Bytes database(int32_t w, int32_t h, const Bytes& bgr, int16_t depth, int16_t compress = 0, int32_t block = 51200) {
        auto f = compile(source(w, h, bgr), w, h, {.depth = depth, .compress = compress, .blockSize = block, .name = "Test"});
        EXPECT_TRUE(ws.messages.empty());
        return f;
    }
    Bytes plain(int32_t w, int32_t h, int16_t depth, int16_t compress = 0, uint8_t value = 0xFF, int32_t block = 51200) {
        return database(w, h, Bytes(std::size_t(3 * w * h), value), depth, compress, block);
    }
    // ReadVTBI on `pdb`; the BMP goes to bmp().
    void read(const Bytes& pdb, const MireoArray* palm = nullptr) {
        writeFile(dir.file("in.pdb"), pdb);
        StringArg in(dir.file("in.pdb")), out(bmp());
        storedDepth = -1;
        ReadVTBI(grey.arg(), palm ? palm : palm8.arg(), &in, &out, &storedDepth);
    }
    // The picture of the BMP written, top row first, without its zero padding.
    Bytes pictureRead(int32_t w, int32_t h) {
        auto out = readFile(bmp());
        auto padded = static_cast<std::size_t>(mireo::paddedRowBytes(w));
        EXPECT_EQ(out.size(), 54 + std::size_t(h) * padded);
        for (std::size_t row = 0; row < std::size_t(h) && out.size() == 54 + std::size_t(h) * padded; ++row)
            for (std::size_t k = 3 * std::size_t(w); k < padded; ++k) EXPECT_EQ(out[54 + row * padded + k], 0) << "pad";
        auto back = mireo::unPad(out.data() + 54, out.size() - 54, w, h);
        mireo::flipRows(back);
        return back.bytes;
    }
    std::string bmp() const { return dir.file("out.bmp"); }
    bool bmpWritten() const { return std::filesystem::exists(bmp()); }

    RecordingWindowSystem ws;
    int16_t storedDepth = -1;
};

std::size_t record(const Bytes& f, std::size_t k) { return getBe32(&f[78 + 8 * k]); }
std::string readerError(int number) { return "Error in dll Reading VT BackImage - " + mireo::formatError(number); }

}  // namespace

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
                auto f = database(w, h, bgr, depth, compress, 4000);
                for (std::size_t k = 1; k < getBe16(&f[76]); ++k) compressedBlocks += f[record(f, k) + 15] != 0;
                writeFile(bmp(), Bytes(5000, 7));  // replaced, never appended to
                read(f);
                ASSERT_TRUE(ws.messages.empty()) << ws.messages[0].text;
                EXPECT_EQ(storedDepth, depth);
                EXPECT_EQ(pictureRead(w, h), depth == 16 ? want : bgr);
                files[compress] = readFile(bmp());
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
        auto f = plain(4, 4, depth);
        putBe16(&f[record(f, 0) + 12], version);
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

TEST_F(ReadVtbiTest, DamagedDatabasesAreReportedAndLeaveNoBmp) {
    // Three-block databases of 20 x 6 at 8 bits: raw, and with RLE streams.
    auto raw = plain(20, 6, 8, 0), base = plain(20, 6, 8, 0, 0xFF, 40), rle = plain(20, 6, 8, 1, 0xFF, 40);
    ASSERT_EQ(getBe16(&base[76]), 4u);
    ASSERT_EQ(rle[record(rle, 1) + 15], 2);
    auto image = [](Bytes& f, std::size_t field) { return &f[record(f, 0) + field]; };
    auto block = [](Bytes& f, std::size_t k, std::size_t field) { return &f[record(f, k) + field]; };
    struct Case {
        const char* what;
        const Bytes& start;
        std::function<void(Bytes&)> damage;
        int number;
        int16_t depth = 0;  // handed back, when the image record can be read (0: not checked)
    } cases[] = {
        {"header cut short", raw, [](auto& f) { f.resize(50); }, 62},
        {"image record cut short", raw, [](auto& f) { f.resize(record(f, 0) + 20); }, 62},
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
         [&](auto& f) {
             putBe32(block(f, 3, 32), getBe32(block(f, 3, 32)) + 2);
             f.insert(f.end(), {1, 0xFF});
         },
         5, 8},
    };
    for (const Case& c : cases) {
        ws.messages.clear();
        auto damaged = c.start;
        c.damage(damaged);
        read(damaged);
        ASSERT_EQ(ws.messages.size(), 1u) << c.what;
        EXPECT_EQ(ws.messages[0].text, readerError(c.number)) << c.what;
        EXPECT_FALSE(bmpWritten()) << c.what;
        if (c.depth) {
            EXPECT_EQ(storedDepth, c.depth) << c.what << ": the low 16 bits of the stored depth";
        }
    }
    ws.messages.clear();
    StringArg in(dir.file("none.pdb")), out(bmp());
    ReadVTBI(grey.arg(), palm8.arg(), &in, &out, &storedDepth);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, readerError(53));
    ws.messages.clear();
    read(rle);
    EXPECT_TRUE(ws.messages.empty());
    EXPECT_TRUE(bmpWritten()) << "the library works after damaged files";
}

TEST_F(ReadVtbiTest, StreamErrorsAndIndicesOutsideTheTableAreReported) {
    auto rle = plain(20, 6, 8, 1, 0xFF, 40);
    std::size_t stream = record(rle, 2) + 32;
    const std::pair<std::size_t, uint8_t> damage[] = {{3, 200}, {6, 10}, {4, 30}, {4, 0}};  // byte, value
    const int numbers[] = {62, 62, 9, 5};  // length past the record, last run short, run past the row, count 0
    for (int i = 0; i < 4; ++i) {
        ws.messages.clear();
        auto damaged = rle;
        damaged[stream + damage[i].first] = damage[i].second;
        read(damaged);
        ASSERT_EQ(ws.messages.size(), 2u) << i;
        EXPECT_EQ(ws.messages[0].text, "Error in dll RLE Un-compress - " + mireo::formatError(numbers[i])) << i;
        EXPECT_EQ(ws.messages[1].text, readerError(numbers[i])) << i;
        EXPECT_FALSE(bmpWritten()) << i;
    }
    // A palette index beyond the table.
    ws.messages.clear();
    Table small(10);
    small.set(0, 255, 255, 255);
    read(plain(4, 2, 8, 0, 0), small.arg());  // black: index 230
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, readerError(9));
    EXPECT_FALSE(bmpWritten());
    ws.messages.clear();
    read(plain(4, 2, 8), small.arg());  // white: index 0
    EXPECT_TRUE(ws.messages.empty());
    EXPECT_TRUE(bmpWritten());
}

// 20 x 6 at 8 bits in blocks of 40 bytes: three blocks of two 20-byte rows.
// Raw, each block stores its 40 bytes; compressed, each white row is the
// RLE pair (20, 0), so a block is a stream of 4 + 4 bytes.
TEST_F(ReadVtbiTest, DatabaseFactsAreThoseStored) {
    setenv("SOURCE_DATE_EPOCH", "1000000000", 1);
    for (int16_t compress : {int16_t{0}, int16_t{1}}) {
        SCOPED_TRACE(compress);
        auto f = plain(20, 6, 8, compress, 0xFF, 40);
        mireo::DatabaseFacts facts = mireo::readDatabaseFacts(f);
        EXPECT_EQ(facts.name + facts.type + facts.creator, "TestBmpLVTCR");
        EXPECT_EQ(std::vector<uint32_t>({facts.attributes, facts.version, facts.created, facts.modified, facts.backedUp}),
                  std::vector<uint32_t>({8, 0, 1000000000u + 2082844800u, 1000000000u + 2082844800u, 0}));
        const mireo::ImageRecord& i = facts.image;
        uint32_t stored = compress ? 8 : 40;
        EXPECT_EQ(std::vector<uint32_t>({i.width, i.height, i.depth, i.version, i.blockCount, i.totalBytes, i.rowBytes, i.density}),
                  std::vector<uint32_t>({20, 6, 8, 2, 3, 3 * stored, 20, 72}));
        ASSERT_EQ(facts.blocks.size(), 3u);
        for (const mireo::BlockFacts& b : facts.blocks) {
            EXPECT_EQ(std::vector<uint32_t>({b.uncompressedBytes, b.width, b.rows, b.rowBytes, b.depth, b.compression}),
                      std::vector<uint32_t>({40, 20, 2, 20, 8, compress ? 2u : 0u}));
            EXPECT_EQ(b.storedBytes, stored);
        }
    }
    unsetenv("SOURCE_DATE_EPOCH");
    // A truncated file, and a block count that disagrees with the record list.
    auto base = plain(20, 6, 8, 0, 0xFF, 40);
    auto numberOf = [](const Bytes& f) { return errorNumberOf([&] { mireo::readDatabaseFacts(f); }); };
    for (std::size_t cut : {std::size_t{50}, std::size_t{100}, record(base, 3) + 20}) {
        Bytes f(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(numberOf(f), mireo::kInputPastEnd) << "cut at " << cut;
    }
    for (int count : {2, 4}) {
        auto f = base;
        putBe16(&f[record(f, 0) + 14], uint32_t(count));
        EXPECT_EQ(numberOf(f), mireo::kInvalidCall) << "block count " << count;
    }
    EXPECT_EQ(numberOf(base), 0);
}
