// The direct JPEG path gives the pixels Qt's reader gives, in every
// orientation, at full size and at a reduced scale; the Exif parser finds
// the tag in either byte order and nothing in damaged blocks.
#include <QImageReader>
#include <QImageWriter>
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

TEST(JpegDecoder, GivesQtsPixelsInEveryOrientation) {
    test::ScratchDir dir;
    QImage picture = test::quadrants(160, 96);
    for (int x = 0; x < 160; ++x) picture.setPixelColor(x, x % 96, QColor(x, 255 - x, 40));
    for (int t = 0; t < 8; ++t) {
        const QString path = QString::fromStdString(dir.file("t" + std::to_string(t) + ".jpg"));
        QImageWriter writer(path);
        writer.setTransformation(QImageIOHandler::Transformations(t));
        ASSERT_TRUE(writer.write(picture));
        PictureReader reader(path);
        QImage direct = reader.read();
        EXPECT_EQ(reader.size(), direct.size());
        EXPECT_EQ(direct.width(), t >= 4 ? 96 : 160) << "transformation " << t;
        EXPECT_EQ(direct, qtRead(path)) << "transformation " << t;
    }
    // 160 x 96 shrunk for 20 x 12 is decoded at 1/8, as Qt decodes 20 x 12.
    const QString upright = QString::fromStdString(dir.file("t0.jpg"));
    EXPECT_EQ(PictureReader(upright).read({20, 12}, FitMode::Stretch), qtRead(upright, {20, 12}));
}

TEST(JpegDecoder, DamagedJpegFailsWithAReason) {
    const uint8_t head[] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'};
    PictureReader reader(QByteArray(reinterpret_cast<const char*>(head), sizeof head));
    EXPECT_FALSE(reader.size().isValid());
    EXPECT_TRUE(reader.read().isNull());
    EXPECT_FALSE(reader.errorString().isEmpty());
}

std::vector<uint8_t> exifWith(bool bigEndian, uint16_t tag, uint16_t type, uint16_t value) {
    auto put16 = [&](std::vector<uint8_t>& b, uint16_t v) {
        if (bigEndian) b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v & 0xFF)});
        else b.insert(b.end(), {uint8_t(v & 0xFF), uint8_t(v >> 8)});
    };
    std::vector<uint8_t> b{'E', 'x', 'i', 'f', 0, 0};
    b.insert(b.end(), bigEndian ? std::initializer_list<uint8_t>{'M', 'M'} : std::initializer_list<uint8_t>{'I', 'I'});
    put16(b, 42);
    put16(b, 0), put16(b, 8);  // first directory at 8 (as two halves in big-endian order)
    if (!bigEndian) b[b.size() - 4] = 8, b[b.size() - 2] = 0;
    put16(b, 2);  // two entries: an unrelated one, then the tag
    for (uint16_t t : {uint16_t(0x010F), tag}) {
        put16(b, t), put16(b, type), put16(b, 0), put16(b, 1);
        if (!bigEndian) std::swap(b[b.size() - 2], b[b.size() - 4]);
        put16(b, value), put16(b, 0);
    }
    return b;
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
