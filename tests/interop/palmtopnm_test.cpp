// netpbm's palmtopnm, a Palm bitmap decoder that this project did not
// write, must see the same pixels in our compressed blocks.  Each block's
// stream is wrapped as a version 3 Palm bitmap; the compressed data of a
// version 3 bitmap starts with a 32-bit size, as our streams do.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>

#include "codecs.h"
#include "numeric.h"
#include "test_support.h"

using namespace mireo::test;
using Bytes = std::vector<uint8_t>;

namespace {

const char* const kPalmToPnm = "/usr/bin/palmtopnm";

// Compression codes of the Palm bitmap header, which differ from ours.
enum PalmCompression : uint8_t { kPalmScanline = 0, kPalmRle = 1, kPalmPackBits = 2, kPalmNone = 0xFF };

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Picture {
    int32_t width, height, depth;
    Bytes packed;  // rows of packedRowBytes(width, depth) bytes
};

// The 24-byte header of a version 3 Palm bitmap.
Bytes palmHeader(const Picture& p, PalmCompression compression) {
    Bytes h(24, 0);
    mireo::putBe16(&h[0], static_cast<uint32_t>(p.width));
    mireo::putBe16(&h[2], static_cast<uint32_t>(p.height));
    mireo::putBe16(&h[4], static_cast<uint32_t>(mireo::packedRowBytes(p.width, p.depth)));
    uint32_t flags = compression == kPalmNone ? 0 : 0x8000;  // compressed
    if (p.depth == 16) flags |= 0x0400;                      // direct colour
    mireo::putBe16(&h[6], flags);
    h[8] = static_cast<uint8_t>(p.depth);
    h[9] = 3;                          // version
    h[10] = 24;                        // header size
    h[11] = p.depth == 16 ? 1 : 0;     // RGB565 big-endian, or indexed
    h[13] = compression;
    mireo::putBe16(&h[14], 72);        // density
    // transparent value and next-bitmap offset stay 0
    return h;
}

std::string runPalmToPnm(const ScratchDir& dir, const Bytes& bitmap) {
    writeFile(dir.file("in.palm"), bitmap);
    std::string command = std::string(kPalmToPnm) + " " + dir.file("in.palm") + " > " + dir.file("out.pnm") + " 2> " +
                          dir.file("err.txt");
    int status = std::system(command.c_str());
    auto err = readFile(dir.file("err.txt"));
    std::string errText(err.begin(), err.end());
    if (status != 0) return "palmtopnm failed: " + errText;
    return {};
}

// The pixels of a PPM (P6) or PGM (P5), scaled to 0..255 and, when
// `bits565` is set, reduced to the bits of RGB565 instead.
std::vector<Rgb> readPnm(const Bytes& file, int32_t& width, int32_t& height, bool bits565) {
    std::string head(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(file.size(), 64)));
    std::istringstream in(head);
    std::string magic;
    int maxval = 0;
    in >> magic >> width >> height >> maxval;
    auto offset = static_cast<std::size_t>(in.tellg()) + 1;
    std::size_t channels = magic == "P6" ? 3 : 1;
    EXPECT_TRUE(magic == "P6" || magic == "P5") << magic;
    EXPECT_LT(maxval, 256);
    std::vector<Rgb> pixels;
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (maxval <= 0 || file.size() < offset + count * channels) return pixels;
    auto scale = [&](uint8_t v, int bits) {
        int top = bits565 ? (1 << bits) - 1 : 255;
        return static_cast<int>(mireo::roundHalfEven(double(v) * top / maxval));
    };
    for (std::size_t i = 0; i < count; ++i) {
        const uint8_t* p = &file[offset + i * channels];
        uint8_t g = channels == 3 ? p[1] : p[0], b = channels == 3 ? p[2] : p[0];
        pixels.push_back({scale(p[0], 5), scale(g, 6), scale(b, 5)});
    }
    return pixels;
}

// The colour palmtopnm should show for pixel (x, y) of the picture.
Rgb expectedColour(const Picture& p, const PaletteTable& palm8, int32_t x, int32_t y) {
    auto row = static_cast<std::size_t>(mireo::packedRowBytes(p.width, p.depth)) * static_cast<std::size_t>(y);
    switch (p.depth) {
    case 16: {
        uint32_t v = mireo::getBe16(&p.packed[row + 2 * static_cast<std::size_t>(x)]);
        return {int(v >> 11), int(v >> 5 & 63), int(v & 31)};
    }
    case 8: {
        uint8_t i = p.packed[row + static_cast<std::size_t>(x)];
        auto n = static_cast<std::size_t>(palm8.entries());
        return {int(palm8.values[i]), int(palm8.values[n + i]), int(palm8.values[2 * n + i])};
    }
    default: {
        uint8_t byte = p.packed[row + static_cast<std::size_t>(x / 2)];
        int index = x % 2 == 0 ? byte >> 4 : byte & 15;
        int grey = 255 - 17 * index;
        return {grey, grey, grey};
    }
    }
}

// A picture of flat areas, gradients and noise, with zero padding.
Picture makePicture(int32_t width, int32_t height, int32_t depth, unsigned seed) {
    std::mt19937 rng(seed);
    int32_t rowBytes = mireo::packedRowBytes(width, depth);
    Picture p{width, height, depth, Bytes(static_cast<std::size_t>(rowBytes) * height, 0)};
    uint32_t maxValue = depth == 16 ? 0xFFFF : depth == 8 ? 255 : 15;
    for (int32_t y = 0; y < height; ++y) {
        uint32_t value = 0;
        for (int32_t x = 0; x < width; ++x) {
            if (rng() % 8 == 0 || y % 3 == 1) value = static_cast<uint32_t>(rng() % (maxValue + 1));
            if (y % 5 == 2) value = static_cast<uint32_t>(x) % (maxValue + 1);
            // Palm indices past 230 are all black; keep the colours distinct.
            if (depth == 8) value %= 231;
            uint8_t* row = &p.packed[static_cast<std::size_t>(rowBytes) * y];
            if (depth == 16) mireo::putBe16(row + 2 * x, value);
            if (depth == 8) row[x] = static_cast<uint8_t>(value);
            if (depth == 4) row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? value << 4 : value);
        }
    }
    return p;
}

struct Case {
    const char* name;
    PalmCompression palm;
    std::function<Bytes(const Picture&)> encode;
};

Bytes rawData(const Picture& p) { return p.packed; }

std::vector<Case> casesFor(int32_t depth) {
    auto rows = [](const Picture& p) { return p.height; };
    auto rowBytes = [](const Picture& p) { return mireo::packedRowBytes(p.width, p.depth); };
    std::vector<Case> cases{
        {"uncompressed", kPalmNone, rawData},
        {"scanline", kPalmScanline, [=](const Picture& p) { return mireo::encodeScanline(p.packed, rows(p), rowBytes(p)); }},
    };
    if (depth == 16) {
        cases.push_back({"packbits16", kPalmPackBits,
                         [=](const Picture& p) { return mireo::encodePackBits16(p.packed, rows(p), p.width); }});
    } else {
        cases.push_back({"rle", kPalmRle, [=](const Picture& p) { return mireo::encodeRle(p.packed, rows(p), rowBytes(p)); }});
        cases.push_back({"packbits", kPalmPackBits,
                         [=](const Picture& p) { return mireo::encodePackBits8(p.packed, rows(p), rowBytes(p)); }});
    }
    return cases;
}

void checkDecodesAlike(int32_t depth) {
    if (!std::filesystem::exists(kPalmToPnm)) GTEST_SKIP() << kPalmToPnm << " is not installed (Debian package netpbm)";
    PaletteTable palm8(257);
    fillPalm8(palm8);
    ScratchDir dir;
    unsigned seed = 1;
    for (const Case& c : casesFor(depth)) {
        for (auto [width, height] : {std::pair{37, 11}, {161, 9}, {160, 40}, {1, 3}}) {
            SCOPED_TRACE(testing::Message() << c.name << " " << width << " x " << height << " at " << depth);
            Picture p = makePicture(width, height, depth, seed++);
            Bytes bitmap = palmHeader(p, c.palm);
            Bytes data = c.encode(p);
            bitmap.insert(bitmap.end(), data.begin(), data.end());
            ASSERT_EQ(runPalmToPnm(dir, bitmap), "");
            int32_t w = 0, h = 0;
            auto pixels = readPnm(readFile(dir.file("out.pnm")), w, h, depth == 16);
            ASSERT_EQ(w, width);
            ASSERT_EQ(h, height);
            ASSERT_EQ(pixels.size(), static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
            int mismatches = 0;
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < width; ++x) {
                    Rgb want = expectedColour(p, palm8, x, y);
                    Rgb got = pixels[static_cast<std::size_t>(y) * width + x];
                    if (want != got && ++mismatches <= 3)
                        ADD_FAILURE() << "pixel " << x << ", " << y << ": " << got.r << " " << got.g << " " << got.b
                                      << " instead of " << want.r << " " << want.g << " " << want.b;
                }
            ASSERT_EQ(mismatches, 0);
        }
    }
}

}  // namespace

TEST(PalmToPnm, Decodes16BitBlocks) { checkDecodesAlike(16); }
TEST(PalmToPnm, Decodes8BitBlocks) { checkDecodesAlike(8); }
TEST(PalmToPnm, Decodes4BitBlocks) { checkDecodesAlike(4); }
