// Fitting a picture to a target size: the geometry of crop and pad, the
// fitted pixels, and how far a picture may be shrunk while it is decoded.
#include <gtest/gtest.h>

#include "pictures.h"
#include "imaging/fit.h"

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

}  // namespace
}  // namespace mireo::imaging
