#include <gtest/gtest.h>

#include <climits>

#include "engine/stages.h"
#include "image_support.h"
#include "test_support.h"

namespace {

const Rgba kGrey{60, 60, 60};
const Rgba kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0}, kBlack{0, 0, 0};

ConversionSettings frameSettings(int left, int right, int top, int bottom) {
    ConversionSettings s;
    s.DoFrame = 1;
    s.SolidLeft = left;
    s.SolidRight = right;
    s.SolidTop = top;
    s.SolidBottom = bottom;
    s.SolidLeftColor = "FF0000";
    s.SolidRightColor = "00ff00";
    s.SolidTopColor = "0000FF";
    s.SolidBottomColor = "FFFF00";
    return s;
}

ImagePtr framed(ImagePtr image, const ConversionSettings& s) {
    return runStage(applyFrame, std::move(image), s);
}

struct PixelCase {
    int x;
    int y;
    Rgba expected;
    const char* where;
};

}  // namespace

TEST(Frame, BandsMeetOnMitredDiagonals) {
    ImagePtr image = framed(solidImage(100, 100, kGrey), frameSettings(10, 10, 10, 10));
    ASSERT_TRUE(image);
    EXPECT_EQ(imageBpp(image), 24);
    const PixelCase cases[] = {
        {50, 5, kBlue, "top band"},          {95, 50, kGreen, "right band"},
        {50, 95, kYellow, "bottom band"},    {5, 50, kRed, "left band"},
        {50, 50, kGrey, "inside"},           {10, 10, kGrey, "inner corner"},
        {7, 2, kBlue, "top-left corner, above the diagonal"},
        {2, 7, kRed, "top-left corner, below the diagonal"},
        {92, 2, kBlue, "top-right corner, above the diagonal"},
        {97, 7, kGreen, "top-right corner, below the diagonal"},
        {97, 92, kGreen, "bottom-right corner, above the diagonal"},
        {92, 97, kYellow, "bottom-right corner, below the diagonal"},
        {2, 92, kRed, "bottom-left corner, above the diagonal"},
        {7, 97, kYellow, "bottom-left corner, below the diagonal"},
        {9, 50, kRed, "last column of the left band"},
        {10, 50, kGrey, "first column inside"},
        {89, 50, kGrey, "last column inside"},
        {90, 50, kGreen, "first column of the right band"},
    };
    for (const auto& c : cases) EXPECT_EQ(pixelAt(image.get(), c.x, c.y), c.expected) << c.where;
    // A pixel the diagonal crosses through its middle is shared by the two bands.
    const Rgba seam = pixelAt(image.get(), 4, 4);
    EXPECT_GT(seam.red, 40) << seam;
    EXPECT_GT(seam.blue, 40) << seam;
}

TEST(Frame, UnequalWidthsTiltTheMitre) {
    // Left 40 and top 10: the mitre runs from (0,0) to (40,10).
    ImagePtr image = framed(solidImage(100, 60, kGrey), frameSettings(40, 0, 10, 0));
    EXPECT_EQ(pixelAt(image.get(), 30, 2), kBlue);   // above the line y = x / 4
    EXPECT_EQ(pixelAt(image.get(), 30, 9), kRed);    // below it
    EXPECT_EQ(pixelAt(image.get(), 39, 30), kRed);
    EXPECT_EQ(pixelAt(image.get(), 40, 30), kGrey);
    EXPECT_EQ(pixelAt(image.get(), 99, 30), kGrey);  // zero right band
    EXPECT_EQ(pixelAt(image.get(), 50, 59), kGrey);  // zero bottom band
}

TEST(Frame, OpacityBlendsTheBandsWithTheImage) {
    ConversionSettings s = frameSettings(10, 10, 10, 10);
    s.SolidOpacity = 128;
    ImagePtr image = framed(solidImage(60, 60, {0, 0, 200}), s);
    // Red at alpha 128 over (0, 0, 200).
    EXPECT_TRUE(closeTo(pixelAt(image.get(), 3, 30), {128, 0, 100}, 1)) << pixelAt(image.get(), 3, 30);
    EXPECT_EQ(pixelAt(image.get(), 30, 30), (Rgba{0, 0, 200}));

    s.SolidOpacity = 0;
    EXPECT_EQ(pixelAt(framed(solidImage(60, 60, kGrey), s).get(), 3, 30), kGrey);
    s.SolidOpacity = 5000;  // read as opaque
    EXPECT_EQ(pixelAt(framed(solidImage(60, 60, kGrey), s).get(), 3, 30), kRed);
}

TEST(Frame, ZeroWidthsDrawNothingButDropTheAlphaChannel) {
    ImagePtr image = framed(solidImage(20, 20, {10, 20, 30, 100}, 32), frameSettings(0, 0, 0, 0));
    ASSERT_TRUE(image);
    EXPECT_EQ(imageBpp(image), 24);
    EXPECT_EQ(distinctPixels(image.get()), (std::set<Rgba>{{10, 20, 30, 255}}));
}

TEST(Frame, OnlySolidDrawsButEveryFrameKindConverts) {
    ConversionSettings s = frameSettings(5, 5, 5, 5);
    s.DoFrame = 0;
    ImagePtr image = framed(solidImage(20, 20, kGrey, 32), s);
    EXPECT_EQ(imageBpp(image), 32);

    s.DoFrame = 2;
    image = framed(solidImage(20, 20, kGrey, 32), s);
    EXPECT_EQ(imageBpp(image), 24);
    EXPECT_EQ(pixelAt(image.get(), 1, 10), kGrey);

    EXPECT_FALSE(runStage(applyFrame, nullptr, frameSettings(5, 5, 5, 5)));
}

TEST(Frame, ColourTextThatIsNotSixDigitsGivesBlack) {
    ConversionSettings s = frameSettings(10, 10, 10, 10);
    s.SolidTopColor = "FFF";
    s.SolidLeftColor = "";
    ImagePtr image = framed(solidImage(50, 50, kGrey), s);
    EXPECT_EQ(pixelAt(image.get(), 25, 3), kBlack);
    EXPECT_EQ(pixelAt(image.get(), 3, 25), kBlack);
    EXPECT_EQ(pixelAt(image.get(), 47, 25), kGreen);
}

TEST(Frame, WideBandsOverlapWithLaterBandsOnTop) {
    // Left and right 60 on a 100-wide image: the left band, drawn last,
    // covers the right one from x 40 to 60.
    ImagePtr image = framed(solidImage(100, 100, kGrey), frameSettings(60, 60, 0, 0));
    EXPECT_EQ(pixelAt(image.get(), 50, 50), kRed);
    EXPECT_EQ(pixelAt(image.get(), 80, 50), kGreen);
    EXPECT_EQ(pixelAt(image.get(), 20, 50), kRed);
}

TEST(Frame, SixteenBitGreyImageIsFramed) {
    ImagePtr image(FreeImage_Load(FIF_PNG, pngSuitePath("basn0g16.png").c_str(), 0));
    ASSERT_TRUE(image);
    ASSERT_EQ(FreeImage_GetImageType(image.get()), FIT_UINT16);
    image = framed(std::move(image), frameSettings(4, 4, 4, 4));
    ASSERT_TRUE(image);
    EXPECT_EQ(imageBpp(image), 24);
    EXPECT_EQ(pixelAt(image.get(), 16, 1), kBlue);
}

TEST(Frame, ExtremeWidthsNeitherCrashNorLoseTheImage) {
    struct Case {
        int left, right, top, bottom;
        bool imageUntouched;
    } cases[] = {
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, false},
        {INT_MAX, 0, 0, 0, false},  // the left band covers everything
        {0, 0, INT_MAX, 5, false},
        {INT_MIN, INT_MIN, INT_MIN, INT_MIN, true},
        {-10, -10, -10, -10, true},
        {INT_MIN, INT_MAX, INT_MIN, INT_MAX, false},
    };
    for (const auto& c : cases) {
        ImagePtr image = framed(solidImage(40, 30, kGrey), frameSettings(c.left, c.right, c.top, c.bottom));
        ASSERT_TRUE(image);
        EXPECT_EQ(imageWidth(image), 40);
        EXPECT_EQ(imageHeight(image), 30);
        const std::set<Rgba> seen = distinctPixels(image.get());
        if (c.imageUntouched) EXPECT_EQ(seen, std::set<Rgba>{kGrey}) << c.left;
        else EXPECT_NE(seen, std::set<Rgba>{kGrey}) << c.left << " " << c.top;
    }
    // Every band reaching past the middle covers the whole image.
    ImagePtr image = framed(solidImage(40, 30, kGrey), frameSettings(INT_MAX, INT_MAX, INT_MAX, INT_MAX));
    EXPECT_EQ(distinctPixels(image.get()).count(kGrey), 0u);
}
