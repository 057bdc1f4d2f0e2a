#include <gtest/gtest.h>

#include <cmath>

#include "engine/stages.h"
#include "image_support.h"

namespace {

ConversionSettings correction(int32 brightness, int32 contrast, float gamma, bool invert) {
    ConversionSettings s;
    s.DoImageColorCorrection = 1;
    s.ImageBrightness = brightness;
    s.ImageContrast = contrast;
    s.ImageGamma = gamma;
    s.ImageInvert = invert ? 1 : 0;
    return s;
}

ConversionSettings greyscaleOn() {
    ConversionSettings s;
    s.DoImageGreyscale = 1;
    return s;
}

int sign(int value) { return (value > 0) - (value < 0); }

Rgba inverted(const Rgba& c) { return {255 - c.red, 255 - c.green, 255 - c.blue, c.alpha}; }

}  // namespace

TEST(StagesColorCorrection, InvertsColourAndKeepsAlpha) {
    for (int bpp : {24, 32}) {
        ImagePtr image = makePattern(17, 9, bpp);
        std::vector<Rgba> before = pixelsOf(image);
        FIBITMAP* handle = image.get();
        ImagePtr out = runStage(applyColorCorrection, std::move(image), correction(0, 0, 1.0f, true));
        ASSERT_EQ(out.get(), handle) << "corrected in place";
        EXPECT_EQ(imageBpp(out), bpp);
        std::vector<Rgba> after = pixelsOf(out);
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) ASSERT_EQ(after[i], inverted(before[i])) << bpp << " bits, pixel " << i;
    }
}

// Each adjustment moves dark, middle and bright greys the way its name says;
// black and white are the fixed ends of gamma.
TEST(StagesColorCorrection, BrightnessContrastAndGammaDirection) {
    struct Case {
        const char* name;
        ConversionSettings settings;
        int dark, middle, bright;  // expected sign of the change of 40, 128 and 200
    } cases[] = {
        {"brighter", correction(50, 0, 1.0f, false), 1, 1, 1},
        {"darker", correction(-50, 0, 1.0f, false), -1, -1, -1},
        {"more contrast", correction(0, 50, 1.0f, false), -1, 0, 1},
        {"less contrast", correction(0, -50, 1.0f, false), 1, 0, -1},
        {"gamma above 1 lifts", correction(0, 0, 2.0f, false), 1, 1, 1},
        {"gamma below 1 lowers", correction(0, 0, 0.5f, false), -1, -1, -1},
        {"neutral", correction(0, 0, 1.0f, false), 0, 0, 0},
    };
    const int greys[] = {40, 128, 200};
    for (const auto& c : cases) {
        ImagePtr image = makeImage(5, 1, 24);
        for (int i = 0; i < 3; ++i) setPixel(image, i, 0, {greys[i], greys[i], greys[i]});
        setPixel(image, 3, 0, {0, 0, 0});
        setPixel(image, 4, 0, {255, 255, 255});
        ImagePtr out = runStage(applyColorCorrection, std::move(image), c.settings);
        ASSERT_TRUE(out);
        int expected[] = {c.dark, c.middle, c.bright};
        for (int i = 0; i < 3; ++i) {
            Rgba p = pixelAt(out, i, 0);
            EXPECT_EQ(sign(p.red - greys[i]), expected[i]) << c.name << " grey " << greys[i] << " became " << p;
            EXPECT_TRUE(p.red == p.green && p.green == p.blue) << c.name;
        }
        if (c.settings.ImageBrightness == 0 && c.settings.ImageContrast == 0) {
            EXPECT_EQ(pixelAt(out, 3, 0), (Rgba{0, 0, 0})) << c.name;
            EXPECT_EQ(pixelAt(out, 4, 0), (Rgba{255, 255, 255})) << c.name;
        }
    }
}

TEST(StagesColorCorrection, GammaFollowsThePowerCurve) {
    ImagePtr image = makeImage(1, 1, 24);
    setPixel(image, 0, 0, {64, 64, 64});
    ImagePtr out = runStage(applyColorCorrection, std::move(image), correction(0, 0, 2.0f, false));
    // 255 x (64 / 255) ^ (1 / 2)
    EXPECT_NEAR(pixelAt(out, 0, 0).red, 255.0 * std::sqrt(64.0 / 255.0), 1.0);
}

TEST(StagesColorCorrection, LowDepthsBecomeTwentyFourBitsAndAreCorrected) {
    for (int bpp : {1, 4}) {
        ImagePtr image = makeImage(8, 2, bpp);
        int white = (1 << bpp) - 1;
        setIndex(image, 0, 0, white);
        ImagePtr out = runStage(applyColorCorrection, std::move(image), correction(0, 0, 1.0f, true));
        ASSERT_TRUE(out) << bpp;
        EXPECT_EQ(imageBpp(out), 24) << bpp;
        EXPECT_EQ(pixelAt(out, 0, 0), (Rgba{0, 0, 0})) << bpp;
        EXPECT_EQ(pixelAt(out, 1, 0), (Rgba{255, 255, 255})) << bpp;
    }
}

TEST(StagesColorCorrection, PaletteImagesKeepTheirDepth) {
    ImagePtr image = makeImage(4, 1, 8);
    setIndex(image, 0, 0, 10);
    setIndex(image, 1, 0, 250);
    ImagePtr out = runStage(applyColorCorrection, std::move(image), correction(0, 0, 1.0f, true));
    ASSERT_TRUE(out);
    EXPECT_EQ(imageBpp(out), 8);
    EXPECT_EQ(pixelAt(out, 0, 0), (Rgba{245, 245, 245}));
    EXPECT_EQ(pixelAt(out, 1, 0), (Rgba{5, 5, 5}));
}

// A 16-bit greyscale PNG is corrected too (FreeImage alone would leave it
// as it was), and so is a 16-bit-per-channel colour PNG: both come out as
// 24 bits built from the high byte of each sample.
TEST(StagesColorCorrection, SixteenBitPngsAreCorrected) {
    struct Case { const char* file; int greenChannel, blueChannel; } cases[] = {
        {"basn0g16.png", 0, 0}, {"basn2c16.png", 1, 2}, {"basn6a16.png", 1, 2}};
    for (const auto& c : cases) {
        ImagePtr source = loadPngSuite(c.file);
        ASSERT_TRUE(source) << c.file;
        ImagePtr reference = copyOf(source);
        ImagePtr out = runStage(applyColorCorrection, std::move(source), correction(0, 0, 1.0f, true));
        ASSERT_TRUE(out) << c.file;
        ASSERT_EQ(imageBpp(out), 24) << c.file;
        std::vector<Rgba> after = pixelsOf(out);
        int w = imageWidth(out), mismatches = 0;
        for (int y = 0; y < imageHeight(out); ++y)
            for (int x = 0; x < w; ++x) {
                Rgba expected{255 - (sample16(reference, x, y, 0) >> 8), 255 - (sample16(reference, x, y, c.greenChannel) >> 8),
                              255 - (sample16(reference, x, y, c.blueChannel) >> 8), 255};
                if (after[static_cast<std::size_t>(y * w + x)] != expected) ++mismatches;
            }
        EXPECT_EQ(mismatches, 0) << c.file;
    }
}

TEST(StagesColorCorrection, OffCostsNothing) {
    ImagePtr image = makePattern(5, 5, 32);
    std::vector<Rgba> before = pixelsOf(image);
    FIBITMAP* handle = image.get();
    ConversionSettings s = correction(50, 50, 2.0f, true);
    s.DoImageColorCorrection = 0;
    ImagePtr out = runStage(applyColorCorrection, std::move(image), s);
    EXPECT_EQ(out.get(), handle);
    EXPECT_EQ(pixelsOf(out), before);
    EXPECT_FALSE(runStage(applyColorCorrection, nullptr, correction(0, 0, 1.0f, true)));
}

TEST(StagesGreyscale, MakesEightBitGreyAndDropsAlpha) {
    ImagePtr image = makeImage(5, 1, 32);
    const Rgba colors[] = {{255, 0, 0, 255}, {0, 255, 0, 0}, {0, 0, 255, 128}, {255, 255, 255, 0}, {0, 0, 0, 255}};
    for (int i = 0; i < 5; ++i) setPixel(image, i, 0, colors[i]);
    ImagePtr out = runStage(applyGreyscale, std::move(image), greyscaleOn());
    ASSERT_TRUE(out);
    EXPECT_EQ(imageBpp(out), 8);
    EXPECT_EQ(FreeImage_GetColorType(out.get()), FIC_MINISBLACK);
    EXPECT_FALSE(FreeImage_IsTransparent(out.get()));
    for (int i = 0; i < 5; ++i) {
        const Rgba& c = colors[i];
        double luma = 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue;
        Rgba p = pixelAt(out, i, 0);
        EXPECT_NEAR(p.red, luma, 1.0) << i;
        EXPECT_TRUE(p.red == p.green && p.green == p.blue) << i;
    }
}

TEST(StagesGreyscale, SixteenBitPngsBecomeEightBitGrey) {
    for (const char* file : {"basn0g16.png", "basn2c16.png", "basn6a16.png"}) {
        ImagePtr source = loadPngSuite(file);
        ASSERT_TRUE(source) << file;
        ImagePtr out = runStage(applyGreyscale, std::move(source), greyscaleOn());
        ASSERT_TRUE(out) << file;
        EXPECT_EQ(imageBpp(out), 8) << file;
        EXPECT_EQ(FreeImage_GetColorType(out.get()), FIC_MINISBLACK) << file;
    }
    // 16-bit grey keeps the high byte of each sample.
    ImagePtr grey = loadPngSuite("basn0g16.png");
    ImagePtr reference = copyOf(grey);
    ImagePtr out = runStage(applyGreyscale, std::move(grey), greyscaleOn());
    EXPECT_EQ(pixelAt(out, 5, 7).red, sample16(reference, 5, 7, 0) >> 8);
}

TEST(StagesGreyscale, OffCostsNothing) {
    ImagePtr image = makePattern(5, 5, 32);
    FIBITMAP* handle = image.get();
    ImagePtr out = runStage(applyGreyscale, std::move(image), ConversionSettings{});
    EXPECT_EQ(out.get(), handle);
    EXPECT_EQ(imageBpp(out), 32);
    EXPECT_FALSE(runStage(applyGreyscale, nullptr, greyscaleOn()));
}
