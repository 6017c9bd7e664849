// Size limits and backimage names shared by the program and the command line.
#include <gtest/gtest.h>

#include "imaging/names.h"
#include "imaging/sizes.h"

namespace mireo::imaging {
namespace {

TEST(ImportSize, LimitsAreInclusiveAndWidthIsTestedFirst) {
    EXPECT_EQ(importSizeProblem({4000, 4000}), "");
    EXPECT_EQ(importSizeProblem({50, 50}), "");
    EXPECT_EQ(importSizeProblem({4001, 100}), "Image is to large to process!");
    EXPECT_EQ(importSizeProblem({100, 4001}), "Image is to large to process!");
    EXPECT_EQ(importSizeProblem({49, 300}), "Image is to small to process!");
    EXPECT_EQ(importSizeProblem({300, 49}), "Image is to small to process!");
    EXPECT_EQ(importSizeProblem({5000, 10}), "Image is to large to process!");
}

TEST(CustomSize, BoundsAndAspectRatioInTheirOrder) {
    EXPECT_EQ(customSizeProblem({50, 50}), "");
    EXPECT_EQ(customSizeProblem({600, 600}), "");
    EXPECT_EQ(customSizeProblem({600, 300}), "");
    EXPECT_EQ(customSizeProblem({300, 600}), "");
    EXPECT_EQ(customSizeProblem({49, 100}), "Width is too small.");
    EXPECT_EQ(customSizeProblem({49, 20}), "Width is too small.");
    EXPECT_EQ(customSizeProblem({100, 49}), "Height is too small.");
    EXPECT_EQ(customSizeProblem({601, 300}), "Width is too large.");
    EXPECT_EQ(customSizeProblem({100, 601}), "Height is too large.");
    EXPECT_EQ(customSizeProblem({500, 249}), "Incorrect aspect ratio! Must be less then 2:1.");
    EXPECT_EQ(customSizeProblem({249, 500}), "Incorrect aspect ratio! Must be less then 2:1.");
}

TEST(StandardSizes, OnlyTheSevenPalmScreens) {
    EXPECT_TRUE(isStandardSize({320, 450}));
    EXPECT_TRUE(isStandardSize({240, 320}));
    EXPECT_FALSE(isStandardSize({450, 320}));
    EXPECT_FALSE(isStandardSize({320, 240}));
    EXPECT_EQ(standardSizeList(), "160x160, 240x320, 320x320, 320x450, 320x480, 480x320, 480x480");
}

TEST(ParseSize, AcceptsWidthByHeightOnly) {
    EXPECT_EQ(parseSize("320x480"), (PixelSize{320, 480}));
    EXPECT_EQ(parseSize("60X70"), (PixelSize{60, 70}));
    for (const char* bad : {"", "x", "320", "320x", "x480", "0x100", "-5x100", "32ax480", "320x480x2", " 320x480"})
        EXPECT_FALSE(parseSize(bad).has_value()) << bad;
}

TEST(BackimageName, TypedNameLosesBlanksAndPictureExtension) {
    EXPECT_EQ(cleanTypedName("  Sunset.jpg  "), "Sunset");
    EXPECT_EQ(cleanTypedName("Sun.JPG"), "Sun.JPG");
    EXPECT_EQ(cleanTypedName(".gif"), ".gif");
    EXPECT_EQ(cleanTypedName("a.bmp.gif"), "a.bmp");
    EXPECT_EQ(cleanTypedName("   "), "");
}

TEST(BackimageName, FileNameWithoutFolderAndExtension) {
    EXPECT_EQ(nameFromFileName("/home/me/Palm/Beach.pdb"), "Beach");
    EXPECT_EQ(nameFromFileName("Beach.pdb"), "Beach");
    EXPECT_EQ(nameFromFileName("a.b.pdb"), "a.b");
    EXPECT_EQ(nameFromFileName("/pics.d/Beach"), "Beach");
    EXPECT_EQ(nameFromFileName("/x/.pdb"), ".pdb");
}

}  // namespace
}  // namespace mireo::imaging
