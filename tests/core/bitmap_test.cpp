// The BMP layout, the 16-bit colour expansion, WriteBmp24 and RotateImg,
// and how both report what goes wrong.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <thread>
#include <random>

#include "bmp.h"
#include "numeric.h"
#include "test_support.h"

using namespace mireo::test;

namespace {

void writeBmp24(Bytes bits, int32_t w, int32_t h, int32_t bpp, const std::string& path) {
    MireoArray array = byteArray(bits);
    StringArg name(path);
    WriteBmp24(&array, &w, &h, &name, &bpp);
}
void rotate(const std::string& path, const std::string& direction) { StringArg f(path), d(direction); RotateImg(&f, &d); }

// The header of a w x h BMP followed by `data`.
Bytes bmp(int32_t w, int32_t h, const Bytes& data) {
    auto header = mireo::bmpHeader(w, h);
    Bytes file(header.begin(), header.end());
    return file.insert(file.end(), data.begin(), data.end()), file;
}

// A working file of random pixels, written by hand: bottom row first, rows
// padded with zeros to a multiple of 4 bytes.
Bytes randomBmp(int32_t w, int32_t h, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes data;
    for (int32_t y = 0; y < h; ++y, data.resize(data.size() + std::size_t((4 - 3 * w % 4) % 4)))
        for (int32_t x = 0; x < 3 * w; ++x) data.push_back(static_cast<uint8_t>(rng()));
    return bmp(w, h, data);
}

}  // namespace

// The row padding shows in the WriteBmp24 files below (1 to 4 pixels wide);
// every RGB565 channel value expands as the 16-bit databases read back show.
TEST(BmpLayout, Header) {
    auto h = mireo::bmpHeader(3, 2);
    const Bytes expected = {'B', 'M', 54 + 24, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0,
                            1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(h.begin(), h.end()), expected);
}

TEST(WriteBmp24, DeviceBitsBecomeBottomUpPaddedRowsInFilesDevicesAndPipes) {
    struct Case { const char* what; Bytes bits; int32_t w, h, bpp; Bytes data; } cases[] = {
        {"32 bits drop the fourth byte", {10, 20, 30, 99, 40, 50, 60, 99}, 2, 1, 32, {10, 20, 30, 40, 50, 60, 0, 0}},
        {"16-bit white and primaries", {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00}, 4, 1, 16,
         {255, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0}},
        {"24 bits, bottom row first", {1, 2, 3, 4, 5, 6, 7, 8, 9}, 1, 3, 24, {7, 8, 9, 0, 4, 5, 6, 0, 1, 2, 3, 0}},
        {"unknown depth is black", Bytes(100, 0xAB), 3, 2, 8, Bytes(24, 0)},
        {"rows past the array stay black", {1, 2, 3, 0, 4, 5}, 2, 2, 32, {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}},
    };
    ScratchDir dir;
    RecordingWindowSystem ws;
    for (const Case& c : cases) {
        writeFile(dir.file("a.bmp"), Bytes(1000, 7));  // replaced, never appended to
        writeBmp24(c.bits, c.w, c.h, c.bpp, dir.file("a.bmp"));
        EXPECT_EQ(readFile(dir.file("a.bmp")), bmp(c.w, c.h, c.data)) << c.what;
    }
    // A device or a pipe under the output name is written into, never
    // replaced by a file; a link is kept and the file it leads to replaced.
    const Bytes bits(4 * 6 * 5, 0x33);
    writeBmp24(bits, 6, 5, 32, dir.file("file.bmp"));
    const Bytes expected = readFile(dir.file("file.bmp"));
    writeBmp24(bits, 6, 5, 32, "/dev/null");
    struct stat st;
    ASSERT_EQ(::lstat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    Bytes piped;
    std::thread reader([&] { piped = readFile(dir.file("fifo")); });
    writeBmp24(bits, 6, 5, 32, dir.file("fifo"));
    reader.join();
    EXPECT_EQ(piped, expected);
    EXPECT_EQ(std::filesystem::status(dir.file("fifo")).type(), std::filesystem::file_type::fifo);
    writeFile(dir.file("old.bmp"), {1, 2, 3});
    std::filesystem::create_symlink(dir.file("old.bmp"), dir.file("link.bmp"));
    writeBmp24(bits, 6, 5, 32, dir.file("link.bmp"));
    EXPECT_EQ(std::pair(std::filesystem::is_symlink(dir.file("link.bmp")), readFile(dir.file("old.bmp"))), std::pair(true, expected));
    EXPECT_TRUE(ws.messages.empty());
}

// One message per failure, no file or a partial one under the name, and the
// next call works.
TEST(WriteBmp24, FailuresAreReportedOnceAndLeaveNoPartialFile) {
    struct Case { const char* name; int32_t width; uint64_t sizeLimit; const char* message; } cases[] = {  // "a.bmp" is a folder
        {"missing/a.bmp", 1, 0, " 76 - Path not found"}, {"a.bmp", 1, 0, " 75 - Path/File access error"},
        {"b.bmp", 0, 0, " 5 - Invalid procedure call or argument"}, {"b.bmp", 100, 1000, " 61 - Disk full"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ScratchDir dir;
        std::filesystem::create_directory(dir.file("a.bmp"));
        RecordingWindowSystem ws;
        withFileSizeLimit(c.sizeLimit, [&] { writeBmp24(Bytes(40000, 0x55), c.width, 100, 32, dir.file(c.name)); });
        EXPECT_EQ(ws.takeTexts(), Texts{std::string("Error in dll module WriteBmp24 - ") + c.message});
        EXPECT_FALSE(std::filesystem::is_regular_file(dir.file(c.name)));
        writeBmp24({1, 2, 3, 4}, 1, 1, 32, dir.file("c.bmp"));
        EXPECT_EQ(readFile(dir.file("c.bmp")).size(), 58u);
        EXPECT_TRUE(ws.messages.empty());
    }
}

TEST(RotateImg, LeftTurnsCounterClockwiseAnythingElseClockwise) {
    ScratchDir dir;
    // 3 x 2, blue bytes: top row 1 2 3, bottom row 4 5 6; rows carry 3 pad bytes.
    Bytes source = bmp(3, 2, {4, 0, 0, 5, 0, 0, 6, 0, 0, 0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 0, 0, 0});
    mireo::putLe32(&source[38], 1234);  // a resolution the output must not copy
    // Counter-clockwise the top row is 3 6, then 2 5, then 1 4; clockwise
    // 4 1, 5 2, 6 3.  Rows of 6 bytes get 2 pad bytes.
    for (const char* direction : {"Left", "Right", "left", ""}) {
        writeFile(dir.file("a.bmp"), source);
        rotate(dir.file("a.bmp"), direction);
        Bytes topDown = std::string(direction) == "Left" ? Bytes{3, 6, 2, 5, 1, 4} : Bytes{4, 1, 5, 2, 6, 3}, data;
        for (int r = 2; r >= 0; --r) data.insert(data.end(), {topDown[2 * r], 0, 0, topDown[2 * r + 1], 0, 0, 0, 0});
        EXPECT_EQ(readFile(dir.file("a.bmp")), bmp(2, 3, data)) << direction;
    }
    // Opposite turns, and four turns one way, restore the pixels.
    for (int32_t w : {1, 2, 3, 5})
        for (int32_t h : {1, 2, 3, 4, 7}) {
            auto original = randomBmp(w, h, static_cast<unsigned>(w * 100 + h));
            writeFile(dir.file("a.bmp"), original);
            for (const char* direction : {"Left", "Right"}) rotate(dir.file("a.bmp"), direction);
            EXPECT_EQ(readFile(dir.file("a.bmp")), original) << w << "x" << h;
            for (int i = 0; i < 4; ++i) rotate(dir.file("a.bmp"), "Right");
            EXPECT_EQ(readFile(dir.file("a.bmp")), original) << w << "x" << h;
        }
}

// Missing, damaged or foreign files: one message, the file unchanged, and
// the next call works.
TEST(RotateImg, DamagedFilesAreReportedAndLeftAlone) {
    auto with = [](uint32_t at, uint32_t value, int bytes = 4) {
        auto f = randomBmp(4, 4, 3);
        bytes == 2 ? mireo::putLe16(&f[at], value) : mireo::putLe32(&f[at], value);
        return f;
    };
    Bytes truncated = randomBmp(4, 4, 3);
    truncated.pop_back();
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}}, {"short header", {'B', 'M', 0, 0}}, {"not a bmp", with(0, 0x4E50, 2)},
        {"negative width", with(18, uint32_t(-4))}, {"zero height", with(22, 0)}, {"negative height", with(22, uint32_t(-4))},
        {"absurd width", with(18, 0x7FFFFFFF)}, {"absurd height", with(22, 100000)}, {"offset past end", with(10, 1u << 30)},
        {"offset in header", with(10, 10)}, {"8 bits per pixel", with(28, 8, 2)}, {"compressed", with(30, 1)},
        {"truncated data", truncated}};
    ScratchDir dir;
    RecordingWindowSystem ws;
    rotate(dir.file("none.bmp"), "Left");
    EXPECT_EQ(ws.takeTexts(), Texts{"Error in dll module Rotate. Unable to find temporary image file."});
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));
    for (const auto& [what, damaged] : cases) {
        writeFile(dir.file("a.bmp"), damaged);
        rotate(dir.file("a.bmp"), "Left");
        ASSERT_EQ(ws.messages.size(), 1u) << what;
        EXPECT_EQ(ws.takeTexts()[0].rfind("Error in dll module Rotate -  ", 0), 0u) << what;
        EXPECT_EQ(readFile(dir.file("a.bmp")), damaged) << what;
    }
    writeFile(dir.file("b.bmp"), randomBmp(2, 3, 7));
    rotate(dir.file("b.bmp"), "Left");
    EXPECT_EQ(readFile(dir.file("b.bmp")).size(), 54u + 2 * 12);
    EXPECT_TRUE(ws.messages.empty());
    // A full disk: the old file was deleted before writing, as every replaced
    // output is, and no truncated picture stands under the name.
    writeFile(dir.file("b.bmp"), randomBmp(60, 40, 1));
    withFileSizeLimit(2000, [&] { rotate(dir.file("b.bmp"), "Left"); });
    EXPECT_EQ(ws.takeTexts(), Texts{"Error in dll module Rotate -  61 - Disk full"});
    EXPECT_FALSE(std::filesystem::exists(dir.file("b.bmp")));
}
