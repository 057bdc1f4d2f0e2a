// The geometry and colour stages run one after another in conversion order,
// each taking the image the previous one returned.
#include <gtest/gtest.h>

#include "engine/stages.h"
#include "image_support.h"

namespace {

// The pipeline's own stage list up to the frame: the geometry and colour
// stages.
std::span<const StageRow> stagesBeforeFrame() {
    std::size_t count = 0;
    while (count < kStageOrder.size() && kStageOrder[count].name != std::string_view("frame")) ++count;
    EXPECT_LT(count, kStageOrder.size());
    return std::span<const StageRow>(kStageOrder).first(count);
}

ImagePtr runStagesInOrder(ImagePtr image, const ConversionSettings& settings) {
    BatchJob job;
    return runStages(std::move(image), stagesBeforeFrame(), settings, job);
}

}  // namespace

TEST(StagesPipeline, AllStagesOffReturnTheDecodedImage) {
    ImagePtr image = makePattern(30, 20, 32);
    std::vector<Rgba> before = pixelsOf(image);
    FIBITMAP* handle = image.get();
    ImagePtr out = runStagesInOrder(std::move(image), ConversionSettings{});
    EXPECT_EQ(out.get(), handle);
    EXPECT_EQ(pixelsOf(out), before);
}

// Left half white, right half black. A quarter turn puts white at the
// bottom, the two flips put it back on top, inverting makes it black.
TEST(StagesPipeline, TurnedResizedFlippedInvertedAndGrey) {
    ImagePtr image = makeImage(301, 200, 32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 301; ++x) setPixel(image, x, y, x < 150 ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255});
    ConversionSettings s;
    s.DoImageRotation = 1;
    s.TransformImageRotation = 90;
    s.DoImageResize = 1;
    s.ImageWidth = 50;
    s.ImageWidthUnit = 1;
    s.ImageHeight = 50;
    s.ImageHeightUnit = 1;
    s.KeepAspectRatio = 1;
    s.DoImageFlipHorizontal = 1;
    s.DoImageFlipVertical = 1;
    s.DoImageColorCorrection = 1;
    s.ImageInvert = 1;
    s.DoImageGreyscale = 1;
    ImagePtr out = runStagesInOrder(std::move(image), s);
    ASSERT_TRUE(out);
    // 200 x 301 after the turn; portrait, so the height is halved (150.5 to
    // even: 150) and the width follows: round(150 / 1.505) = 100.
    EXPECT_EQ(imageWidth(out), 100);
    EXPECT_EQ(imageHeight(out), 150);
    EXPECT_EQ(imageBpp(out), 8);
    EXPECT_EQ(pixelAt(out, 50, 10), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(out, 50, 140), (Rgba{255, 255, 255, 255}));
}

TEST(StagesPipeline, SixteenBitGreyPngThroughRotationAndCorrection) {
    ImagePtr source = loadPngSuite("basn0g16.png");
    ASSERT_TRUE(source);
    ImagePtr reference = copyOf(source);
    ConversionSettings s;
    s.DoImageRotation = 1;
    s.TransformImageRotation = 180;
    s.DoImageColorCorrection = 1;
    s.ImageInvert = 1;
    ImagePtr out = runStagesInOrder(std::move(source), s);
    ASSERT_TRUE(out);
    EXPECT_EQ(imageBpp(out), 24);
    int w = imageWidth(out), h = imageHeight(out);
    EXPECT_EQ(pixelAt(out, 0, 0).red, 255 - (sample16(reference, w - 1, h - 1, 0) >> 8));
    EXPECT_EQ(pixelAt(out, 3, 20).green, 255 - (sample16(reference, w - 4, h - 21, 0) >> 8));
}

// A 48-bit PNG without rotation reaches tone mapping as 48 bits and the
// colour stages as 24; threshold then dither leave black and white.
TEST(StagesPipeline, SixteenBitColourPngToBlackAndWhite) {
    ImagePtr source = loadPngSuite("basn2c16.png");
    ASSERT_TRUE(source);
    ConversionSettings s;
    s.DoImageResize = 1;
    s.ImageWidth = 64;
    s.ImageHeight = 64;
    s.DoImageThreshold = 1;
    s.ImageThreshold = 128;
    s.DoImageDither = 1;
    s.ImageDitherAlgorithm = 2;
    ImagePtr out = runStagesInOrder(std::move(source), s);
    ASSERT_TRUE(out);
    EXPECT_EQ(imageWidth(out), 64);
    EXPECT_EQ(imageHeight(out), 64);
    EXPECT_EQ(imageBpp(out), 1);
    EXPECT_TRUE(onlyBlackAndWhite(out));
}

TEST(StagesPipeline, AnOversizedResizeEndsWithNoImage) {
    ConversionSettings s;
    s.DoImageResize = 1;
    s.ImageWidth = 100000;
    s.ImageWidthUnit = 1;
    s.ImageHeight = 100000;
    s.ImageHeightUnit = 1;
    s.DoImageFlipHorizontal = 1;
    s.DoImageColorCorrection = 1;
    s.ImageInvert = 1;
    s.DoImageGreyscale = 1;
    s.DoImageThreshold = 1;
    s.DoImageDither = 1;
    EXPECT_FALSE(runStagesInOrder(makePattern(640, 480, 24), s));
}

// Whatever a stage is asked to do, a missing image (an earlier stage gave
// up) stays missing, so the save step writes nothing.
TEST(StagesPipeline, EveryStagePassesAMissingImageOn) {
    ConversionSettings s;
    s.DoImageRotation = s.DoImageResize = s.DoImageFlipHorizontal = s.DoImageColorCorrection = 1;
    s.DoImageGreyscale = s.DoImageThreshold = s.DoImageDither = s.DoFrame = s.DoWatermark = 1;
    s.TransformImageRotation = 30;
    s.ImageWidth = s.ImageHeight = 10;
    for (const StageRow& stage : kStageOrder) {
        BatchJob job;
        job.outputExtension = "dds";
        EXPECT_EQ(stage.apply(nullptr, s, job), nullptr) << stage.name;
    }
}
