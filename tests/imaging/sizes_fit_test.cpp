// The rules applied before any pixel is reduced: size limits, size and
// backimage names, and how a picture is fitted to the target size.
#include <gtest/gtest.h>

#include "imaging/fit.h"
#include "imaging/names.h"
#include "imaging/sizes.h"
#include "pictures.h"

namespace mireo::imaging {
namespace {

using test::kBlue, test::kGreen, test::kRed, test::kYellow;

TEST(ImportSize, LimitsAreInclusiveAndTooLargeIsTestedFirst) {
    const std::string large = "Image is to large to process!", small = "Image is to small to process!";
    const std::pair<PixelSize, std::string> cases[] = {
        {{4000, 4000}, ""},    {{50, 50}, ""},      {{4001, 100}, large}, {{100, 4001}, large},
        {{49, 300}, small},    {{300, 49}, small},  {{5000, 10}, large}};
    for (const auto& [size, problem] : cases) EXPECT_EQ(importSizeProblem(size), problem) << sizeName(size);
}

TEST(CustomSize, BoundsAndAspectRatioInTheirOrder) {
    const std::string ratio = "Incorrect aspect ratio! Must be less then 2:1.";
    const std::pair<PixelSize, std::string> cases[] = {
        {{50, 50}, ""}, {{600, 600}, ""}, {{600, 300}, ""}, {{300, 600}, ""},
        {{49, 100}, "Width is too small."}, {{49, 20}, "Width is too small."}, {{100, 49}, "Height is too small."},
        {{601, 300}, "Width is too large."}, {{100, 601}, "Height is too large."},
        {{500, 249}, ratio}, {{249, 500}, ratio}};
    for (const auto& [size, problem] : cases) EXPECT_EQ(customSizeProblem(size), problem) << sizeName(size);
}

TEST(ParseSize, AcceptsWidthByHeightOnly) {
    EXPECT_EQ(parseSize("320x480"), (PixelSize{320, 480}));
    EXPECT_EQ(parseSize("60X70"), (PixelSize{60, 70}));
    for (const char* bad : {"", "x", "320", "320x", "x480", "0x100", "-5x100", "32ax480", "320x480x2", " 320x480"})
        EXPECT_FALSE(parseSize(bad).has_value()) << bad;
}

TEST(BackimageName, TypedOrFromTheFileName) {
    // Typed: blanks around it go, and one lower-case picture extension.
    const std::pair<const char*, const char*> typed[] = {
        {"  Sunset.jpg  ", "Sunset"}, {"Sun.JPG", "Sun.JPG"}, {".gif", ".gif"}, {"a.bmp.gif", "a.bmp"}, {"   ", ""}};
    for (const auto& [text, name] : typed) EXPECT_EQ(cleanTypedName(text), name) << text;
    // From a file: the folder goes, and an extension of three letters.
    const std::pair<const char*, const char*> files[] = {{"/home/me/Palm/Beach.pdb", "Beach"}, {"Beach.pdb", "Beach"},
        {"a.b.pdb", "a.b"}, {"/pics.d/Beach", "Beach"}, {"/x/.pdb", ".pdb"}};
    for (const auto& [path, name] : files) EXPECT_EQ(nameFromFileName(path), name) << path;
}

TEST(FitGeometry, CropTakesTheLargestCentredAreaPadCentresTheWholePicture) {
    const std::tuple<QSize, QSize, QRect, QRect> cases[] = {
        // source, target, crop area in the source, pad placement in the target
        {{400, 200}, {160, 160}, {100, 0, 200, 200}, {0, 40, 160, 80}},
        {{200, 400}, {160, 160}, {0, 100, 200, 200}, {40, 0, 80, 160}},
        {{200, 400}, {320, 480}, {0, 50, 200, 300}, {40, 0, 240, 480}},
        {{300, 200}, {320, 480}, {83, 0, 133, 200}, {0, 133, 320, 213}},  // 133.3 and 213.3 rounded down
        {{320, 480}, {320, 480}, {0, 0, 320, 480}, {0, 0, 320, 480}},
        {{4000, 50}, {160, 160}, {1975, 0, 50, 50}, {0, 79, 160, 2}}};
    for (const auto& [source, target, crop, pad] : cases) {
        EXPECT_EQ(cropArea(source, target), crop) << source.width() << "x" << source.height();
        EXPECT_EQ(padPlacement(source, target), pad) << source.width() << "x" << source.height();
    }
}

TEST(FitPicture, EachModeShowsItsPartOfThePicture) {
    const QColor border(200, 0, 200), black(Qt::black);
    struct Probe {
        int x, y;
        QColor colour;
    };
    const QImage barred = test::quadrants(200, 200, 100);  // 400 x 200
    const std::tuple<FitMode, QImage, std::vector<Probe>> cases[] = {
        // Crop keeps the centred square only.
        {FitMode::Crop, barred, {{3, 3, kRed}, {156, 3, kGreen}, {3, 156, kBlue}, {156, 156, kYellow}}},
        // Stretch keeps the bars too: (60, 40) comes from (150, 50), (100, 120) from (250, 150).
        {FitMode::Stretch, barred, {{3, 3, black}, {156, 156, black}, {60, 40, kRed}, {100, 120, kYellow}}},
        // Pad puts the whole picture into rows 40 to 119, the border above and below.
        {FitMode::Pad, barred,
         {{3, 3, border}, {80, 38, border}, {156, 156, border}, {3, 60, black}, {60, 50, kRed}, {100, 110, kYellow}}},
        // A tall picture goes into columns 40 to 119.
        {FitMode::Pad, test::quadrants(100, 200),
         {{38, 80, border}, {42, 3, kRed}, {118, 156, kYellow}, {122, 80, border}}}};
    for (const auto& [mode, source, probes] : cases) {
        QImage fitted = fitPicture(source, {160, 160}, mode, border);
        ASSERT_EQ(fitted.size(), QSize(160, 160));
        for (const Probe& p : probes)
            EXPECT_EQ(fitted.pixelColor(p.x, p.y), p.colour) << "mode " << int(mode) << " at " << p.x << "," << p.y;
    }
    QImage clear(60, 60, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QImage flat = fitPicture(clear, {60, 60}, FitMode::Crop, QColor(10, 20, 30));
    EXPECT_EQ(flat.format(), QImage::Format_RGB32);
    EXPECT_EQ(flat.pixelColor(30, 30), QColor(10, 20, 30)) << "transparency shows the border colour";
}

TEST(ShrinkFactor, KeepsThePixelsTheTargetNeeds) {
    const std::tuple<QSize, QSize, FitMode, int> cases[] = {
        {{4000, 3000}, {320, 480}, FitMode::Crop, 4},  // crop 2000 x 3000
        {{4000, 3000}, {320, 480}, FitMode::Stretch, 4}, {{4000, 3000}, {160, 160}, FitMode::Stretch, 8},
        {{4000, 3000}, {480, 480}, FitMode::Pad, 8},   // placed 480 x 360
        {{4000, 3000}, {480, 480}, FitMode::Crop, 4},  // crop 3000 x 3000
        {{640, 640}, {320, 320}, FitMode::Crop, 2},    {{639, 640}, {320, 320}, FitMode::Crop, 1},
        {{400, 400}, {320, 320}, FitMode::Crop, 1}};
    for (const auto& [source, target, mode, factor] : cases)
        EXPECT_EQ(shrinkFactor(source, target, mode), factor) << source.width() << " to " << target.width();
}

}  // namespace
}  // namespace mireo::imaging
