// Fitting geometry, capture of device bits, palettes and shrink-on-load.
#include <QImageWriter>
#include <gtest/gtest.h>

#include "cli_harness.h"
#include "imaging/capture.h"
#include "imaging/fit.h"
#include "imaging/load.h"
#include "imaging/palettes.h"
#include "test_support.h"

namespace mireo::imaging {
namespace {

using test::kBlue;
using test::kGreen;
using test::kRed;
using test::kYellow;

// Black bars of `bar` pixels left and right of a square of quadrants.
QImage barredQuadrants(int side, int bar) {
    QImage picture(side + 2 * bar, side, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QImage square = test::quadrants(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) picture.setPixel(bar + x, y, square.pixel(x, y));
    return picture;
}

QColor at(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

TEST(FitGeometry, CropTakesTheLargestCentredAreaOfTheTargetsProportions) {
    EXPECT_EQ(cropArea({400, 200}, {160, 160}), QRect(100, 0, 200, 200));
    EXPECT_EQ(cropArea({200, 400}, {320, 480}), QRect(0, 50, 200, 300));
    EXPECT_EQ(cropArea({300, 200}, {320, 480}), QRect(83, 0, 133, 200));
    EXPECT_EQ(cropArea({320, 480}, {320, 480}), QRect(0, 0, 320, 480));
}

TEST(FitGeometry, PadCentresTheWholePicture) {
    EXPECT_EQ(padPlacement({400, 200}, {160, 160}), QRect(0, 40, 160, 80));
    EXPECT_EQ(padPlacement({200, 400}, {160, 160}), QRect(40, 0, 80, 160));
    EXPECT_EQ(padPlacement({300, 200}, {320, 480}), QRect(0, 133, 320, 213));
    EXPECT_EQ(padPlacement({4000, 50}, {160, 160}), QRect(0, 79, 160, 2));
}

TEST(FitPicture, CropKeepsOnlyTheCentre) {
    QImage fitted = fitPicture(barredQuadrants(200, 100), {160, 160}, FitMode::Crop, Qt::white);
    ASSERT_EQ(fitted.size(), QSize(160, 160));
    EXPECT_EQ(at(fitted, 3, 3), kRed);
    EXPECT_EQ(at(fitted, 156, 3), kGreen);
    EXPECT_EQ(at(fitted, 3, 156), kBlue);
    EXPECT_EQ(at(fitted, 156, 156), kYellow);
}

TEST(FitPicture, StretchKeepsEverythingAndIgnoresProportions) {
    QImage fitted = fitPicture(barredQuadrants(200, 100), {160, 160}, FitMode::Stretch, Qt::white);
    ASSERT_EQ(fitted.size(), QSize(160, 160));
    EXPECT_EQ(at(fitted, 3, 3), QColor(Qt::black));
    EXPECT_EQ(at(fitted, 156, 156), QColor(Qt::black));
    EXPECT_EQ(at(fitted, 60, 40), kRed);      // source (150, 50)
    EXPECT_EQ(at(fitted, 100, 120), kYellow);  // source (250, 150)
}

TEST(FitPicture, PadSurroundsTheWholePictureWithTheBorder) {
    const QColor border(200, 0, 200);
    QImage fitted = fitPicture(barredQuadrants(200, 100), {160, 160}, FitMode::Pad, border);
    ASSERT_EQ(fitted.size(), QSize(160, 160));
    EXPECT_EQ(at(fitted, 3, 3), border);
    EXPECT_EQ(at(fitted, 80, 38), border);
    EXPECT_EQ(at(fitted, 156, 156), border);
    EXPECT_EQ(at(fitted, 3, 60), QColor(Qt::black));
    EXPECT_EQ(at(fitted, 60, 50), kRed);
    EXPECT_EQ(at(fitted, 100, 110), kYellow);

    QImage tall = fitPicture(test::quadrants(100, 200), {160, 160}, FitMode::Pad, border);
    EXPECT_EQ(at(tall, 38, 80), border);
    EXPECT_EQ(at(tall, 42, 3), kRed);
    EXPECT_EQ(at(tall, 118, 156), kYellow);
    EXPECT_EQ(at(tall, 122, 80), border);
}

TEST(FitPicture, TransparencyShowsTheBorderColour) {
    QImage clear(60, 60, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QImage fitted = fitPicture(clear, {60, 60}, FitMode::Crop, QColor(10, 20, 30));
    EXPECT_EQ(fitted.format(), QImage::Format_RGB32);
    EXPECT_EQ(at(fitted, 30, 30), QColor(10, 20, 30));
}

TEST(ShrinkFactor, KeepsThePixelsTheTargetNeeds) {
    EXPECT_EQ(shrinkFactor({4000, 3000}, {320, 480}, FitMode::Crop), 4);    // crop 2000 x 3000
    EXPECT_EQ(shrinkFactor({4000, 3000}, {320, 480}, FitMode::Stretch), 4);
    EXPECT_EQ(shrinkFactor({4000, 3000}, {160, 160}, FitMode::Stretch), 8);
    EXPECT_EQ(shrinkFactor({4000, 3000}, {480, 480}, FitMode::Pad), 8);      // placed 480 x 360
    EXPECT_EQ(shrinkFactor({4000, 3000}, {480, 480}, FitMode::Crop), 4);     // crop 3000 x 3000
    EXPECT_EQ(shrinkFactor({640, 640}, {320, 320}, FitMode::Crop), 2);
    EXPECT_EQ(shrinkFactor({639, 640}, {320, 320}, FitMode::Crop), 1);
    EXPECT_EQ(shrinkFactor({400, 400}, {320, 320}, FitMode::Crop), 1);
}

TEST(Capture, BlueGreenRedAndAnUnusedByteTopRowFirst) {
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixelColor(0, 0, QColor(10, 20, 30));
    picture.setPixelColor(1, 0, QColor(40, 50, 60));
    picture.setPixelColor(0, 1, QColor(70, 80, 90));
    picture.setPixelColor(1, 1, QColor(1, 2, 3));
    std::vector<uint8_t> expected{30, 20, 10, 0, 60, 50, 40, 0, 90, 80, 70, 0, 3, 2, 1, 0};
    EXPECT_EQ(captureDeviceBits(picture), expected);
    EXPECT_EQ(captureDeviceBits(picture.convertToFormat(QImage::Format_RGB888)), expected);
    EXPECT_EQ(captureDeviceBits(QImage(3, 5, QImage::Format_RGB32)).size(), 60u);
}

TEST(Palettes, Palm8HoldsTheSystemColoursInOrder) {
    PaletteTable table = palm8Palette();
    ASSERT_EQ(table.entries(), 257);
    auto rgb = [&](int e) { return std::array<float, 3>{table.at(e, 0), table.at(e, 1), table.at(e, 2)}; };
    using C = std::array<float, 3>;
    EXPECT_EQ(rgb(0), (C{255, 255, 255}));
    EXPECT_EQ(rgb(1), (C{255, 204, 255}));
    EXPECT_EQ(rgb(6), (C{255, 255, 204}));
    EXPECT_EQ(rgb(18), (C{204, 255, 255}));
    EXPECT_EQ(rgb(108), (C{255, 255, 102}));
    EXPECT_EQ(rgb(214), (C{0, 51, 0}));
    EXPECT_EQ(rgb(215), (C{17, 17, 17}));
    EXPECT_EQ(rgb(224), (C{238, 238, 238}));
    EXPECT_EQ(rgb(225), (C{192, 192, 192}));
    EXPECT_EQ(rgb(229), (C{0, 128, 128}));
    for (int e = 230; e <= 256; ++e) EXPECT_EQ(rgb(e), (C{0, 0, 0})) << e;
    for (int e = 0; e <= 256; ++e) EXPECT_EQ(table.at(e, 3), 0.0f);

    // The library's own tests build the table independently; both must agree
    // byte for byte in memory, entry index fastest.
    test::PaletteTable reference(257);
    test::fillPalm8(reference);
    MireoArray descriptor = table.descriptor();
    ASSERT_EQ(descriptor.count[0], 257);
    ASSERT_EQ(descriptor.count[1], 4);
    const auto* values = static_cast<const float*>(descriptor.data);
    EXPECT_TRUE(std::equal(reference.values.begin(), reference.values.end(), values));
}

TEST(Palettes, Grey16RunsFromWhiteToBlack) {
    PaletteTable table = grey16Palette();
    ASSERT_EQ(table.entries(), 17);
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(table.at(i, c), float(255 - 17 * i));
    for (int c = 0; c < 4; ++c) EXPECT_EQ(table.at(16, c), 0.0f);
    EXPECT_THROW(table.at(17, 0), std::out_of_range);
}

class PictureReaderTest : public ::testing::Test {
protected:
    test::ScratchDir dir;
};

TEST_F(PictureReaderTest, LargeJpegIsDecodedAtReducedScaleOtherFormatsWhole) {
    QImage big = test::quadrants(2000, 1000);
    std::string jpeg = test::savePicture(big, dir.file("big.jpg"));
    std::string png = test::savePicture(big, dir.file("big.png"));

    PictureReader stretchJpeg(QString::fromStdString(jpeg));
    EXPECT_EQ(stretchJpeg.size(), QSize(2000, 1000));
    EXPECT_EQ(stretchJpeg.read({50, 50}, FitMode::Stretch).size(), QSize(250, 125));
    PictureReader cropJpeg(QString::fromStdString(jpeg));
    EXPECT_EQ(cropJpeg.read({320, 320}, FitMode::Crop).size(), QSize(1000, 500));
    PictureReader nearTarget(QString::fromStdString(jpeg));
    EXPECT_EQ(nearTarget.read({1500, 750}, FitMode::Stretch).size(), QSize(2000, 1000));
    PictureReader smallTarget(QString::fromStdString(png));
    EXPECT_EQ(smallTarget.read({50, 50}, FitMode::Stretch).size(), QSize(2000, 1000));
}

TEST_F(PictureReaderTest, OrientationTagTurnsTheJpeg) {
    QImageWriter writer(QString::fromStdString(dir.file("turned.jpg")));
    if (!writer.supportsOption(QImageIOHandler::ImageTransformation)) GTEST_SKIP() << "no orientation writing";
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(test::quadrants(200, 100)));

    PictureReader reader(QString::fromStdString(dir.file("turned.jpg")));
    EXPECT_EQ(reader.size(), QSize(100, 200));
    QImage picture = reader.read({100, 200}, FitMode::Crop);
    ASSERT_EQ(picture.size(), QSize(100, 200));
    // Turned clockwise, the former bottom-left (blue) quadrant is at the top left.
    QColor corner = picture.pixelColor(5, 5);
    EXPECT_LT(corner.red(), 40);
    EXPECT_GT(corner.blue(), 200);
}

TEST_F(PictureReaderTest, UnreadableFileHasNoSize) {
    test::writeFile(dir.file("junk.bmp"), {'B', 'M', 1, 2, 3});
    PictureReader reader(QString::fromStdString(dir.file("junk.bmp")));
    EXPECT_FALSE(reader.size().isValid());
    EXPECT_TRUE(reader.read({160, 160}, FitMode::Crop).isNull());
    EXPECT_FALSE(reader.errorString().isEmpty());
}

}  // namespace
}  // namespace mireo::imaging
