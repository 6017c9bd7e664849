// The BMP decoder against Qt's reader and its box means, hand-decoded run-length streams, cuts and lies.
#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <string>

#include "imaging/bmp_decoder.h"
#include "test_support.h"

namespace mireo::imaging {
namespace {

using test::Bytes;

void put(Bytes& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
Bytes randomBytes(std::size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (uint8_t& b : bytes) b = uint8_t(random());
    return bytes;
}

// A BMP file field by field, so that a test can build every kind and damage any field.
struct Bmp {
    uint32_t headerSize = 40;
    int32_t width = 1, height = 1;
    uint32_t planes = 1, bits = 24, compression = 0, colorsUsed = 0;
    Bytes palette{};                   // as stored: blue, green, red and (but in OS/2 1.x) a byte never read
    std::array<uint32_t, 4> masks{};   // red, green, blue, alpha
    Bytes pixels{};                    // as stored
    uint32_t gap = 0, offset = 0;      // bytes between the colour table and the pixels; where they start (0: after)
    Bytes file() const {
        // OS/2 1.x has 16-bit sizes; masks go inside a header with room for them, else after it.
        const bool core = headerSize == 12, roomy = headerSize > 40 && headerSize != 64;
        const uint32_t room = roomy ? headerSize : std::min(headerSize, 40u);
        Bytes b;
        put(b, headerSize, 4), put(b, uint32_t(width), core ? 2 : 4), put(b, uint32_t(height), core ? 2 : 4);
        put(b, planes, 2), put(b, bits, 2);
        for (uint32_t v : {compression, uint32_t(pixels.size()), 2835u, 2835u, colorsUsed, 0u, masks[0], masks[1],
                           masks[2], masks[3]})
            if (b.size() + 4 <= room) put(b, v, 4);
        b.resize(headerSize, 0);
        if (!roomy && (compression == 3 || compression == 6))
            for (std::size_t i = 0; i < (compression == 6 ? 4u : 3u); ++i) put(b, masks[i], 4);
        b.insert(b.end(), palette.begin(), palette.end());
        b.insert(b.end(), gap, 0x77);
        const uint32_t at = uint32_t(14 + b.size());
        Bytes file{'B', 'M'};
        for (uint32_t v : {at + uint32_t(pixels.size()), 0u, offset ? offset : at}) put(file, v, 4);
        file.insert(file.end(), b.begin(), b.end());
        file.insert(file.end(), pixels.begin(), pixels.end());
        return file;
    }
    std::size_t rowBytes() const { return (std::size_t(width) * bits + 31) / 32 * 4; }
    std::size_t lastRowPadding() const { return rowBytes() - (std::size_t(width) * bits + 7) / 8; }
};

QImage qtDecode(const Bytes& file) {
    return QImage::fromData(file.data(), int(file.size()), "BMP").convertToFormat(QImage::Format_RGB32);
}

// The rounded mean of each box by plain summing, partial boxes at the edges.
QImage boxMeans(const QImage& full, int factor) {
    QImage out((full.width() - 1) / factor + 1, (full.height() - 1) / factor + 1, QImage::Format_RGB32);
    for (int by = 0; by < out.height(); ++by)
        for (int bx = 0; bx < out.width(); ++bx) {
            const QRect box = QRect(bx * factor, by * factor, factor, factor) & full.rect();
            int sum[3] = {}, n = box.width() * box.height();
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    for (int c = 0; c < 3; ++c) sum[c] += int(full.pixel(x, y) >> (16 - 8 * c) & 0xFF);
            out.setPixel(bx, by, qRgb((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n));
        }
    return out;
}

bool samePixels(const QImage& a, const QImage& b) {  // every byte, alpha included (32-bit rows have no padding)
    return a.size() == b.size() && a.format() == b.format() &&
           std::equal(a.constBits(), a.constBits() + a.sizeInBytes(), b.constBits());
}

struct Decoded { bool usable = false; QImage picture; QString error; };
// From memory and from a file opened a few bytes before the BMP starts; the two must agree in everything.
Decoded decode(const Bytes& bmp, int factor = 1) {
    std::FILE* stream = std::tmpfile();
    std::fwrite("junk", 1, 4, stream);
    if (!bmp.empty()) std::fwrite(bmp.data(), 1, bmp.size(), stream);
    std::fseek(stream, 4, SEEK_SET);
    BmpDecoder fromMemory(bmp, 16), fromFile(stream, 16);
    const Decoded memory{fromMemory.usable(), fromMemory.decode(factor), fromMemory.error()};
    const Decoded streamed{fromFile.usable(), fromFile.decode(factor), fromFile.error()};
    std::fclose(stream);
    EXPECT_TRUE(memory.usable == streamed.usable && samePixels(memory.picture, streamed.picture) &&
                memory.error == streamed.error && fromMemory.size() == fromFile.size());
    return memory;
}
void expectPixels(const Bytes& file, const QImage& want, int factor = 1) {
    const Decoded got = decode(file, factor);
    EXPECT_TRUE(got.error.isEmpty() && !want.isNull() && samePixels(got.picture, want)) << got.error.toStdString();
}

// The first `needed` bytes give `want`; every shorter cut is refused, past the headers only when decoding.
void expectCuts(const Bytes& file, std::size_t needed, const QImage& want) {
    for (std::size_t length = 0; length < needed; ++length) {
        const Decoded cut = decode(Bytes(file.begin(), file.begin() + long(length)));
        const bool inPixels = length >= std::size_t(file[10] | file[11] << 8);
        EXPECT_TRUE(cut.picture.isNull() && cut.usable == inPixels && !cut.error.isEmpty()) << length;
        EXPECT_EQ(cut.error.toStdString() == "The picture is damaged: it ends before all its pixels.", inPixels);
    }
    expectPixels(Bytes(file.begin(), file.begin() + long(needed)), want);
}

// Every header, depth and mask layout that Qt reads; short tables (indices past them); odd masks, wide or gapped.
struct Kind { uint32_t header, bits, compression, colours; std::array<uint32_t, 4> masks; };
constexpr std::array<uint32_t, 4> kRgba{0xFF0000, 0xFF00, 0xFF, 0xFF000000};
const Kind kQtKinds[] = {
    {12, 1, 0, 2, {}}, {12, 4, 0, 16, {}}, {12, 8, 0, 256, {}}, {12, 24, 0, 0, {}}, {40, 1, 0, 2, {}},
    {40, 1, 0, 1, {}}, {40, 4, 0, 16, {}}, {40, 4, 0, 5, {}}, {40, 4, 0, 20, {}}, {40, 8, 0, 256, {}},
    {40, 8, 0, 7, {}}, {40, 16, 0, 0, {}}, {40, 24, 0, 0, {}}, {40, 32, 0, 0, {}}, {64, 8, 0, 256, {}},
    {64, 24, 0, 0, {}}, {108, 8, 0, 100, {}}, {108, 24, 0, 0, {}}, {124, 4, 0, 16, {}}, {124, 16, 0, 0, {}},
    {40, 16, 3, 0, {0xF800, 0x07E0, 0x001F}}, {40, 16, 3, 0, {0xF000, 0x0FFE, 0x0001}},
    {40, 16, 3, 0, {0x5000, 0x0A00, 0x0003}}, {40, 16, 3, 0, {0, 0x7C00, 0x83FF}}, {40, 32, 3, 0, kRgba},
    {40, 32, 3, 0, {0x3FF00000, 0xFFC00, 0x3FF}}, {40, 32, 3, 0, {0xFF, 0xFF00, 0xFF0000}},
    {40, 32, 3, 0, {0xF0000000, 0x0F000000, 0x00F00000}}, {64, 16, 3, 0, {0xF800, 0x07E0, 0x001F}},
    {108, 16, 3, 0, {0xF800, 0x07E0, 0x001F, 0}}, {108, 32, 3, 0, kRgba},
    {124, 32, 3, 0, {0xFF00, 0xFF0000, 0xFF000000, 0xFF}}, {124, 32, 0, 0, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}},
    // Qt refuses V2 and V3 headers and alpha bitfields, or gets them wrong: these give its 40/32/3 pixels.
    {52, 32, 3, 0, kRgba}, {52, 32, 6, 0, kRgba}, {56, 32, 3, 0, kRgba}, {56, 32, 6, 0, kRgba}, {40, 32, 6, 0, kRgba},
    {108, 32, 6, 0, kRgba}, {124, 32, 6, 0, kRgba},
};

// Random stored rows, padding included; a negative height stores them top-down.
Bmp bmpOf(const Kind& kind, int width, int height, uint32_t seed) {
    Bmp bmp{.headerSize = kind.header, .width = width, .height = height, .bits = kind.bits,
            .compression = kind.compression, .palette = randomBytes((kind.header == 12 ? 3 : 4) * kind.colours, seed),
            .masks = kind.masks, .gap = seed % 3 == 0 ? 6u : 0u};
    if (kind.header != 12 && kind.bits <= 8 && kind.colours != 1u << kind.bits) bmp.colorsUsed = kind.colours;
    bmp.pixels = randomBytes(bmp.rowBytes() * std::size_t(std::abs(height)), seed + 1);
    return bmp;
}
// Runs and absolute stretches of random lengths and bytes that cover every pixel once, rows closed by end codes.
Bytes coveringStream(int width, int height, bool fourBits, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes stream;
    for (int y = 0; y < height; ++y) {
        for (int x = 0, n = 0; x < width; x += n) {
            n = std::min(width - x, int(random() % 9) + 1);
            const bool run = n < 3 || random() % 2;
            stream.insert(stream.end(), {uint8_t(run ? n : 0), uint8_t(run ? random() : uint32_t(n))});
            const int bytes = run ? 0 : fourBits ? (n + 1) / 2 : n;
            for (int i = 0; i < bytes + bytes % 2; ++i) stream.push_back(uint8_t(random()));
        }
        stream.insert(stream.end(), {0, uint8_t(y == height - 1 ? 1 : 0)});
    }
    return stream;
}

Bmp rleOf(int width, int height, bool fourBits, const Bytes& stream, const Bytes& palette) {
    return {.width = width, .height = height, .bits = fourBits ? 4u : 8u, .compression = fourBits ? 2u : 1u,
            .colorsUsed = uint32_t(palette.size() / 4), .palette = palette, .pixels = stream};
}

TEST(BmpDecoder, GivesQtsPixelsOrTheirBoxMeansForEveryKindAndRefusesItsCuts) {
    uint32_t seed = 1;
    for (const Kind& kind : kQtKinds)
        for (int height : {3, -3})
            for (int width : {1, 5, 6, 13}) {
                SCOPED_TRACE(testing::Message() << &kind - kQtKinds << ": " << width << "x" << height);
                const Bmp bmp = bmpOf(kind, width, height, seed);
                const bool qtFails = kind.header == 52 || kind.header == 56 || kind.compression == 6;
                const Bytes file = bmp.file(), plain = bmpOf({40, 32, 3, 0, kind.masks}, width, height, seed++).file();
                const QImage qt = qtDecode(qtFails ? plain : file);
                for (int factor : {1, 2, 3, 4, 1000}) expectPixels(file, boxMeans(qt, factor), factor);
                expectCuts(file, file.size() - bmp.lastRowPadding(), qt);
            }
    for (int n = 1; n <= 12; ++n) {
        const bool fourBits = n % 2 == 0;
        const int width = n * 3 % 17 + 1, height = n % 4 + 1;
        const Bytes file = rleOf(width, height, fourBits, coveringStream(width, height, fourBits, uint32_t(n)),
                                 randomBytes(fourBits ? 64 : 1024, uint32_t(n))).file();
        for (int factor : {1, 2, 3}) expectPixels(file, boxMeans(qtDecode(file), factor), factor);
    }
}

// Hand-decoded streams (indices top row first); `spare`: the end bytes they may lose (end code, last padding).
struct RleCase { const char* what; int width; bool fourBits; int spare; Bytes stream; std::string indices; };
const RleCase kRleCases[] = {
    {"jump right and up", 4, false, 2, {1, 1, 0, 2, 2, 1, 1, 5, 0, 0, 4, 6, 0, 1}, "6666" "0005" "1000"},
    {"early ends of row and picture", 4, false, 0, {2, 1, 0, 0, 1, 2, 0, 1}, "0000" "2000" "1100"},
    {"4-bit jump", 5, true, 2, {1, 0x12, 0, 2, 2, 1, 2, 0x34, 0, 1}, "00034" "10000"},
    {"jumps stop at the edges", 4, false, 2, {1, 1, 0, 2, 10, 0, 1, 3, 0, 2, 0, 10, 1, 4, 0, 1}, "0004" "1003"},
    {"runs cut at the row's end", 4, false, 1, {6, 1, 2, 2, 0, 0, 0, 5, 3, 4, 5, 6, 7, 0}, "3456" "1111"},
    {"4-bit absolute stretch of 3", 5, true, 2, {0, 3, 0x12, 0x30, 2, 0x55, 0, 1}, "12355"},
};
TEST(BmpDecoder, RunLengthPixelsPassedOverTakePaletteEntryZero) {
    const Bytes palette = randomBytes(64, 99);
    for (const RleCase& c : kRleCases) {
        SCOPED_TRACE(c.what);
        QImage want(c.width, int(c.indices.size()) / c.width, QImage::Format_RGB32);
        for (int i = 0; i < int(c.indices.size()); ++i) {
            const auto at = std::size_t(c.indices[std::size_t(i)] - '0') * 4;  // blue, green, red, unused
            want.setPixel(i % c.width, i / c.width, qRgb(palette[at + 2], palette[at + 1], palette[at]));
        }
        const Bytes file = rleOf(c.width, want.height(), c.fourBits, c.stream, palette).file();
        expectPixels(file, want), expectCuts(file, file.size() - std::size_t(c.spare), want);
    }
}

// Damage to a sound header; `reason`: a part of the reason; `usable`: the header passes, the decoding refuses.
struct Lie { void (*damage)(Bmp&); const char* reason; bool usable = false; int factor = 1; };
const char* const kDamaged = "header is damaged";
const Lie kLies[] = {
    {[](Bmp& b) { b.planes = 2; }, kDamaged}, {[](Bmp& b) { b.width = 0; }, kDamaged},
    {[](Bmp& b) { b.width = -3; }, kDamaged}, {[](Bmp& b) { b.height = 0; }, kDamaged},
    {[](Bmp& b) { b.bits = 7; }, "(7 bits per pixel) is not supported"},
    {[](Bmp& b) { b.compression = 9; }, "(compression 9) is not supported"},
    {[](Bmp& b) { b.bits = 4, b.compression = 1; }, "(compression 1) is not supported"},
    {[](Bmp& b) { b.compression = 3; }, "(compression 3) is not supported"},
    {[](Bmp& b) { b.bits = 0, b.compression = 4; }, "(0 bits per pixel) is not supported"},  // JPEG inside
    {[](Bmp& b) { b.bits = 8, b.compression = 1, b.height = -2; }, kDamaged},
    {[](Bmp& b) { b.bits = 8, b.colorsUsed = 300; }, kDamaged}, {[](Bmp& b) { b.offset = 40; }, kDamaged},
    {[](Bmp& b) { b.bits = 32, b.compression = 3, b.masks = {~0u, 0xFF00, 0xFF}; }, kDamaged},
    {[](Bmp& b) { b.headerSize = 77; }, "(a header of 77 bytes) is not supported"},
    {[](Bmp& b) { b.offset = 5000; }, "its pixels would start past its end"},
    {[](Bmp& b) { b.width = 20000, b.height = -20000; }, "too large"},  // past Qt's size
    {[](Bmp& b) { b.width = 3000, b.height = 2000; }, "too large", true},
    {[](Bmp& b) { b.width = 1 << 28, b.height = 1, b.bits = 32; }, "too large", true, 1 << 20},  // its stored row
};
TEST(BmpDecoder, RefusesLyingHeadersWithAReasonAndASecondDecoding) {
    for (const Lie& lie : kLies) {
        Bmp bmp{.width = 3, .height = 2, .pixels = Bytes(24, 0)};
        lie.damage(bmp);
        const Decoded got = decode(bmp.file(), lie.factor);
        EXPECT_TRUE(got.usable == lie.usable && got.picture.isNull()) << &lie - kLies;
        EXPECT_TRUE(got.error.contains(QLatin1String(lie.reason))) << &lie - kLies << ": " << got.error.toStdString();
    }
    EXPECT_EQ(decode(Bytes{'B', 'A', 0, 0}).error.toStdString(), "This is not a BMP file.");
    const Bytes file = bmpOf({40, 24, 0, 0, {}}, 4, 2, 1).file();
    BmpDecoder decoder(file, 16);
    EXPECT_TRUE(decoder.size() == QSize(4, 2) && !decoder.decode().isNull() && looksLikeBmp(file));
    EXPECT_TRUE(decoder.decode().isNull() && !decoder.error().isEmpty());
    for (const Bytes& head : {Bytes{}, Bytes{'B'}, Bytes{'B', 'A'}, Bytes{'M', 'B'}}) EXPECT_FALSE(looksLikeBmp(head));
}

}  // namespace
}  // namespace mireo::imaging
