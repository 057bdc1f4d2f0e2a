// The two pixel-format stages this engine owns: tone mapping of deep images
// and the final bit depth.
#include <gtest/gtest.h>

#include "engine/stages.h"
#include "settings/batch_job.h"
#include "image_support.h"

namespace {
BatchJob ddsJob(int source, bool automatic, int target) {
    BatchJob job;
    job.outputExtension = "dds";
    job.sourceBitDepth = source;
    job.autoBitDepth = automatic;
    job.targetBitDepth = target;
    return job;
}
}  // namespace

TEST(ToneMapping, OnlyDeepImagesBecome24Bits) {
    for (const char* name : {"basn2c16.png", "basn6a16.png"}) {
        ImagePtr mapped = runStage(applyToneMapping, loadPngSuite(name));
        ASSERT_TRUE(mapped) << name;
        EXPECT_EQ(imageBpp(mapped), 24) << name;
        EXPECT_EQ(FreeImage_GetImageType(mapped.get()), FIT_BITMAP);
    }
    ImagePtr rgba = loadPngSuite("basn6a08.png");
    FIBITMAP* same = rgba.get();
    EXPECT_EQ(runStage(applyToneMapping, std::move(rgba)).get(), same);
    EXPECT_EQ(runStage(applyToneMapping, nullptr), nullptr);
}

TEST(BitDepth, DdsAlwaysEndsAt32Bits) {
    struct Case { const char* image; bool automatic; int target; } cases[] = {
        {"basn3p08.png", true, 0},   // palette
        {"basn0g01.png", true, 0},   // 1 bit
        {"basn2c08.png", true, 0},   // 24 bits
        {"basn0g16.png", true, 0},   // 16-bit grey, which FreeImage cannot convert itself
        {"basn2c16.png", true, 0},   // 48 bits: no listed depth holds it, the last one is taken
        {"basn2c08.png", false, 32},
        {"basn2c08.png", false, 24},  // not a DDS depth: normalised to 32
        {"basn2c08.png", false, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.image) + " target " + std::to_string(c.target));
        ImagePtr image = loadPngSuite(c.image);
        BatchJob job = ddsJob(imageBpp(image), c.automatic, c.target);
        ImagePtr result = applyBitDepth(std::move(image), ConversionSettings{}, job);
        ASSERT_TRUE(result);
        EXPECT_EQ(imageBpp(result), 32);
        EXPECT_EQ(FreeImage_GetImageType(result.get()), FIT_BITMAP);
        EXPECT_EQ(job.targetBitDepth, 32);
    }
}

TEST(BitDepth, SixteenBitGreyKeepsItsHighByte) {
    ImagePtr source = loadPngSuite("basn0g16.png");
    ASSERT_EQ(FreeImage_GetImageType(source.get()), FIT_UINT16);
    const WORD first = reinterpret_cast<WORD*>(FreeImage_GetScanLine(source.get(), 5))[7];
    BatchJob job = ddsJob(16, true, 0);
    ImagePtr result = applyBitDepth(std::move(source), ConversionSettings{}, job);
    ASSERT_TRUE(result);
    const BYTE* px = FreeImage_GetScanLine(result.get(), 5) + 7 * 4;
    EXPECT_EQ(px[FI_RGBA_RED], first >> 8);
    EXPECT_EQ(px[FI_RGBA_GREEN], first >> 8);
    EXPECT_EQ(px[FI_RGBA_BLUE], first >> 8);
    EXPECT_EQ(px[FI_RGBA_ALPHA], 255);
}

TEST(BitDepth, ThirtyTwoBitImagePassesUnchanged) {
    ImagePtr image = loadPngSuite("basn6a08.png");
    FIBITMAP* same = image.get();
    BatchJob job = ddsJob(32, true, 0);
    EXPECT_EQ(applyBitDepth(std::move(image), ConversionSettings{}, job).get(), same);
    EXPECT_EQ(applyBitDepth(nullptr, ConversionSettings{}, job), nullptr);
}

// Formats without a depth list take the target as given, through the
// conversion table.
TEST(BitDepth, ConversionTableForOtherTargets) {
    struct Case { int target; const char* extension; int bpp; } cases[] = {
        {24, "bmp", 24}, {16, "bmp", 16}, {16, "tga", 16}, {8, "bmp", 8}, {8, "jpg", 8}, {4, "bmp", 4}, {1, "bmp", 1}, {48, "bmp", 48},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.target) + " " + c.extension);
        BatchJob job = ddsJob(32, false, c.target);
        job.outputExtension = c.extension;
        ImagePtr result = applyBitDepth(loadPngSuite("basn6a08.png"), ConversionSettings{}, job);
        ASSERT_TRUE(result);
        EXPECT_EQ(imageBpp(result), c.bpp);
    }
    BatchJob unknownTarget = ddsJob(32, false, 12);
    unknownTarget.outputExtension = "bmp";
    EXPECT_EQ(applyBitDepth(loadPngSuite("basn2c08.png"), ConversionSettings{}, unknownTarget), nullptr);
}
