// Reading pictures: the direct JPEG path gives the pixels Qt's reader
// gives, for every Exif orientation and at a reduced scale; large JPEGs
// shrink while they decode; the Exif parser finds the tag in either byte
// order; damaged files fail with a reason.
#include <QImageReader>
#include <gtest/gtest.h>

#include "imaging/exif_orientation.h"
#include "imaging/load.h"
#include "pictures.h"
#include "test_support.h"

namespace mireo::imaging {
namespace {

QImage qtRead(const QString& path, QSize scaled = {}) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (scaled.isValid()) reader.setScaledSize(scaled);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// An Exif block whose first directory holds an unrelated entry, then `tag`
// of `type` with one `value`.
std::vector<uint8_t> exifWith(bool bigEndian, uint16_t tag, uint16_t type, uint16_t value) {
    std::vector<uint8_t> b{'E', 'x', 'i', 'f', 0, 0, uint8_t(bigEndian ? 'M' : 'I'), uint8_t(bigEndian ? 'M' : 'I')};
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.push_back(uint8_t(v >> 8 * (bigEndian ? bytes - 1 - i : i)));
    };
    put(42, 2), put(8, 4), put(2, 2);  // the first directory right after the header, two entries
    for (uint16_t t : {uint16_t(0x010F), tag}) put(t, 2), put(type, 2), put(1, 4), put(value, 2), put(0, 2);
    return b;
}

TEST(JpegDecoder, GivesQtsPixelsForEveryExifOrientation) {
    test::ScratchDir dir;
    QImage picture = test::quadrants(160, 96);
    for (int x = 0; x < 160; ++x) picture.setPixelColor(x, x % 96, QColor(x, 255 - x, 40));
    const std::vector<uint8_t> upright = test::readFile(test::savePicture(picture, dir.file("upright.jpg")));
    for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
        // The Exif block right after the start-of-image marker, in either byte order.
        const std::vector<uint8_t> exif = exifWith(orientation % 2 == 0, 0x0112, 3, orientation);
        std::vector<uint8_t> file{0xFF, 0xD8, 0xFF, 0xE1, uint8_t((exif.size() + 2) >> 8), uint8_t(exif.size() + 2)};
        file.insert(file.end(), exif.begin(), exif.end());
        file.insert(file.end(), upright.begin() + 2, upright.end());
        const std::string path = dir.file("turned" + std::to_string(orientation) + ".jpg");
        test::writeFile(path, file);
        PictureReader reader(QString::fromStdString(path));
        QImage direct = reader.read();
        EXPECT_EQ(reader.size(), direct.size());
        EXPECT_EQ(direct.width(), orientation >= 5 ? 96 : 160) << "orientation " << orientation;
        EXPECT_EQ(direct, qtRead(QString::fromStdString(path))) << "orientation " << orientation;
    }
    // 160 x 96 shrunk for 20 x 12 is decoded at 1/8, as Qt decodes 20 x 12.
    const QString plain = QString::fromStdString(dir.file("upright.jpg"));
    EXPECT_EQ(PictureReader(plain).read({20, 12}, FitMode::Stretch), qtRead(plain, {20, 12}));
}

TEST(PictureReader, OnlyALargeJpegIsDecodedAtAReducedScale) {
    test::ScratchDir dir;
    const QImage big = test::quadrants(2000, 1000);
    const QString jpeg = QString::fromStdString(test::savePicture(big, dir.file("big.jpg")));
    const QString png = QString::fromStdString(test::savePicture(big, dir.file("big.png")));
    const std::tuple<QString, QSize, FitMode, QSize> cases[] = {
        {jpeg, {50, 50}, FitMode::Stretch, {250, 125}},    // 1/8
        {jpeg, {320, 320}, FitMode::Crop, {1000, 500}},    // the 1000 x 1000 crop at 1/2
        {jpeg, {1500, 750}, FitMode::Stretch, {2000, 1000}},
        {png, {50, 50}, FitMode::Stretch, {2000, 1000}}};
    for (const auto& [path, target, mode, decoded] : cases) {
        PictureReader reader(path);
        EXPECT_EQ(reader.size(), QSize(2000, 1000));
        EXPECT_EQ(reader.read(target, mode).size(), decoded) << path.toStdString() << " for " << target.width();
    }
}

TEST(PictureReader, DamagedAndCutFilesAreRefusedFromFileAndMemory) {
    test::ScratchDir dir;
    test::writeFile(dir.file("junk.bmp"), {'B', 'M', 1, 2, 3});
    const char jpegHead[] = "\xFF\xD8\xFF\xE0\0\x10JFIF";
    test::writeFile(dir.file("junk.jpg"), std::vector<uint8_t>(jpegHead, jpegHead + sizeof jpegHead - 1));
    PictureReader fromFile(QString::fromStdString(dir.file("junk.bmp")));
    PictureReader jpegFromFile(QString::fromStdString(dir.file("junk.jpg")));
    PictureReader fromMemory(QByteArray(jpegHead, sizeof jpegHead - 1));
    for (PictureReader* reader : {&fromFile, &jpegFromFile, &fromMemory}) {
        EXPECT_FALSE(reader->size().isValid());
        EXPECT_TRUE(reader->read({160, 160}, FitMode::Crop).isNull());
        EXPECT_TRUE(reader->read().isNull());
        EXPECT_FALSE(reader->errorString().isEmpty());
    }
    // A damaged JPEG header keeps libjpeg's own reason rather than Qt's.
    EXPECT_EQ(jpegFromFile.errorString(), fromMemory.errorString());
    EXPECT_TRUE(jpegFromFile.errorString().contains(QLatin1String("JPEG"))) << jpegFromFile.errorString().toStdString();
    // What the desktop program and the tool both read: a picture cut short is refused from a file and from memory.
    const QImage picture = test::quadrants(64, 48);
    for (const std::string type : {"bmp", "jpg", "png"}) {
        std::vector<uint8_t> bytes = test::readFile(test::savePicture(picture, dir.file("whole." + type)));
        bytes.resize(bytes.size() * 3 / 5);
        test::writeFile(dir.file("cut." + type), bytes);
        PictureReader cutFile(QString::fromStdString(dir.file("cut." + type)));
        PictureReader cutMemory(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
        for (PictureReader* reader : {&cutFile, &cutMemory}) {
            EXPECT_TRUE(!reader->size().isValid() || reader->read({32, 32}, FitMode::Crop).isNull()) << type;
            EXPECT_TRUE(reader->recognised()) << type;
        }
    }
}

// A photo of several hundred kilobytes is read from its file in pieces:
// the pixels are those read from memory, with or without segments the
// decoder skips, and a cut in a later piece is refused.
TEST(PictureReader, AJpegLongerThanAPieceReadsAsFromMemory) {
    test::ScratchDir dir;
    QImage noise(900, 700, QImage::Format_RGB32);
    uint32_t state = 7;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, (state = state * 1664525u + 1013904223u) >> 8);
    std::vector<uint8_t> bytes = test::readFile(test::savePicture(noise, dir.file("noise.jpg")));
    ASSERT_GT(bytes.size(), 600u * 1024);
    auto fromMemory = [](const std::vector<uint8_t>& b) {
        return PictureReader(QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()))).read();
    };
    auto fromFile = [&](const std::string& name, const std::vector<uint8_t>& b) {
        test::writeFile(dir.file(name), b);
        return PictureReader(QString::fromStdString(dir.file(name)));
    };
    const QImage whole = fromMemory(bytes);
    ASSERT_FALSE(whole.isNull());
    EXPECT_EQ(fromFile("whole.jpg", bytes).read(), whole);
    // Segments the decoder skips, one of them across the end of the first piece.
    std::vector<uint8_t> skipped(bytes.begin(), bytes.begin() + 2);
    for (int segment = 0; segment < 5; ++segment) {
        skipped.insert(skipped.end(), {0xFF, 0xE2, 0xEA, 0x62});  // APP2, 60002 bytes with the length
        skipped.insert(skipped.end(), 60000, uint8_t(segment));
    }
    skipped.insert(skipped.end(), bytes.begin() + 2, bytes.end());
    EXPECT_EQ(fromFile("skipped.jpg", skipped).read(), whole);
    bytes.resize(bytes.size() * 9 / 10);
    PictureReader cut = fromFile("cut.jpg", bytes);
    EXPECT_TRUE(cut.read().isNull());
    EXPECT_FALSE(cut.errorString().isEmpty());
}

TEST(ExifOrientation, FoundInBothByteOrdersAndRefusedWhenDamaged) {
    EXPECT_EQ(exifOrientation(exifWith(false, 0x0112, 3, 6)), 6);
    EXPECT_EQ(exifOrientation(exifWith(true, 0x0112, 3, 8)), 8);
    EXPECT_EQ(exifOrientation(exifWith(true, 0x0112, 4, 8)), 1);   // not a SHORT
    EXPECT_EQ(exifOrientation(exifWith(false, 0x0112, 3, 9)), 1);  // out of range
    EXPECT_EQ(exifOrientation(exifWith(false, 0x0113, 3, 6)), 1);  // another tag
    std::vector<uint8_t> cut = exifWith(false, 0x0112, 3, 6);
    cut.resize(cut.size() - 6);
    EXPECT_EQ(exifOrientation(cut), 1);
}

}  // namespace
}  // namespace mireo::imaging
