#include <gtest/gtest.h>

#include <climits>

#include "engine/image_limits.h"
#include "engine/resize_size.h"
#include "engine/stage_tables.h"
#include "engine/stages.h"
#include "image_support.h"

namespace {

constexpr uint8 kPixels = 0, kPercent = 1;
constexpr uint8 kAllImages = 0, kLargeImages = 1;

struct ResizeRequest {
    int32 width;
    uint8 widthUnit;
    int32 height;
    uint8 heightUnit;
    bool keepAspect;
    uint8 scope = kAllImages;
};

ConversionSettings resizeSettings(const ResizeRequest& r) {
    ConversionSettings s;
    s.DoImageResize = 1;
    s.ImageWidth = r.width;
    s.ImageWidthUnit = r.widthUnit;
    s.ImageHeight = r.height;
    s.ImageHeightUnit = r.heightUnit;
    s.KeepAspectRatio = r.keepAspect ? 1 : 0;
    s.ImageResizeType = r.scope;
    return s;
}

}  // namespace

TEST(StagesResizeSize, RequestedSideByUnit) {
    struct Case { int32 value; uint8 unit; int current; std::int64_t expected; } cases[] = {
        {800, kPixels, 123, 800},   {-5, kPixels, 123, -5},   {50, kPercent, 301, 150},  // 150.5 to even
        {50, kPercent, 303, 152},   {50, kPercent, 5, 2},     {50, kPercent, 7, 4},      // 3.5 to even
        {150, kPercent, 3, 4},      {33, kPercent, 300, 99},  {100, kPercent, 640, 640},
        {-50, kPercent, 200, -100}, {0, kPercent, 200, 0},    {100000, kPercent, 640, 640000},
        {INT32_MAX, kPercent, INT32_MAX, static_cast<std::int64_t>(INT32_MAX / 100.0 * INT32_MAX)},
        {800, 2, 640, 0},           {800, 255, 640, 0},       // units outside the table count as no size
    };
    for (const auto& c : cases)
        EXPECT_EQ(requestedSide(c.value, c.unit, c.current), c.expected)
            << c.value << " unit " << int(c.unit) << " of " << c.current;
}

TEST(StagesResizeSize, RoundsHalfAwayFromZero) {
    struct Case { float value; std::int64_t expected; } cases[] = {
        {2.5f, 3}, {3.5f, 4}, {2.4999998f, 2}, {0.5f, 1}, {-2.5f, -3}, {99.6678f, 100}, {0.0f, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(roundHalfAwayFromZero(c.value), c.expected) << c.value;
}

TEST(StagesResizeSize, PlansTheTargetSize) {
    using O = ResizeOutcome;
    struct Case {
        const char* name;
        int width, height;
        ResizeRequest request;
        O outcome;
        int expectedWidth, expectedHeight;
    } cases[] = {
        {"half of 301x200 keeping proportions", 301, 200, {50, kPercent, 50, kPercent, true}, O::Rescale, 150, 100},
        {"half of 301x201 free", 301, 201, {50, kPercent, 50, kPercent, false}, O::Rescale, 150, 100},
        {"pixels free", 640, 480, {320, kPixels, 100, kPixels, false}, O::Rescale, 320, 100},
        {"percent width, pixel height", 640, 480, {25, kPercent, 77, kPixels, false}, O::Rescale, 160, 77},
        {"landscape keeps width", 1000, 500, {800, kPixels, 600, kPixels, true}, O::Rescale, 800, 400},
        {"square counts as landscape", 300, 300, {100, kPixels, 7, kPixels, true}, O::Rescale, 100, 100},
        {"portrait keeps height", 200, 400, {100, kPixels, 300, kPixels, true}, O::Rescale, 150, 300},
        {"portrait percent: only the longer side counts", 200, 400, {10, kPercent, 50, kPercent, true},
         O::Rescale, 100, 200},
        {"landscape percent: only the longer side counts", 400, 200, {50, kPercent, 10, kPercent, true},
         O::Rescale, 200, 100},
        // 9 / (6/5) is 7.5 exactly, but 1.2 in single precision makes it 7.4999995.
        {"single precision proportion", 600, 500, {9, kPixels, 1, kPixels, true}, O::Rescale, 9, 7},
        {"single precision proportion 2", 600, 500, {15, kPixels, 1, kPixels, true}, O::Rescale, 15, 12},
        {"half away from zero", 4, 1, {10, kPixels, 1, kPixels, true}, O::Rescale, 10, 3},
        {"portrait half away from zero", 1, 4, {1, kPixels, 10, kPixels, true}, O::Rescale, 3, 10},
        {"a sliver keeps one row", 1000, 1, {10, kPixels, 10, kPixels, true}, O::Rescale, 10, 1},
        {"a sliver keeps one column", 1, 1000, {10, kPixels, 10, kPixels, true}, O::Rescale, 1, 10},
        {"large images: smaller both ways", 640, 480, {800, kPixels, 600, kPixels, true, kLargeImages},
         O::Unchanged, 0, 0},
        {"large images: larger one way", 1000, 500, {800, kPixels, 600, kPixels, true, kLargeImages},
         O::Rescale, 800, 400},
        {"large images: larger one way, free", 1000, 500, {800, kPixels, 600, kPixels, false, kLargeImages},
         O::Rescale, 800, 600},
        {"large images: taller only", 700, 700, {800, kPixels, 600, kPixels, false, kLargeImages},
         O::Rescale, 800, 600},
        {"large images: equal width is not smaller", 800, 500, {800, kPixels, 600, kPixels, false, kLargeImages},
         O::Rescale, 800, 600},
        {"all images: smaller both ways grows", 640, 480, {800, kPixels, 600, kPixels, false}, O::Rescale, 800, 600},
        {"same size", 640, 480, {640, kPixels, 480, kPixels, true}, O::Unchanged, 0, 0},
        {"same size in percent", 640, 480, {100, kPercent, 100, kPercent, false}, O::Unchanged, 0, 0},
        {"width 0", 640, 480, {0, kPixels, 100, kPixels, false}, O::Unchanged, 0, 0},
        {"height 0 even when ignored", 640, 480, {100, kPixels, 0, kPixels, true}, O::Unchanged, 0, 0},
        {"negative width", 640, 480, {-100, kPixels, 100, kPixels, false}, O::Unchanged, 0, 0},
        {"percent rounding to 0", 1, 1, {40, kPercent, 40, kPercent, false}, O::Unchanged, 0, 0},
        {"unknown width unit", 640, 480, {100, 2, 100, kPixels, false}, O::Unchanged, 0, 0},
        {"unknown height unit", 640, 480, {100, kPixels, 100, 9, false}, O::Unchanged, 0, 0},
        {"100000 percent", 640, 480, {100000, kPercent, 100000, kPercent, true}, O::TooLarge, 0, 0},
        {"largest pixel values", 640, 480, {INT32_MAX, kPixels, INT32_MAX, kPixels, false}, O::TooLarge, 0, 0},
        {"largest percent", 640, 480, {INT32_MAX, kPercent, INT32_MAX, kPercent, false}, O::TooLarge, 0, 0},
        {"exactly at the limit", 640, 480, {16384, kPixels, 16384, kPixels, false}, O::Rescale, 16384, 16384},
        {"one row over the limit", 640, 480, {16384, kPixels, 16385, kPixels, false}, O::TooLarge, 0, 0},
        {"ignored side may be huge", 640, 480, {800, kPixels, INT32_MAX, kPixels, true}, O::Rescale, 800, 600},
    };
    for (const auto& c : cases) {
        ResizePlan plan = planResize(c.width, c.height, resizeSettings(c.request));
        EXPECT_EQ(plan.outcome, c.outcome) << c.name;
        if (c.outcome == O::Rescale) {
            EXPECT_EQ(plan.width, c.expectedWidth) << c.name;
            EXPECT_EQ(plan.height, c.expectedHeight) << c.name;
        }
    }
}

TEST(StagesResizeSize, OffPlansNothing) {
    ConversionSettings s = resizeSettings({50, kPercent, 50, kPercent, false});
    s.DoImageResize = 0;
    EXPECT_EQ(planResize(640, 480, s).outcome, ResizeOutcome::Unchanged);
}

TEST(StagesResizeSize, ImageLimit) {
    EXPECT_TRUE(fitsImageLimit(16384, 16384));
    EXPECT_TRUE(fitsImageLimit(kMaxImagePixels, 1));
    EXPECT_FALSE(fitsImageLimit(kMaxImagePixels + 1, 1));
    EXPECT_FALSE(fitsImageLimit(0, 10));
    EXPECT_FALSE(fitsImageLimit(10, -1));
    EXPECT_FALSE(fitsImageLimit(INT64_MAX, INT64_MAX));
}

TEST(StagesResizeTables, FilterByAlgorithmWithBicubicFallback) {
    struct Case { uint8 algorithm; FREE_IMAGE_FILTER filter; } cases[] = {
        {0, FILTER_BOX},        {1, FILTER_BILINEAR}, {2, FILTER_BSPLINE},  {3, FILTER_BICUBIC},
        {4, FILTER_CATMULLROM}, {5, FILTER_LANCZOS3}, {6, FILTER_BICUBIC}, {255, FILTER_BICUBIC},
    };
    for (const auto& c : cases) EXPECT_EQ(resizeFilter(c.algorithm), c.filter) << int(c.algorithm);
}

TEST(StagesResize, RescalesToThePlannedSize) {
    ImagePtr image = makePattern(301, 200, 32);
    ImagePtr out = runStage(applyResize, std::move(image), resizeSettings({50, kPercent, 50, kPercent, true}));
    ASSERT_TRUE(out);
    EXPECT_EQ(imageWidth(out), 150);
    EXPECT_EQ(imageHeight(out), 100);
    EXPECT_EQ(imageBpp(out), 32);
}

TEST(StagesResize, BoxHalvingAveragesBlocks) {
    // Two-by-two blocks of one colour each: a box filter halving keeps every block's colour.
    ImagePtr image = makeImage(4, 2, 24);
    const Rgba left{200, 10, 40}, right{0, 90, 250};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) setPixel(image, x, y, x < 2 ? left : right);
    ConversionSettings s = resizeSettings({2, kPixels, 1, kPixels, false});
    s.ImageResizeAlgorithm = 0;
    ImagePtr out = runStage(applyResize, std::move(image), s);
    ASSERT_TRUE(out);
    ASSERT_EQ(imageWidth(out), 2);
    ASSERT_EQ(imageHeight(out), 1);
    EXPECT_EQ(pixelAt(out, 0, 0), left);
    EXPECT_EQ(pixelAt(out, 1, 0), right);
}

TEST(StagesResize, UntouchedCasesReturnTheSameImage) {
    struct Case { const char* name; ConversionSettings settings; } cases[] = {
        {"off", ConversionSettings{}},
        {"same size", resizeSettings({64, kPixels, 32, kPixels, false})},
        {"smaller than target, large images only", resizeSettings({100, kPixels, 100, kPixels, false, kLargeImages})},
        {"unknown unit", resizeSettings({10, 7, 10, kPixels, false})},
    };
    for (const auto& c : cases) {
        ImagePtr image = makePattern(64, 32, 24);
        FIBITMAP* before = image.get();
        ImagePtr out = runStage(applyResize, std::move(image), c.settings);
        EXPECT_EQ(out.get(), before) << c.name;
    }
}

TEST(StagesResize, OversizedTargetGivesNoImageInsteadOfAllocating) {
    ImagePtr out = runStage(applyResize, makePattern(640, 480, 24),
                               resizeSettings({100000, kPercent, 100000, kPercent, false}));
    EXPECT_FALSE(out);
}

TEST(StagesResize, NullImagePassesThrough) {
    EXPECT_FALSE(runStage(applyResize, nullptr, resizeSettings({50, kPercent, 50, kPercent, false})));
}

TEST(StagesResize, SixteenBitPerChannelImagesKeepTheirDepth) {
    ImagePtr image = loadPngSuite("basn2c16.png");
    ASSERT_TRUE(image);
    ImagePtr out = runStage(applyResize, std::move(image), resizeSettings({16, kPixels, 16, kPixels, false}));
    ASSERT_TRUE(out);
    EXPECT_EQ(imageWidth(out), 16);
    EXPECT_EQ(imageBpp(out), 48);
}
