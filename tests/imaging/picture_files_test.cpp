// Pictures in and out: reading with the orientation applied and large
// JPEGs shrunk while they decode, capture of device bits, and the
// program's own working BMP files.
#include <QImageWriter>
#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/capture.h"
#include "imaging/library_args.h"
#include "imaging/linked_library.h"
#include "imaging/load.h"
#include "imaging/working_bmp.h"
#include "pictures.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace mireo::imaging {
namespace {

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

TEST(WorkingBmp, IsByteForByteWhatTheLibraryWritesForTheSamePixels) {
    test::ScratchDir dir;
    for (QSize size : {QSize(1, 1), QSize(2, 3), QSize(5, 2), QSize(7, 4)}) {
        QImage picture(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) picture.setPixelColor(x, y, QColor(x * 30, y * 50, 7 * x + y));
        saveWorkingBmp(picture, dir.file("ours.bmp"));
        std::vector<uint8_t> bits = captureDeviceBits(picture);
        MireoArray bitsArg = byteArrayOf(bits);
        int32_t width = size.width(), height = size.height(), depth = kCaptureBitsPerPixel;
        LibraryString file(dir.file("library.bmp"));
        linkedLibrary().WriteBmp24(&bitsArg, &width, &height, file.get(), &depth);
        EXPECT_EQ(test::readFile(dir.file("ours.bmp")), test::readFile(dir.file("library.bmp")));
        EXPECT_EQ(QImage(QString::fromStdString(dir.file("ours.bmp"))).convertToFormat(QImage::Format_RGB32), picture);
    }
    fs::create_directory(dir.file("folder.bmp"));
    EXPECT_THROW(saveWorkingBmp(QImage(2, 2, QImage::Format_RGB32), dir.file("folder.bmp")), std::system_error);
    EXPECT_THROW(saveWorkingBmp(QImage(2, 2, QImage::Format_RGB32), dir.file("missing/x.bmp")), std::exception);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3) << "no hidden file left";
}

}  // namespace
}  // namespace mireo::imaging
