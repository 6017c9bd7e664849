// netpbm's palmtopnm, a Palm bitmap decoder that this project did not
// write, must see the same pixels in our blocks, raw and compressed.  Each
// block is wrapped as a version 3 Palm bitmap, whose compressed data starts
// with a 32-bit size, as our streams do.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "numeric.h"
#include "test_support.h"

using namespace mireo::test;

namespace {

const char* const kPalmToPnm = "/usr/bin/palmtopnm";

// The 24-byte header of a version 3 Palm bitmap.  Its compression codes
// differ from ours: 0 scanline, 1 RLE, 2 PackBits, 0xFF none.
Bytes palmHeader(int32_t width, int32_t height, int32_t depth, uint8_t compression) {
    Bytes h(24, 0);
    mireo::putBe16(&h[0], static_cast<uint32_t>(width));
    mireo::putBe16(&h[2], static_cast<uint32_t>(height));
    mireo::putBe16(&h[4], static_cast<uint32_t>(mireo::packedRowBytes(width, depth)));
    // Flags (compressed, direct colour at 16 bits), depth, version 3, header
    // size 24, pixel format (RGB565 big-endian or indexed), compression, density.
    mireo::putBe16(&h[6], (compression == 0xFF ? 0 : 0x8000) | (depth == 16 ? 0x0400 : 0));
    h[8] = static_cast<uint8_t>(depth), h[9] = 3, h[10] = 24, h[11] = depth == 16 ? 1 : 0, h[13] = compression;
    mireo::putBe16(&h[14], 72);
    return h;
}

// The width, the height and the pixels of a PPM (P6) or PGM (P5) as red,
// green, blue, scaled to 0..255, or to the bits of RGB565 when `bits565`.
std::vector<int> readPnm(const Bytes& file, bool bits565) {
    std::istringstream in(std::string(file.begin(), file.begin() + std::min<std::ptrdiff_t>(64, std::ssize(file))));
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    auto offset = static_cast<std::size_t>(in.tellg()) + 1;
    std::size_t channels = magic == "P6" ? 3 : 1, count = std::size_t(width) * std::size_t(height);
    EXPECT_TRUE((magic == "P6" || magic == "P5") && maxval > 0 && maxval < 256) << magic << " " << maxval;
    std::vector<int> out = {width, height};
    for (std::size_t i = 0; maxval > 0 && i < count * 3 && offset + count * channels <= file.size(); ++i) {
        int top = bits565 ? (i % 3 == 1 ? 63 : 31) : 255;
        out.push_back(static_cast<int>(mireo::roundHalfEven(double(file[offset + (channels == 3 ? i : i / 3)]) * top / maxval)));
    }
    return out;
}

}  // namespace

TEST(PalmToPnm, DecodesOurBlocksAtEveryDepth) {
    if (!std::filesystem::exists(kPalmToPnm)) GTEST_SKIP() << kPalmToPnm << " is not installed (Debian package netpbm)";
    const auto palm8 = mireo::imaging::palm8Palette();
    ScratchDir dir;
    std::mt19937 rng(1);
    for (int32_t depth : {16, 8, 4})
        for (uint8_t palm : {uint8_t{0xFF}, uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
            if (depth == 16 && palm == 1) continue;  // no RLE at 16 bits
            for (auto [width, height] : {std::pair{37, 11}, {161, 9}, {160, 40}, {1, 3}}) {
                SCOPED_TRACE(testing::Message() << "code " << int(palm) << ", " << width << " x " << height << " at " << depth);
                // Flat areas, gradients and noise, with zero padding; Palm
                // indices past 230 are all black, so they are left out.
                int32_t rowBytes = mireo::packedRowBytes(width, depth);
                Bytes packed(static_cast<std::size_t>(rowBytes * height), 0);
                std::vector<int> want = {width, height};
                uint32_t top = depth == 16 ? 0xFFFF : depth == 8 ? 230 : 15;
                for (int32_t y = 0; y < height; ++y) {
                    uint8_t* row = &packed[static_cast<std::size_t>(rowBytes * y)];
                    for (int32_t x = 0, value = 0; x < width; ++x) {
                        if (rng() % 8 == 0 || y % 3 == 1) value = static_cast<int>(rng() % (top + 1));
                        if (y % 5 == 2) value = x % static_cast<int>(top + 1);
                        if (depth == 16) mireo::putBe16(row + 2 * x, uint32_t(value));
                        if (depth == 16) want.insert(want.end(), {value >> 11, value >> 5 & 63, value & 31});
                        if (depth == 8) row[x] = static_cast<uint8_t>(value);
                        for (int c = 0; c < 3 && depth == 8; ++c) want.push_back(int(palm8.at(value, c)));
                        if (depth == 4) row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? value << 4 : value);
                        if (depth == 4) want.insert(want.end(), 3, 255 - 17 * value);
                    }
                }
                Bytes bitmap = palmHeader(width, height, depth, palm),
                      data = palm == 0xFF ? packed
                             : palm == 0  ? mireo::encodeScanline(packed, height, rowBytes)
                             : palm == 1  ? mireo::encodeRle(packed, height, rowBytes)
                             : depth == 16 ? mireo::encodePackBits16(packed, height, width)
                                           : mireo::encodePackBits8(packed, height, rowBytes);
                bitmap.insert(bitmap.end(), data.begin(), data.end());
                writeFile(dir.file("in.palm"), bitmap);
                std::string command = std::string(kPalmToPnm) + " " + dir.file("in.palm") + " > " + dir.file("out.pnm") +
                                      " 2> " + dir.file("err.txt");
                auto err = std::system(command.c_str()) == 0 ? Bytes{} : readFile(dir.file("err.txt"));
                ASSERT_EQ(std::string(err.begin(), err.end()), "");
                auto got = readPnm(readFile(dir.file("out.pnm")), depth == 16);
                ASSERT_EQ(got.size(), want.size()) << "size " << got[0] << " x " << got[1];
                auto differ = std::mismatch(got.begin(), got.end(), want.begin());
                EXPECT_TRUE(differ.first == got.end()) << "value " << (differ.first - got.begin()) << ": " << *differ.first
                                                       << " instead of " << *differ.second;
            }
        }
}
