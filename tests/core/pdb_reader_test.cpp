// ReadVTBI: version messages, row alignment at odd widths, and damaged
// databases, each reported with its own number and leaving no BMP behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "bmp.h"
#include "codec_messages.h"
#include "errors.h"
#include "numeric.h"
#include "packed_picture.h"
#include "test_support.h"

using namespace mireo::test;
using mireo::getBe16;
using mireo::getBe32;
using mireo::putBe16;
using mireo::putBe32;

namespace {

class ReadVtbiTest : public ::testing::Test {
protected:
    ReadVtbiTest() {
        fillGrey16(grey);
        fillPalm8(palm8);
    }

    // A database of a picture in `bgr` (top row first).
    std::vector<uint8_t> database(int32_t w, int32_t h, const std::vector<uint8_t>& bgr, int16_t depth,
                                  int16_t compress = 0, int32_t blockSize = 51200) {
        std::string src = dir.file("source.bmp"), out = dir.file("made.pdb");
        mireo::writeBmpFile(src, w, h, mireo::packBmpRows({w, h, bgr}));
        StringArg srcArg(src), outArg(out), name("Test", 32);
        int32_t size = 0;
        CompilePDB(&srcArg, &grey, &palm8, &w, &h, &depth, name.get(), &outArg, &compress, &blockSize, &size);
        EXPECT_TRUE(ws.messages.empty());
        return readFile(out);
    }
    std::vector<uint8_t> plain(int32_t w, int32_t h, int16_t depth, int16_t compress = 0, uint8_t value = 0xFF) {
        return database(w, h, std::vector<uint8_t>(std::size_t(3 * w * h), value), depth, compress);
    }

    // ReadVTBI on `pdb`; the BMP goes to bmp().
    void read(const std::vector<uint8_t>& pdb, const MireoArray* greyTable = nullptr,
              const MireoArray* palmTable = nullptr) {
        writeFile(dir.file("in.pdb"), pdb);
        StringArg in(dir.file("in.pdb")), out(bmp());
        storedDepth = -1;
        ReadVTBI(greyTable ? greyTable : &grey, palmTable ? palmTable : &palm8, &in, &out, &storedDepth);
    }
    std::string bmp() const { return dir.file("out.bmp"); }
    bool bmpWritten() const { return std::filesystem::exists(bmp()); }

    ScratchDir dir;
    RecordingWindowSystem ws;
    PaletteTable grey{17}, palm8{257};
    int16_t storedDepth = -1;
};

std::size_t offsetOf(const std::vector<uint8_t>& f, std::size_t k) { return getBe32(&f[78 + 8 * k]); }
std::size_t imageRecord(const std::vector<uint8_t>& f) { return offsetOf(f, 0); }
std::size_t block(const std::vector<uint8_t>& f, std::size_t k) { return offsetOf(f, k); }

std::string readerError(int number) { return "Error in dll Reading VT BackImage - " + mireo::formatError(number); }

}  // namespace

TEST_F(ReadVtbiTest, ObsoleteVersionIsExplainedAndNothingIsWritten) {
    auto f = plain(4, 4, 8);
    putBe16(&f[imageRecord(f) + 12], 1);
    read(f);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Unable to load this image.\r\nIt's in the obsolete version 1 format.");
    EXPECT_EQ(ws.messages[0].caption, "Problem!");
    EXPECT_EQ(ws.messages[0].icon, MIREO_ICON_INFORMATION);
    EXPECT_EQ(storedDepth, 8);
    EXPECT_FALSE(bmpWritten());
}

TEST_F(ReadVtbiTest, UnknownVersionIsRefusedAfterTheDepthIsSet) {
    auto f = plain(4, 4, 4);
    putBe16(&f[imageRecord(f) + 12], 3);
    writeFile(bmp(), {9, 9});
    read(f);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error! Unknown Version Number.");
    EXPECT_EQ(ws.messages[0].icon, MIREO_ICON_NONE);
    EXPECT_EQ(storedDepth, 4);
    EXPECT_EQ(readFile(bmp()), (std::vector<uint8_t>{9, 9}));
}

TEST_F(ReadVtbiTest, OddWidthEightBitRowsKeepTheirPadByteOutOfThePicture) {
    int32_t w = 161, h = 3;
    std::vector<uint8_t> bgr(std::size_t(3 * w * h));
    for (std::size_t i = 0; i < bgr.size(); ++i) bgr[i] = (i / 3) % 2 ? 0 : 255;  // white and black
    auto f = database(w, h, bgr, 8);
    EXPECT_EQ(getBe16(&f[imageRecord(f) + 20]), 162u);
    read(f);
    ASSERT_TRUE(ws.messages.empty()) << ws.messages[0].text;
    EXPECT_EQ(storedDepth, 8);
    auto out = readFile(bmp());
    ASSERT_EQ(out.size(), 54u + 3 * (483 + 1));
    for (int r = 0; r < h; ++r) {
        EXPECT_EQ(std::vector<uint8_t>(out.begin() + 54 + 484 * r, out.begin() + 54 + 484 * r + 483),
                  std::vector<uint8_t>(bgr.begin() + 483 * (h - 1 - r), bgr.begin() + 483 * (h - r)));
        EXPECT_EQ(out[54 + 484 * r + 483], 0);
    }
}

TEST_F(ReadVtbiTest, FourBitPictureOf162PixelsReproducesEveryGrey) {
    int32_t w = 162, h = 4;
    std::vector<uint8_t> bgr(std::size_t(3 * w * h));
    for (std::size_t p = 0; p < bgr.size() / 3; ++p)
        std::fill_n(bgr.begin() + 3 * p, 3, static_cast<uint8_t>(255 - 17 * ((p * 7 + p / 162) % 16)));
    auto f = database(w, h, bgr, 4);
    EXPECT_EQ(getBe16(&f[imageRecord(f) + 20]), 82u);
    read(f);
    ASSERT_TRUE(ws.messages.empty());
    auto out = readFile(bmp());
    auto back = mireo::unPad(out.data() + 54, out.size() - 54, w, h);
    mireo::flipRows(back);
    EXPECT_EQ(back.bytes, bgr);
}

TEST_F(ReadVtbiTest, ExistingBmpIsReplaced) {
    writeFile(bmp(), std::vector<uint8_t>(5000, 7));
    read(plain(2, 2, 16));
    auto out = readFile(bmp());
    ASSERT_EQ(out.size(), 54u + 2 * 8);
    EXPECT_EQ(out[0], 'B');
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 54, out.begin() + 60), std::vector<uint8_t>(6, 255));
}

TEST_F(ReadVtbiTest, MissingDatabaseIsFileNotFound) {
    StringArg in(dir.file("none.pdb")), out(bmp());
    ReadVTBI(&grey, &palm8, &in, &out, &storedDepth);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, readerError(53));
    EXPECT_EQ(storedDepth, -1);
    EXPECT_FALSE(bmpWritten());
}

TEST_F(ReadVtbiTest, DamagedDatabasesAreReportedAndLeaveNoBmp) {
    // Three-block databases: raw, and compressed with RLE streams.
    auto raw = plain(20, 6, 8);
    auto base = database(20, 6, std::vector<uint8_t>(360, 0xFF), 8, 0, 40);
    auto rle = database(20, 6, std::vector<uint8_t>(360, 0xFF), 8, 1, 40);
    ASSERT_EQ(getBe16(&base[76]), 4u);
    ASSERT_EQ(rle[block(rle, 1) + 15], 2);
    struct Case {
        const char* what;
        const std::vector<uint8_t>& start;
        std::function<void(std::vector<uint8_t>&)> damage;
        int number;
    } cases[] = {
        {"header cut short", raw, [](auto& f) { f.resize(50); }, 62},
        {"image record cut short", raw, [](auto& f) { f.resize(imageRecord(f) + 20); }, 62},
        {"raw block cut short", base, [](auto& f) { f.pop_back(); }, 62},
        {"no records", raw, [](auto& f) { putBe16(&f[76], 0); }, 5},
        {"record list past the end", raw, [](auto& f) { putBe16(&f[76], 60000); }, 62},
        {"offset past the end", base, [](auto& f) { putBe32(&f[78 + 8 * 2], 1u << 30); }, 62},
        {"offsets out of order", base, [](auto& f) { putBe32(&f[78 + 8 * 2], 100); }, 5},
        {"block count beyond the records", base, [](auto& f) { putBe16(&f[imageRecord(f) + 14], 4); }, 5},
        {"block count 0", base, [](auto& f) { putBe16(&f[imageRecord(f) + 14], 0); }, 5},
        {"block rows disagree", base, [](auto& f) { putBe16(&f[block(f, 2) + 10], 3); }, 5},
        {"block row bytes disagree", base, [](auto& f) { putBe16(&f[block(f, 2) + 12], 22); }, 5},
        {"block width disagrees", base, [](auto& f) { putBe16(&f[block(f, 2) + 8], 21); }, 5},
        {"image row bytes disagree", base, [](auto& f) { putBe16(&f[imageRecord(f) + 20], 22); }, 5},
        {"rows short of the height", base, [](auto& f) { putBe32(&f[imageRecord(f) + 4], 7); }, 5},
        {"rows beyond the height", base, [](auto& f) { putBe32(&f[imageRecord(f) + 4], 5); }, 5},
        {"huge height", base, [](auto& f) { putBe32(&f[imageRecord(f) + 4], 0x7FFFFFFF); }, 5},
        {"huge width", base, [](auto& f) { putBe32(&f[imageRecord(f)], 0x40000000); }, 5},
        {"zero width", base, [](auto& f) { putBe32(&f[imageRecord(f)], 0); }, 5},
        {"depth 2", base, [](auto& f) { putBe32(&f[imageRecord(f) + 8], 2); }, 5},
        {"unknown compression", base, [](auto& f) { f[block(f, 1) + 15] = 7; }, 5},
        {"stream longer than the block", rle,
         [](auto& f) {
             std::size_t last = block(f, 3) + 32;
             putBe32(&f[last], getBe32(&f[last]) + 2);
             f.push_back(1);
             f.push_back(0xFF);
         },
         5},
    };
    for (const Case& c : cases) {
        ws.messages.clear();
        auto damaged = c.start;
        c.damage(damaged);
        read(damaged);
        ASSERT_EQ(ws.messages.size(), 1u) << c.what;
        EXPECT_EQ(ws.messages[0].text, readerError(c.number)) << c.what;
        EXPECT_FALSE(bmpWritten()) << c.what;
    }
    ws.messages.clear();
    read(rle);
    EXPECT_TRUE(ws.messages.empty());
    EXPECT_TRUE(bmpWritten()) << "the library works after damaged files";
}

TEST_F(ReadVtbiTest, DepthIsSetBeforeTheStructureIsChecked) {
    auto f = plain(4, 4, 16);
    putBe32(&f[imageRecord(f) + 8], 0x00010010);
    putBe16(&f[imageRecord(f) + 14], 9);
    read(f);
    EXPECT_EQ(storedDepth, 16) << "the low 16 bits of the stored depth";
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, readerError(5));
}

TEST_F(ReadVtbiTest, StreamErrorsShowTheDecodersMessageFirst) {
    auto rle = database(20, 6, std::vector<uint8_t>(360, 0xFF), 8, 1, 40);
    std::size_t stream = block(rle, 2) + 32;
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        int number;
    } cases[] = {
        {"length field past the record", [&](auto& f) { putBe32(&f[stream], 200); }, 62},
        {"last run short of the block", [&](auto& f) { f[stream + 6] = 10; }, 62},
        {"run past the row", [&](auto& f) { f[stream + 4] = 30; }, 9},
        {"count of zero", [&](auto& f) { f[stream + 4] = 0; }, 5},
    };
    const std::string prefix = mireo::decoderErrorText(mireo::kRle);
    for (const Case& c : cases) {
        ws.messages.clear();
        auto damaged = rle;
        c.damage(damaged);
        read(damaged);
        ASSERT_EQ(ws.messages.size(), 2u) << c.what;
        EXPECT_EQ(ws.messages[0].text, prefix + mireo::formatError(c.number)) << c.what;
        EXPECT_EQ(ws.messages[1].text, readerError(c.number)) << c.what;
        EXPECT_FALSE(bmpWritten()) << c.what;
    }
}

TEST_F(ReadVtbiTest, PaletteIndexBeyondTheTableIsReported) {
    PaletteTable small(10);
    small.set(0, 255, 255, 255);
    auto f = plain(4, 2, 8, 0, 0);  // black: index 230
    read(f, nullptr, &small);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, readerError(9));
    EXPECT_FALSE(bmpWritten());
    // Indices the table holds read fine.
    ws.messages.clear();
    read(plain(4, 2, 8), nullptr, &small);
    EXPECT_TRUE(ws.messages.empty());
    EXPECT_TRUE(bmpWritten());
}
