#include <gtest/gtest.h>

#include "engine/stage_tables.h"
#include "engine/stages.h"
#include "image_support.h"

namespace {

ConversionSettings thresholdAt(int32 level) {
    ConversionSettings s;
    s.DoImageThreshold = 1;
    s.ImageThreshold = level;
    return s;
}

ConversionSettings ditherWith(uint8 algorithm) {
    ConversionSettings s;
    s.DoImageDither = 1;
    s.ImageDitherAlgorithm = algorithm;
    return s;
}

// One row per grey level 0..255, left to right, in a 24-bit image.
ImagePtr makeGreyRamp() {
    ImagePtr image = makeImage(256, 2, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 256; ++x) setPixel(image, x, y, {x, x, x});
    return image;
}

ImagePtr makeFlatGrey(int width, int height, int level) {
    ImagePtr image = makeImage(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) setPixel(image, x, y, {level, level, level});
    return image;
}

double whiteShare(const ImagePtr& image) {
    std::vector<Rgba> pixels = pixelsOf(image);
    int white = 0;
    for (const Rgba& p : pixels) white += p.red == 255 ? 1 : 0;
    return pixels.empty() ? 0.0 : static_cast<double>(white) / static_cast<double>(pixels.size());
}

}  // namespace

TEST(StagesThreshold, WhiteFromTheLevelUpUsingTheLowByte) {
    struct Case { int32 setting; int level; } cases[] = {
        {128, 128}, {0, 0}, {255, 255}, {1, 1}, {384, 128}, {256, 0}, {-128, 128},
    };
    for (const auto& c : cases) {
        ImagePtr out = runStage(applyThreshold, makeGreyRamp(), thresholdAt(c.setting));
        ASSERT_TRUE(out) << c.setting;
        EXPECT_EQ(imageBpp(out), 1) << c.setting;
        EXPECT_TRUE(onlyBlackAndWhite(out)) << c.setting;
        std::vector<Rgba> pixels = pixelsOf(out);
        int wrong = 0;
        for (int x = 0; x < 256; ++x) wrong += (pixels[static_cast<std::size_t>(x)].red == 255) != (x >= c.level) ? 1 : 0;
        EXPECT_EQ(wrong, 0) << "setting " << c.setting;
    }
}

TEST(StagesThreshold, EveryDepthEndsBlackAndWhite) {
    struct Case { const char* name; ImagePtr image; } cases[] = {
        {"1-bit", makeImage(16, 4, 1)},        {"4-bit", makeImage(16, 4, 4)},
        {"8-bit", makeImage(16, 4, 8)},        {"24-bit", makePattern(16, 4, 24)},
        {"32-bit", makePattern(16, 4, 32)},    {"16-bit grey", loadPngSuite("basn0g16.png")},
        {"48-bit", loadPngSuite("basn2c16.png")}, {"64-bit", loadPngSuite("basn6a16.png")},
    };
    for (auto& c : cases) {
        ASSERT_TRUE(c.image) << c.name;
        ImagePtr out = runStage(applyThreshold, std::move(c.image), thresholdAt(100));
        ASSERT_TRUE(out) << c.name;
        EXPECT_EQ(imageBpp(out), 1) << c.name;
        EXPECT_TRUE(onlyBlackAndWhite(out)) << c.name;
    }
}

TEST(StagesThreshold, OffCostsNothing) {
    ImagePtr image = makePattern(5, 5, 24);
    FIBITMAP* handle = image.get();
    ConversionSettings s = thresholdAt(128);
    s.DoImageThreshold = 0;
    ImagePtr out = runStage(applyThreshold, std::move(image), s);
    EXPECT_EQ(out.get(), handle);
    EXPECT_EQ(imageBpp(out), 24);
    EXPECT_FALSE(runStage(applyThreshold, nullptr, thresholdAt(128)));
}

TEST(StagesDitherTables, MethodByAlgorithmWithFloydSteinbergFallback) {
    struct Case { uint8 algorithm; FREE_IMAGE_DITHER method; } cases[] = {
        {0, FID_FS},         {1, FID_BAYER4x4},   {2, FID_BAYER8x8}, {3, FID_BAYER16x16}, {4, FID_CLUSTER6x6},
        {5, FID_CLUSTER8x8}, {6, FID_CLUSTER16x16}, {7, FID_FS},     {255, FID_FS},
    };
    for (const auto& c : cases) EXPECT_EQ(ditherAlgorithm(c.algorithm), c.method) << int(c.algorithm);
}

// Every method gives a black-and-white image whose share of white pixels
// follows the grey it stands for, unlike a plain threshold.
TEST(StagesDither, EveryMethodKeepsTheToneInBlackAndWhite) {
    for (uint8 algorithm = 0; algorithm <= 7; ++algorithm)
        for (int level : {64, 128, 192}) {
            ImagePtr out = runStage(applyDither, makeFlatGrey(48, 48, level), ditherWith(algorithm));
            ASSERT_TRUE(out) << int(algorithm);
            EXPECT_EQ(imageBpp(out), 1) << int(algorithm);
            EXPECT_TRUE(onlyBlackAndWhite(out)) << int(algorithm);
            EXPECT_NEAR(whiteShare(out), level / 255.0, 0.12) << "algorithm " << int(algorithm) << " grey " << level;
        }
}

TEST(StagesDither, EveryDepthEndsBlackAndWhite) {
    struct Case { const char* name; ImagePtr image; } cases[] = {
        {"1-bit", makeImage(16, 4, 1)},   {"4-bit", makeImage(16, 4, 4)},
        {"8-bit", makeImage(16, 4, 8)},   {"32-bit", makePattern(16, 4, 32)},
        {"16-bit grey", loadPngSuite("basn0g16.png")}, {"48-bit", loadPngSuite("basn2c16.png")},
    };
    for (auto& c : cases) {
        ASSERT_TRUE(c.image) << c.name;
        ImagePtr out = runStage(applyDither, std::move(c.image), ditherWith(2));
        ASSERT_TRUE(out) << c.name;
        EXPECT_EQ(imageBpp(out), 1) << c.name;
        EXPECT_TRUE(onlyBlackAndWhite(out)) << c.name;
    }
}

// With both on, the thresholded image is dithered again; dithering pure
// black and white leaves it as it was.
TEST(StagesDither, AfterThresholdDithersTheBlackAndWhiteResult) {
    ConversionSettings both = thresholdAt(128);
    both.DoImageDither = 1;
    both.ImageDitherAlgorithm = 2;  // BAYER8
    ImagePtr thresholded = runStage(applyThreshold, makePattern(40, 30, 24), both);
    ASSERT_TRUE(thresholded);
    std::vector<Rgba> afterThreshold = pixelsOf(thresholded);
    ImagePtr out = runStage(applyDither, std::move(thresholded), both);
    ASSERT_TRUE(out);
    EXPECT_EQ(imageBpp(out), 1);
    EXPECT_TRUE(onlyBlackAndWhite(out));
    EXPECT_EQ(pixelsOf(out), afterThreshold);
}

TEST(StagesDither, OffCostsNothing) {
    ImagePtr image = makePattern(5, 5, 24);
    FIBITMAP* handle = image.get();
    ImagePtr out = runStage(applyDither, std::move(image), ConversionSettings{});
    EXPECT_EQ(out.get(), handle);
    EXPECT_EQ(imageBpp(out), 24);
    EXPECT_FALSE(runStage(applyDither, nullptr, ditherWith(0)));
}
