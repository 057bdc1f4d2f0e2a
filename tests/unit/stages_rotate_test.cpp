#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/image_limits.h"
#include "engine/stages.h"
#include "image_support.h"

namespace {

constexpr uint8 kSimple = 0, kAdvanced = 1;

ConversionSettings rotation(int32 angle, uint8 type = kSimple, const std::string& backColor = "000000") {
    ConversionSettings s;
    s.DoImageRotation = 1;
    s.TransformImageRotation = angle;
    s.ImageRotationType = type;
    s.ImageRotationBackColor = backColor;
    return s;
}

ImagePtr makeUniform(int width, int height, int bpp, Rgba color) {
    ImagePtr image = makeImage(width, height, bpp);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) setPixel(image, x, y, color);
    return image;
}

bool near(const Rgba& a, const Rgba& b, int tolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance && std::abs(a.alpha - b.alpha) <= tolerance;
}

}  // namespace

// A positive angle turns the picture counter-clockwise: the top-right
// corner comes to the top left.
TEST(StagesRotate, QuarterTurnSwapsSidesAndMovesEveryPixel) {
    for (int bpp : {24, 32}) {
        ImagePtr source = makePattern(200, 100, bpp);
        std::vector<Rgba> before = pixelsOf(source);
        ImagePtr out = runStage(applyRotation, std::move(source), rotation(90));
        ASSERT_TRUE(out);
        ASSERT_EQ(imageWidth(out), 100);
        ASSERT_EQ(imageHeight(out), 200);
        EXPECT_EQ(imageBpp(out), bpp);
        std::vector<Rgba> after = pixelsOf(out);
        int mismatches = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                if (after[static_cast<std::size_t>((199 - x) * 100 + y)] != before[static_cast<std::size_t>(y * 200 + x)])
                    ++mismatches;
        EXPECT_EQ(mismatches, 0) << bpp << " bits";
    }
}

TEST(StagesRotate, EnlargingRotationFillsCornersWithTransparentBackColour) {
    struct Case { int bpp; const char* backColor; Rgba corner; } cases[] = {
        {32, "FF8000", {255, 128, 0, 0}},
        {32, "00ff7f", {0, 255, 127, 0}},
        {32, "F80", {0, 0, 0, 0}},  // not six characters: black
        {24, "3366CC", {0x33, 0x66, 0xCC, 255}},
    };
    const Rgba fill{10, 20, 30, 255};
    for (const auto& c : cases) {
        ImagePtr out = runStage(applyRotation, makeUniform(200, 100, c.bpp, fill), rotation(45, kSimple, c.backColor));
        ASSERT_TRUE(out);
        int w = imageWidth(out), h = imageHeight(out);
        EXPECT_GT(w, 200);
        EXPECT_GT(h, 100);
        EXPECT_LE(w, 214);  // the rotated rectangle's bounding box, 212.1 x 212.1
        EXPECT_LE(h, 214);
        EXPECT_EQ(imageBpp(out), c.bpp);
        for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
            EXPECT_EQ(pixelAt(out, x, y), c.corner) << c.backColor << " at " << x << "," << y;
        EXPECT_TRUE(near(pixelAt(out, w / 2, h / 2), fill, 1)) << pixelAt(out, w / 2, h / 2);
    }
}

TEST(StagesRotate, RotationAboutTheCentreKeepsSizeAndIgnoresBackColour) {
    for (int bpp : {24, 32}) {
        const Rgba fill{10, 20, 30, 255};
        ImagePtr out = runStage(applyRotation, makeUniform(200, 100, bpp, fill), rotation(45, kAdvanced, "FF00FF"));
        ASSERT_TRUE(out);
        EXPECT_EQ(imageWidth(out), 200);
        EXPECT_EQ(imageHeight(out), 100);
        EXPECT_EQ(imageBpp(out), bpp);
        // The uncovered corners mirror the picture, so a plain picture stays plain.
        for (auto [x, y] : {std::pair{0, 0}, {199, 0}, {0, 99}, {199, 99}, {100, 50}})
            EXPECT_TRUE(near(pixelAt(out, x, y), fill, 1)) << x << "," << y << " " << pixelAt(out, x, y);
    }
}

TEST(StagesRotate, AnglesOutsideTheOpenRangeLeaveTheImageAlone) {
    struct Case { const char* name; ConversionSettings settings; } cases[] = {
        {"0", rotation(0)},     {"360", rotation(360)}, {"-90", rotation(-90)},
        {"720", rotation(720)}, {"400", rotation(400, kAdvanced)},
        {"off", [] { ConversionSettings s = rotation(90); s.DoImageRotation = 0; return s; }()},
    };
    for (const auto& c : cases) {
        ImagePtr image = makeImage(20, 10, 8);  // a palette image: any conversion would show in its depth
        setIndex(image, 3, 2, 200);
        FIBITMAP* before = image.get();
        ImagePtr out = runStage(applyRotation, std::move(image), c.settings);
        EXPECT_EQ(out.get(), before) << c.name;
        EXPECT_EQ(imageBpp(out), 8) << c.name;
        EXPECT_EQ(pixelAt(out, 3, 2), (Rgba{200, 200, 200, 255})) << c.name;
    }
}

TEST(StagesRotate, LowAndHighDepthsAreRotatedAsTwentyFourBits) {
    struct Case { const char* name; ImagePtr image; } cases[] = {
        {"1-bit", makeImage(30, 20, 1)}, {"4-bit", makeImage(30, 20, 4)},
        {"8-bit palette", makeImage(30, 20, 8)}, {"16-bit 565", makeImage(30, 20, 16)},
    };
    for (auto& c : cases) {
        ImagePtr out = runStage(applyRotation, std::move(c.image), rotation(30));
        ASSERT_TRUE(out) << c.name;
        EXPECT_EQ(imageBpp(out), 24) << c.name;
        EXPECT_GT(imageWidth(out), 30) << c.name;
    }
}

TEST(StagesRotate, UnknownTypeKeepsTheDepthConversionOnly) {
    ImagePtr image = makeImage(20, 10, 8);
    setIndex(image, 19, 0, 255);
    ImagePtr out = runStage(applyRotation, std::move(image), rotation(90, 2));
    ASSERT_TRUE(out);
    EXPECT_EQ(imageBpp(out), 24);
    EXPECT_EQ(imageWidth(out), 20);
    EXPECT_EQ(imageHeight(out), 10);
    EXPECT_EQ(pixelAt(out, 19, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(out, 0, 0), (Rgba{0, 0, 0, 255}));
}

// 16-bit greyscale and 16-bit-per-channel colour PNGs come out as 24 bits,
// each channel the high byte of its 16-bit sample, and turned.
TEST(StagesRotate, SixteenBitPngsAreConvertedAndTurned) {
    struct Case { const char* file; bool grey; } cases[] = {{"basn0g16.png", true}, {"basn2c16.png", false}};
    for (const auto& c : cases) {
        ImagePtr source = loadPngSuite(c.file);
        ASSERT_TRUE(source) << c.file;
        ImagePtr reference(FreeImage_Clone(source.get()));
        int w = imageWidth(source), h = imageHeight(source);
        ImagePtr out = runStage(applyRotation, std::move(source), rotation(90));
        ASSERT_TRUE(out) << c.file;
        ASSERT_EQ(imageBpp(out), 24) << c.file;
        ASSERT_EQ(imageWidth(out), h);
        ASSERT_EQ(imageHeight(out), w);
        std::vector<Rgba> after = pixelsOf(out);
        int mismatches = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                Rgba expected{sample16(reference, x, y, 0) >> 8, sample16(reference, x, y, c.grey ? 0 : 1) >> 8,
                              sample16(reference, x, y, c.grey ? 0 : 2) >> 8, 255};
                if (after[static_cast<std::size_t>((w - 1 - x) * h + y)] != expected) ++mismatches;
            }
        EXPECT_EQ(mismatches, 0) << c.file;
    }
}

TEST(StagesRotate, NullImagePassesThrough) { EXPECT_FALSE(runStage(applyRotation, nullptr, rotation(90))); }

TEST(StagesRotate, LimitOfTheEnlargedImage) {
    struct Case { int width, height, angle; bool fits; } cases[] = {
        {16384, 16384, 90, true},  {16384, 16384, 180, true},  {16384, 16384, 45, false},
        {16384, 16384, 1, false},  {11000, 11000, 45, true},   {1 << 28, 1, 270, true},
        {1 << 28, 1, 10, false},   {200, 100, 45, true},       {0, 100, 90, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rotationFitsImageLimit(c.width, c.height, c.angle), c.fits)
            << c.width << "x" << c.height << " by " << c.angle;
}
