// The BMP decoder: every kind of BMP that Qt's reader reads gives Qt's
// pixels, from memory and from a file alike; the kinds Qt refuses or gets
// wrong (top-down compressed, V2 and V3 headers, alpha bitfields, a last
// row without padding) give the pixels of their plain equivalent; passed-
// over run-length pixels take palette entry 0; every cut and every lying
// header is refused with a reason; shrinking averages each box.
#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <optional>
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

// A BMP file field by field, so that a test can build every kind and damage
// any field.  Masks go inside a header with room for them, else after it.
struct Bmp {
    uint32_t headerSize = 40;
    int32_t width = 1, height = 1;
    uint32_t planes = 1, bits = 24, compression = 0, colorsUsed = 0;
    std::vector<QRgb> palette{};
    std::array<uint32_t, 4> masks{};  // red, green, blue, alpha
    Bytes pixels{};                    // as stored
    uint32_t gap = 0;                  // bytes between the colour table and the pixels
    std::optional<uint32_t> offset{};  // of the pixels, when not right after the gap

    Bytes info() const {
        Bytes h;
        put(h, headerSize, 4);
        if (headerSize == 12) {
            for (uint32_t v : {uint32_t(width), uint32_t(height), planes, bits}) put(h, v, 2);
            return h;
        }
        put(h, uint32_t(width), 4), put(h, uint32_t(height), 4), put(h, planes, 2), put(h, bits, 2);
        for (uint32_t v : {compression, uint32_t(pixels.size()), 2835u, 2835u, colorsUsed, 0u}) put(h, v, 4);
        for (uint32_t mask : masks)
            if (headerSize != 64 && h.size() + 4 <= headerSize) put(h, mask, 4);
        h.resize(headerSize, 0);
        if ((compression == 3 || compression == 6) && (headerSize == 40 || headerSize == 64))
            for (int i = 0; i < (compression == 6 ? 4 : 3); ++i) put(h, masks[std::size_t(i)], 4);
        return h;
    }

    Bytes file() const {
        Bytes body = info();
        for (QRgb c : palette) {
            for (int v : {qBlue(c), qGreen(c), qRed(c)}) body.push_back(uint8_t(v));
            if (headerSize != 12) body.push_back(0x5A);  // the reserved byte, never read
        }
        body.insert(body.end(), gap, 0x77);
        Bytes file{'B', 'M'};
        put(file, uint32_t(14 + body.size() + pixels.size()), 4), put(file, 0, 4);
        put(file, offset.value_or(uint32_t(14 + body.size())), 4);
        file.insert(file.end(), body.begin(), body.end());
        file.insert(file.end(), pixels.begin(), pixels.end());
        return file;
    }

    std::size_t rowBytes() const { return (std::size_t(width) * bits + 31) / 32 * 4; }
    std::size_t lastRowPadding() const { return rowBytes() - (std::size_t(width) * bits + 7) / 8; }
};

std::vector<QRgb> colours(int count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<QRgb> table;
    for (int i = 0; i < count; ++i) table.push_back(uint32_t(random()) | 0xFF000000);
    return table;
}

// Random stored rows, their padding included (the decoder must pass over it).
Bytes randomRows(const Bmp& bmp, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes rows(bmp.rowBytes() * std::size_t(std::abs(bmp.height)));
    for (uint8_t& b : rows) b = uint8_t(random());
    return rows;
}

// The same picture stored the other way up.
Bmp flipped(Bmp bmp) {
    const std::size_t row = bmp.rowBytes(), rows = std::size_t(std::abs(bmp.height));
    Bytes reversed;
    for (std::size_t r = rows; r-- > 0;)
        reversed.insert(reversed.end(), bmp.pixels.begin() + long(r * row), bmp.pixels.begin() + long((r + 1) * row));
    bmp.pixels = reversed;
    bmp.height = -bmp.height;
    return bmp;
}

QImage qtDecode(const Bytes& file) {
    QByteArray bytes(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

struct Decoded {
    bool usable = false;
    QImage picture;
    QString error;
};

// Every byte of every row, alpha included.
bool samePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), std::size_t(a.width()) * 4) != 0) return false;
    return true;
}

// Decodes from memory and from a file opened a few bytes before the BMP
// starts; the two must agree in everything.
Decoded decode(const Bytes& file, int factor = 1, int limitMb = 16) {
    BmpDecoder fromMemory(file, limitMb);
    Decoded memory{fromMemory.usable(), fromMemory.decode(factor), fromMemory.error()};
    std::FILE* stream = std::tmpfile();
    std::fwrite("junk", 1, 4, stream);
    if (!file.empty()) std::fwrite(file.data(), 1, file.size(), stream);
    std::fseek(stream, 4, SEEK_SET);
    BmpDecoder fromFile(stream, limitMb);
    Decoded streamed{fromFile.usable(), fromFile.decode(factor), fromFile.error()};
    std::fclose(stream);
    EXPECT_EQ(memory.usable, streamed.usable);
    EXPECT_TRUE(samePixels(memory.picture, streamed.picture));
    EXPECT_EQ(memory.error, streamed.error);
    EXPECT_EQ(fromMemory.size(), fromFile.size());
    return memory;
}

void expectPixels(const Decoded& got, const QImage& want, const std::string& what) {
    ASSERT_FALSE(want.isNull()) << what;
    EXPECT_TRUE(got.error.isEmpty()) << what << ": " << got.error.toStdString();
    EXPECT_TRUE(samePixels(got.picture, want)) << what;
}

struct Kind {
    uint32_t header, bits, compression, colours;  // colours: the table's entries (0: none)
    std::array<uint32_t, 4> masks;
};

// Every header size, depth and mask layout that Qt's reader takes; tables
// shorter than the depth allows (so that indices point past them), and
// masks of other widths than 8 bits, non-contiguous or empty.
const Kind kQtKinds[] = {
    {12, 1, 0, 2, {}}, {12, 4, 0, 16, {}}, {12, 8, 0, 256, {}}, {12, 24, 0, 0, {}},
    {40, 1, 0, 2, {}}, {40, 1, 0, 1, {}}, {40, 4, 0, 16, {}}, {40, 4, 0, 5, {}}, {40, 4, 0, 20, {}},
    {40, 8, 0, 256, {}}, {40, 8, 0, 7, {}}, {40, 16, 0, 0, {}}, {40, 24, 0, 0, {}}, {40, 32, 0, 0, {}},
    {40, 16, 3, 0, {0xF800, 0x07E0, 0x001F}}, {40, 16, 3, 0, {0xF000, 0x0FFE, 0x0001}},
    {40, 16, 3, 0, {0x5000, 0x0A00, 0x0003}}, {40, 16, 3, 0, {0, 0x7C00, 0x83FF}},
    {40, 32, 3, 0, {0xFF0000, 0xFF00, 0xFF}}, {40, 32, 3, 0, {0x3FF00000, 0xFFC00, 0x3FF}},
    {40, 32, 3, 0, {0xFF, 0xFF00, 0xFF0000}}, {40, 32, 3, 0, {0xF0000000, 0x0F000000, 0x00F00000}},
    {64, 8, 0, 256, {}}, {64, 24, 0, 0, {}}, {64, 16, 3, 0, {0xF800, 0x07E0, 0x001F}},
    {108, 8, 0, 100, {}}, {108, 16, 3, 0, {0xF800, 0x07E0, 0x001F, 0}}, {108, 24, 0, 0, {}},
    {108, 32, 3, 0, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}}, {124, 4, 0, 16, {}}, {124, 16, 0, 0, {}},
    {124, 32, 3, 0, {0xFF00, 0xFF0000, 0xFF000000, 0xFF}}, {124, 32, 0, 0, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}},
};

Bmp bmpOf(const Kind& kind, int width, int height, uint32_t seed) {
    Bmp bmp{.headerSize = kind.header, .width = width, .height = height, .bits = kind.bits,
            .compression = kind.compression, .palette = colours(int(kind.colours), seed), .masks = kind.masks};
    if (kind.header != 12 && kind.bits <= 8 && kind.colours != 1u << kind.bits) bmp.colorsUsed = kind.colours;
    bmp.pixels = randomRows(bmp, seed + 1);
    bmp.gap = seed % 3 == 0 ? 6 : 0;
    return bmp;
}

std::string nameOf(const Kind& kind, int width) {
    return "header " + std::to_string(kind.header) + ", " + std::to_string(kind.bits) + " bits, compression " +
           std::to_string(kind.compression) + ", width " + std::to_string(width);
}

TEST(BmpDecoder, GivesQtsPixelsForEveryKindQtReadsAndForItTopDown) {
    uint32_t seed = 1;
    for (const Kind& kind : kQtKinds)
        for (int width : {1, 5, 6, 13}) {
            const Bmp bmp = bmpOf(kind, width, 3, seed++);
            const QImage qt = qtDecode(bmp.file());
            expectPixels(decode(bmp.file()), qt, nameOf(kind, width));
            expectPixels(decode(flipped(bmp).file()), qt, nameOf(kind, width) + ", top-down");
        }
}

TEST(BmpDecoder, GivesThePixelsOfThePlainEquivalentWhereQtFails) {
    const Bmp plain = bmpOf({40, 32, 3, 0, {0xFF0000, 0xFF00, 0xFF}}, 5, 3, 7);
    for (uint32_t header : {52u, 56u, 108u, 124u})
        for (uint32_t compression : {3u, 6u}) {
            Bmp other = plain;
            other.headerSize = header, other.compression = compression, other.masks[3] = 0xFF000000;
            expectPixels(decode(other.file()), qtDecode(plain.file()), "header " + std::to_string(header));
        }
    Bmp alphaAfter = plain;
    alphaAfter.compression = 6, alphaAfter.masks[3] = 0xFF000000;
    expectPixels(decode(alphaAfter.file()), qtDecode(plain.file()), "alpha bitfields after the header");
    // The last row without its padding needs only its pixels.
    for (uint32_t bits : {1u, 4u, 8u, 24u}) {
        const Bmp full = bmpOf({40, bits, 0, bits <= 8 ? 1u << bits : 0, {}}, 3, 2, bits);
        Bytes cut = full.file();
        cut.resize(cut.size() - full.lastRowPadding());
        expectPixels(decode(cut), qtDecode(full.file()), std::to_string(bits) + " bits without the last padding");
    }
}

// A run-length stream that covers every pixel once: runs and absolute
// stretches of random lengths and bytes, each row closed by its end code.
Bytes coveringStream(int width, int height, bool fourBits, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes stream;
    for (int y = 0; y < height; ++y) {
        for (int x = 0, n = 0; x < width; x += n) {
            n = std::min(width - x, int(random() % 9) + 1);
            if (n < 3 || random() % 2) {
                stream.insert(stream.end(), {uint8_t(n), uint8_t(random())});
                continue;
            }
            const int bytes = fourBits ? (n + 1) / 2 : n;
            stream.insert(stream.end(), {0, uint8_t(n)});
            for (int i = 0; i < bytes + bytes % 2; ++i) stream.push_back(uint8_t(random()));
        }
        stream.insert(stream.end(), {0, uint8_t(y == height - 1 ? 1 : 0)});
    }
    return stream;
}

TEST(BmpDecoder, GivesQtsPixelsForRunLengthStreamsThatCoverEveryPixel) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        const bool fourBits = seed % 2 == 0;
        const int width = int(seed) * 3 % 17 + 1, height = int(seed) % 4 + 1;
        Bmp bmp{.width = width, .height = height, .bits = fourBits ? 4u : 8u, .compression = fourBits ? 2u : 1u,
                .palette = colours(fourBits ? 16 : 256, seed),
                .pixels = coveringStream(width, height, fourBits, seed)};
        expectPixels(decode(bmp.file()), qtDecode(bmp.file()), "stream " + std::to_string(seed));
    }
}

// Streams that pass over pixels or overrun a row, decoded by hand: the
// picture's indices top row first, one hexadecimal digit each.
struct RleCase {
    const char* what;
    int width;
    bool fourBits;
    Bytes stream;
    std::vector<std::string> indices;
};

const RleCase kRleCases[] = {
    {"jump right and up", 4, false, {1, 1, 0, 2, 2, 1, 1, 5, 0, 0, 4, 6, 0, 1}, {"6666", "0005", "1000"}},
    {"early ends of row and picture", 4, false, {2, 1, 0, 0, 1, 2, 0, 1}, {"0000", "2000", "1100"}},
    {"4-bit jump", 5, true, {1, 0x12, 0, 2, 2, 1, 2, 0x34, 0, 1}, {"00034", "10000"}},
    {"jumps stop at the last pixel and the top row", 4, false, {1, 1, 0, 2, 10, 0, 1, 3, 0, 2, 0, 10, 1, 4, 0, 1},
     {"0004", "1003"}},
    {"runs cut at the row's end, no end code", 4, false, {6, 1, 2, 2, 0, 0, 0, 5, 3, 4, 5, 6, 7, 0}, {"3456", "1111"}},
    {"4-bit absolute stretch of 3", 5, true, {0, 3, 0x12, 0x30, 2, 0x55, 0, 1}, {"12355"}},
};

TEST(BmpDecoder, RunLengthPixelsPassedOverTakePaletteEntryZero) {
    const std::vector<QRgb> palette = colours(16, 99);
    for (const RleCase& c : kRleCases) {
        const int height = int(c.indices.size());
        Bmp bmp{.width = c.width, .height = height, .bits = c.fourBits ? 4u : 8u,
                .compression = c.fourBits ? 2u : 1u, .colorsUsed = 16, .palette = palette, .pixels = c.stream};
        QImage want(c.width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const char digit[] = {c.indices[std::size_t(y)][std::size_t(x)], 0};
                want.setPixel(x, y, palette[std::size_t(std::strtol(digit, nullptr, 16))]);
            }
        expectPixels(decode(bmp.file()), want, c.what);
    }
}

// Files of several kinds and the length each needs: every shorter cut is
// refused, inside the headers at once and inside the pixels when decoding.
struct Cuttable {
    const char* what;
    Bytes file;
    std::size_t needed;
};

std::vector<Cuttable> cuttables() {
    std::vector<Cuttable> all;
    auto plain = [&](const char* what, const Bmp& bmp) {
        all.push_back({what, bmp.file(), bmp.file().size() - bmp.lastRowPadding()});
    };
    plain("OS/2 1.x, 8 bits", bmpOf({12, 8, 0, 256, {}}, 3, 2, 3));
    plain("4 bits, short table, gap", bmpOf({40, 4, 0, 5, {}}, 5, 3, 6));
    plain("16 bits, masks after the header", bmpOf({40, 16, 3, 0, {0xF800, 0x07E0, 0x001F}}, 3, 2, 1));
    plain("V5, 32 bits", bmpOf({124, 32, 3, 0, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}}, 2, 2, 1));
    plain("24 bits, top-down", flipped(bmpOf({40, 24, 0, 0, {}}, 3, 3, 1)));
    for (const RleCase* c : {&kRleCases[0], &kRleCases[2]}) {
        Bmp bmp{.width = c->width, .height = int(c->indices.size()), .bits = c->fourBits ? 4u : 8u,
                .compression = c->fourBits ? 2u : 1u, .palette = colours(c->fourBits ? 16 : 256, 5),
                .pixels = c->stream};
        all.push_back({c->what, bmp.file(), bmp.file().size() - 2});  // the end-of-picture code may be missing
    }
    return all;
}

TEST(BmpDecoder, RefusesEveryCutAndTakesTheShortestWholeFile) {
    for (const Cuttable& c : cuttables()) {
        const uint32_t pixelsAt = c.file[10] | c.file[11] << 8;
        const QImage whole = decode(c.file).picture;
        for (std::size_t length = 0; length < c.needed; ++length) {
            const Decoded cut = decode(Bytes(c.file.begin(), c.file.begin() + long(length)));
            const std::string what = std::string(c.what) + " cut to " + std::to_string(length);
            EXPECT_TRUE(cut.picture.isNull()) << what;
            EXPECT_EQ(cut.usable, length >= pixelsAt) << what;
            EXPECT_FALSE(cut.error.isEmpty()) << what;
            if (length >= pixelsAt) {
                EXPECT_EQ(cut.error.toStdString(), "The picture is damaged: it ends before all its pixels.") << what;
            }
        }
        expectPixels(decode(Bytes(c.file.begin(), c.file.begin() + long(c.needed))), whole, c.what);
    }
}

struct Lie {
    const char* what;
    void (*damage)(Bmp&);
    const char* reason;  // a part of it
    bool usable = false;  // the header passes, the decoding refuses
    int factor = 1;
};

const Lie kLies[] = {
    {"two planes", [](Bmp& b) { b.planes = 2; }, "header is damaged"},
    {"7 bits", [](Bmp& b) { b.bits = 7; }, "(7 bits per pixel) is not supported"},
    {"compression 9", [](Bmp& b) { b.compression = 9; }, "(compression 9) is not supported"},
    {"RLE8 at 4 bits", [](Bmp& b) { b.bits = 4, b.compression = 1; }, "(compression 1) is not supported"},
    {"bitfields at 24 bits", [](Bmp& b) { b.compression = 3; }, "(compression 3) is not supported"},
    {"JPEG inside", [](Bmp& b) { b.bits = 0, b.compression = 4; }, "(0 bits per pixel) is not supported"},
    {"zero width", [](Bmp& b) { b.width = 0; }, "header is damaged"},
    {"negative width", [](Bmp& b) { b.width = -3; }, "header is damaged"},
    {"zero height", [](Bmp& b) { b.height = 0; }, "header is damaged"},
    {"RLE top-down", [](Bmp& b) { b.bits = 8, b.compression = 1, b.height = -2; }, "header is damaged"},
    {"300 colours", [](Bmp& b) { b.bits = 8, b.colorsUsed = 300; }, "header is damaged"},
    {"mask of 32 bits", [](Bmp& b) { b.bits = 32, b.compression = 3, b.masks = {~0u, 0xFF00, 0xFF}; },
     "header is damaged"},
    {"header of 77 bytes", [](Bmp& b) { b.headerSize = 77; }, "(a header of 77 bytes) is not supported"},
    {"pixels inside the header", [](Bmp& b) { b.offset = 40; }, "header is damaged"},
    {"pixels past the end", [](Bmp& b) { b.offset = 5000; }, "its pixels would start past its end"},
    {"past Qt's size", [](Bmp& b) { b.width = 20000, b.height = -20000; }, "too large"},
    {"past the limit", [](Bmp& b) { b.width = 3000, b.height = 2000; }, "too large", true},
    // A picture that shrinks to a few pixels still needs its whole stored row.
    {"a row past the limit", [](Bmp& b) { b.width = 1 << 28, b.height = 1, b.bits = 32; }, "too large", true, 1 << 20},
};

TEST(BmpDecoder, RefusesLyingHeadersWithAReason) {
    for (const Lie& lie : kLies) {
        Bmp bmp{.width = 3, .height = 2, .pixels = Bytes(24, 0)};
        lie.damage(bmp);
        if (bmp.bits == 8) bmp.palette = colours(4, 1);
        const Decoded got = decode(bmp.file(), lie.factor);
        EXPECT_EQ(got.usable, lie.usable) << lie.what;
        EXPECT_TRUE(got.picture.isNull()) << lie.what;
        EXPECT_TRUE(got.error.contains(QLatin1String(lie.reason))) << lie.what << ": " << got.error.toStdString();
    }
    const Bytes notBmp{'B', 'A', 0, 0};
    EXPECT_EQ(decode(notBmp).error.toStdString(), "This is not a BMP file.");
}

// The mean of each box by plain summing, for checking the decoder's
// accumulation over rows that come in either order.
QImage boxMeans(const QImage& full, int factor) {
    QImage out((full.width() + factor - 1) / factor, (full.height() + factor - 1) / factor, QImage::Format_RGB32);
    for (int by = 0; by < out.height(); ++by)
        for (int bx = 0; bx < out.width(); ++bx) {
            int sum[3] = {}, n = 0;
            for (int y = by * factor; y < std::min(full.height(), (by + 1) * factor); ++y)
                for (int x = bx * factor; x < std::min(full.width(), (bx + 1) * factor); ++x, ++n) {
                    const QRgb p = full.pixel(x, y);
                    sum[0] += qRed(p), sum[1] += qGreen(p), sum[2] += qBlue(p);
                }
            out.setPixel(bx, by, qRgb((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n));
        }
    return out;
}

TEST(BmpDecoder, ShrinksByTheRoundedMeanOfEachBox) {
    // 3 x 3, top row first; red, green and blue of each pixel.
    const int grid[3][3][3] = {{{10, 0, 255}, {20, 1, 255}, {31, 2, 0}},
                               {{40, 3, 255}, {51, 4, 254}, {60, 5, 0}},
                               {{70, 6, 1}, {80, 7, 0}, {90, 8, 9}}};
    Bmp bmp{.width = 3, .height = 3};
    for (int y = 2; y >= 0; --y) {
        for (int x = 0; x < 3; ++x)
            for (int c = 2; c >= 0; --c) bmp.pixels.push_back(uint8_t(grid[y][x][c]));
        bmp.pixels.resize(bmp.pixels.size() + 3, 0);
    }
    // Factor 2: boxes of 4, 2, 2 and 1 pixels; halves round up.
    QImage two(2, 2, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(30, 2, 255));  // 121 / 4, 8 / 4, 1019 / 4
    two.setPixel(1, 0, qRgb(46, 4, 0));    // 91 / 2, 7 / 2, 0
    two.setPixel(0, 1, qRgb(75, 7, 1));    // 150 / 2, 13 / 2, 1 / 2
    two.setPixel(1, 1, qRgb(90, 8, 9));
    QImage one(1, 1, QImage::Format_RGB32);
    one.setPixel(0, 0, qRgb(50, 4, 114));  // 452 / 9, 36 / 9, 1029 / 9
    for (const Bmp& stored : {bmp, flipped(bmp)}) {
        expectPixels(decode(stored.file(), 2), two, "factor 2");
        expectPixels(decode(stored.file(), 3), one, "factor 3");
        expectPixels(decode(stored.file(), 1000), one, "factor 1000");
    }
    // Larger pictures of other kinds, partial boxes on both edges.
    for (int factor : {2, 3, 4})
        for (const Kind& kind :
             {Kind{40, 4, 0, 20, {}}, Kind{40, 32, 0, 0, {}}, Kind{40, 16, 3, 0, {0xF000, 0x0FFE, 1}}}) {
            const Bmp random = bmpOf(kind, 11, 7, uint32_t(factor));
            const QImage want = boxMeans(qtDecode(random.file()), factor);
            expectPixels(decode(random.file(), factor), want, nameOf(kind, 11) + " by " + std::to_string(factor));
            expectPixels(decode(flipped(random).file(), factor), want, nameOf(kind, 11) + " top-down");
        }
}

TEST(BmpDecoder, DecodesOnceAndKnowsItsOwnFiles) {
    const Bytes file = bmpOf({40, 24, 0, 0, {}}, 4, 2, 1).file();
    BmpDecoder decoder(file, 16);
    EXPECT_EQ(decoder.size(), QSize(4, 2));
    EXPECT_FALSE(decoder.decode().isNull());
    EXPECT_TRUE(decoder.decode().isNull());
    EXPECT_FALSE(decoder.error().isEmpty());
    EXPECT_TRUE(looksLikeBmp(file));
    for (const Bytes& head : {Bytes{}, Bytes{'B'}, Bytes{'B', 'A'}, Bytes{'M', 'B'}}) EXPECT_FALSE(looksLikeBmp(head));
}

}  // namespace
}  // namespace mireo::imaging
