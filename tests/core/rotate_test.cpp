// RotateImg: turning working files by 90 degrees, and damaged files.
#include <gtest/gtest.h>

#include <random>

#include "bmp.h"
#include "numeric.h"
#include "test_support.h"

using namespace mireo::test;

namespace {

// A working file with pixel (x, y) (top-down) given by a function.
template <class Pixel>
std::vector<uint8_t> makeBmp(int32_t w, int32_t h, Pixel pixel) {
    auto header = mireo::bmpHeader(w, h);
    std::vector<uint8_t> file(header.begin(), header.end());
    for (int32_t y = h - 1; y >= 0; --y) {
        for (int32_t x = 0; x < w; ++x) {
            auto [b, g, r] = pixel(x, y);
            file.insert(file.end(), {b, g, r});
        }
        file.insert(file.end(), static_cast<std::size_t>(mireo::rowPad(w)), 0);
    }
    return file;
}

std::vector<uint8_t> randomBmp(int32_t w, int32_t h, unsigned seed) {
    std::mt19937 rng(seed);
    return makeBmp(w, h, [&](int32_t, int32_t) {
        return std::array<uint8_t, 3>{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    });
}

void rotate(const std::string& path, const std::string& direction) {
    StringArg file(path), dir(direction);
    RotateImg(&file, &dir);
}

// Blue byte of pixel (x, y), top-down, in a working file.
uint8_t blueAt(const std::vector<uint8_t>& file, int32_t x, int32_t y) {
    int32_t w = static_cast<int32_t>(mireo::getLe32(&file[18]));
    int32_t h = static_cast<int32_t>(mireo::getLe32(&file[22]));
    return file[54 + static_cast<std::size_t>(mireo::paddedRowBytes(w) * (h - 1 - y) + 3 * x)];
}

}  // namespace

TEST(RotateImg, LeftTurnsCounterClockwiseAndAnythingElseClockwise) {
    ScratchDir dir;
    // 3 x 2: top row 1 2 3, bottom row 4 5 6 (in the blue byte).
    auto source = makeBmp(3, 2, [](int32_t x, int32_t y) {
        return std::array<uint8_t, 3>{uint8_t(1 + x + 3 * y), 0, 0};
    });
    for (const char* direction : {"Left", "Right", "left", ""}) {
        writeFile(dir.file("a.bmp"), source);
        rotate(dir.file("a.bmp"), direction);
        auto out = readFile(dir.file("a.bmp"));
        ASSERT_EQ(mireo::getLe32(&out[18]), 2u);
        ASSERT_EQ(mireo::getLe32(&out[22]), 3u);
        ASSERT_EQ(out.size(), 54u + 3 * 8);  // rows of 6 bytes + 2 pad bytes
        bool left = std::string(direction) == "Left";
        // Counter-clockwise: top row 3 6, then 2 5, then 1 4.  Clockwise: 4 1, 5 2, 6 3.
        std::vector<uint8_t> expected = left ? std::vector<uint8_t>{3, 6, 2, 5, 1, 4} : std::vector<uint8_t>{4, 1, 5, 2, 6, 3};
        std::vector<uint8_t> actual;
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 2; ++x) actual.push_back(blueAt(out, x, y));
        EXPECT_EQ(actual, expected) << direction;
    }
}

TEST(RotateImg, OutputHeaderIsTheStandardTemplate) {
    ScratchDir dir;
    auto source = randomBmp(5, 3, 1);
    mireo::putLe32(&source[38], 1234);  // a resolution the output must not copy
    writeFile(dir.file("a.bmp"), source);
    rotate(dir.file("a.bmp"), "Left");
    auto out = readFile(dir.file("a.bmp"));
    auto expected = mireo::bmpHeader(3, 5);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
    EXPECT_EQ(out.size(), 54u + 5 * 12);
}

TEST(RotateImg, OppositeTurnsAndFourTurnsRestoreThePixels) {
    ScratchDir dir;
    for (int32_t w : {1, 2, 3, 5}) {
        for (int32_t h : {1, 2, 3, 4, 7}) {
            auto source = randomBmp(w, h, static_cast<unsigned>(w * 100 + h));
            writeFile(dir.file("a.bmp"), source);
            rotate(dir.file("a.bmp"), "Left");
            rotate(dir.file("a.bmp"), "Right");
            EXPECT_EQ(readFile(dir.file("a.bmp")), source) << w << "x" << h;
            for (int i = 0; i < 4; ++i) rotate(dir.file("a.bmp"), "Left");
            EXPECT_EQ(readFile(dir.file("a.bmp")), source) << w << "x" << h;
        }
    }
}

TEST(RotateImg, MissingFileIsReportedAndNothingIsCreated) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    rotate(dir.file("none.bmp"), "Left");
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll module Rotate. Unable to find temporary image file.");
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));
}

// Damaged or foreign files: one Rotate message, the file unchanged, and the
// next call works.
class RotateDamaged : public testing::TestWithParam<std::pair<const char*, std::vector<uint8_t> (*)()>> {};

TEST_P(RotateDamaged, IsReportedAndLeavesTheFileAlone) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    auto damaged = GetParam().second();
    writeFile(dir.file("a.bmp"), damaged);
    rotate(dir.file("a.bmp"), "Left");
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text.rfind("Error in dll module Rotate -  ", 0), 0u) << ws.messages[0].text;
    EXPECT_EQ(readFile(dir.file("a.bmp")), damaged);

    auto good = randomBmp(2, 3, 7);
    writeFile(dir.file("b.bmp"), good);
    rotate(dir.file("b.bmp"), "Left");
    EXPECT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(readFile(dir.file("b.bmp")).size(), 54u + 2 * 12);
}

namespace {

std::vector<uint8_t> withField(uint32_t offset, uint32_t value, bool sixteen = false) {
    auto file = randomBmp(4, 4, 3);
    if (sixteen)
        mireo::putLe16(&file[offset], value);
    else
        mireo::putLe32(&file[offset], value);
    return file;
}

std::vector<uint8_t> truncated() {
    auto file = randomBmp(4, 4, 3);
    file.pop_back();
    return file;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    DamagedHeaders, RotateDamaged,
    testing::Values(std::make_pair("empty", +[] { return std::vector<uint8_t>{}; }),
                    std::make_pair("short header", +[] { return std::vector<uint8_t>{'B', 'M', 0, 0}; }),
                    std::make_pair("not a bmp", +[] { return withField(0, 0x4E50, true); }),
                    std::make_pair("negative width", +[] { return withField(18, static_cast<uint32_t>(-4)); }),
                    std::make_pair("zero height", +[] { return withField(22, 0); }),
                    std::make_pair("negative height", +[] { return withField(22, static_cast<uint32_t>(-4)); }),
                    std::make_pair("absurd width", +[] { return withField(18, 0x7FFFFFFF); }),
                    std::make_pair("absurd size", +[] { return withField(22, 100000); }),
                    std::make_pair("offset past end", +[] { return withField(10, 1u << 30); }),
                    std::make_pair("offset in header", +[] { return withField(10, 10); }),
                    std::make_pair("8 bits per pixel", +[] { return withField(28, 8, true); }),
                    std::make_pair("compressed", +[] { return withField(30, 1); }),
                    std::make_pair("truncated data", truncated)),
    [](const auto& param) {
        std::string name = param.param.first;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });
