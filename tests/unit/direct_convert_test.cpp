// The conversion that only changes the format: it writes the very file the
// general path (FreeImage decode, the stages, the save step) writes, takes
// the general path whenever a stage would change the picture, and leaves
// nothing behind when its decode fails halfway.
#include <gtest/gtest.h>

#include <functional>

#include "conversion_job.h"
#include "dds_reader.h"
#include "engine/convert.h"
#include "engine/dds_save.h"
#include "engine/direct_convert.h"
#include "engine/stages.h"
#include "image_support.h"
#include "png_kinds.h"
#include "settings/choices.h"
#include "test_support.h"

namespace {

// The file the general path makes of the input, read back as bytes.
std::string generalPathFile(const std::string& input, const ConversionSettings& settings) {
    TempFolder out;
    BatchJob job = conversionJob(input, out.path);
    ImagePtr image = decodeInput(job);
    EXPECT_TRUE(image != nullptr);
    EXPECT_TRUE(saveImageAsDds(transformImage(std::move(image), settings, job), job, settings));
    return readFileBytes(job.outputPath);
}

struct PictureCase {
    PngKind kind;
    std::uint32_t width, height;
};

// Sizes around the 4-row block rows the helper core waits for, a picture
// large enough for both cores to share its top level, and an interlaced
// one, which is told only at its end.
const PictureCase kPictures[] = {
    {{"colour 1 x 1", PNG_COLOR_TYPE_RGB, 8}, 1, 1},
    {{"colour 5 x 3", PNG_COLOR_TYPE_RGB, 8}, 5, 3},
    {{"colour with alpha 37 x 23", PNG_COLOR_TYPE_RGB_ALPHA, 8}, 37, 23},
    {{"grey with alpha 64 x 64", PNG_COLOR_TYPE_GRAY_ALPHA, 8}, 64, 64},
    {{"palette 4 with transparency 130 x 67", PNG_COLOR_TYPE_PALETTE, 4, true, 0, false, 9}, 130, 67},
    {{"colour with transparent colour and gamma 301 x 203", PNG_COLOR_TYPE_RGB, 8, true, 0.45455}, 301, 203},
    {{"colour with alpha 1024 x 517", PNG_COLOR_TYPE_RGB_ALPHA, 8}, 1024, 517},
    {{"colour interlaced 300 x 200", PNG_COLOR_TYPE_RGB, 8, false, 0, true}, 300, 200},
};

}  // namespace

// Every compression setting, and for the automatic one pictures whose alpha
// is soft (DXT5 from the start), 0 or 255 only (the tRNS picture: DXT5
// behind the decoder, turned into DXT1) and absent (DXT1 from the start).
TEST(FormatOnlyConversion, WritesTheFileTheGeneralPathWrites) {
    TempFolder folder;
    for (const DdsCompression compression :
         {DdsCompression::Auto, DdsCompression::Dxt1, DdsCompression::Dxt5, DdsCompression::Bc7, DdsCompression::None}) {
        ConversionSettings settings;
        settings.DDSCompression = storedValue(compression);
        for (const PictureCase& c : kPictures) {
            SCOPED_TRACE(c.kind.name + " compression " + std::to_string(settings.DDSCompression));
            const std::string input = folder.path + "picture.png";
            ASSERT_TRUE(writePngKind(input, c.kind, c.width, c.height));
            TempFolder out;
            BatchJob job = conversionJob(input, out.path);
            ASSERT_EQ(convertOnlyTheFormat(job, settings), FormatOnlyOutcome::Converted);
            EXPECT_EQ(listFolder(out.path), std::vector<std::string>{"picture.dds"});
            EXPECT_EQ(job.targetBitDepth, 32);
            EXPECT_EQ(job.finalWidth, static_cast<int>(c.width));
            const DdsImage dds = readDdsFile(job.outputPath);
            ASSERT_TRUE(dds.ok) << dds.error;
            EXPECT_EQ(dds.header.mipMapCount, fullMipCount(c.width, c.height));
            EXPECT_TRUE(readFileBytes(job.outputPath) == generalPathFile(input, settings));
        }
    }
}

TEST(FormatOnlyConversion, PngSuiteFilesItTakesComeOutAsFromTheGeneralPath) {
    int taken = 0;
    for (const std::string& name : listFolder(pngSuitePath(""))) {
        if (!name.ends_with(".png")) continue;
        SCOPED_TRACE(name);
        TempFolder out;
        BatchJob job = conversionJob(pngSuitePath(name), out.path);
        const FormatOnlyOutcome outcome = convertOnlyTheFormat(job, ConversionSettings{});
        if (outcome == FormatOnlyOutcome::NotTaken) {
            EXPECT_TRUE(listFolder(out.path).empty());
            continue;
        }
        ++taken;
        ASSERT_EQ(outcome, FormatOnlyOutcome::Converted);
        EXPECT_TRUE(readFileBytes(job.outputPath) == generalPathFile(pngSuitePath(name), ConversionSettings{}));
    }
    EXPECT_GE(taken, 30);
}

namespace {

struct StageSwitch {
    const char* stage;
    std::function<void(ConversionSettings&)> turnOn;
};

const StageSwitch kStageSwitches[] = {
    {"rotation", [](ConversionSettings& s) { s.DoImageRotation = 1; s.TransformImageRotation = 90; }},
    {"resize", [](ConversionSettings& s) { s.DoImageResize = 1; s.ImageWidth = 50; s.ImageWidthUnit = 1; s.ImageHeight = 50; s.ImageHeightUnit = 1; }},
    {"flip", [](ConversionSettings& s) { s.DoImageFlipHorizontal = 1; }},
    {"flip", [](ConversionSettings& s) { s.DoImageFlipVertical = 1; }},
    {"colour correction", [](ConversionSettings& s) { s.DoImageColorCorrection = 1; }},
    {"greyscale", [](ConversionSettings& s) { s.DoImageGreyscale = 1; }},
    {"threshold", [](ConversionSettings& s) { s.DoImageThreshold = 1; }},
    {"dither", [](ConversionSettings& s) { s.DoImageDither = 1; }},
    {"frame", [](ConversionSettings& s) { s.DoFrame = static_cast<uint8>(FrameKind::Solid); }},
    {"watermark", [](ConversionSettings& s) { s.DoWatermark = static_cast<uint8>(WatermarkKind::Text); }},
};

// Settings with a stage switched on that still leaves this picture alone.
const StageSwitch kSwitchedOnButIdle[] = {
    {"rotation", [](ConversionSettings& s) { s.DoImageRotation = 1; s.TransformImageRotation = 0; }},
    {"rotation", [](ConversionSettings& s) { s.DoImageRotation = 1; s.TransformImageRotation = 360; }},
    {"resize", [](ConversionSettings& s) { s.DoImageResize = 1; s.ImageWidth = 100; s.ImageWidthUnit = 1; s.ImageHeight = 100; s.ImageHeightUnit = 1; }},
    {"resize", [](ConversionSettings& s) { s.DoImageResize = 1; s.ImageWidth = 4000; s.ImageHeight = 4000; s.ImageResizeType = static_cast<uint8>(ResizeScope::LargeImages); }},
};

}  // namespace

TEST(FormatOnlyConversion, AnyStageThatChangesThePictureTakesTheGeneralPath) {
    TempFolder folder;
    const std::string input = folder.path + "picture.png";
    ASSERT_TRUE(writePngKind(input, {"colour", PNG_COLOR_TYPE_RGB, 8}, 40, 30));
    BatchJob job = conversionJob(input, folder.path);
    EXPECT_TRUE(everyStageLeavesAsIs(ConversionSettings{}, job, {40, 30}));
    for (const StageSwitch& change : kStageSwitches) {
        SCOPED_TRACE(change.stage);
        ConversionSettings settings;
        change.turnOn(settings);
        EXPECT_FALSE(everyStageLeavesAsIs(settings, job, {40, 30}));
        TempFolder out;
        BatchJob stageJob = conversionJob(input, out.path);
        EXPECT_EQ(convertOnlyTheFormat(stageJob, settings), FormatOnlyOutcome::NotTaken);
        EXPECT_TRUE(listFolder(out.path).empty());
    }
}

// What the shortcut relies on: where it says every stage leaves a picture
// alone, the stages really hand the 32-bit bitmap back untouched.
TEST(FormatOnlyConversion, WhereEveryStageLeavesThePictureTheStagesReturnItUntouched) {
    std::vector<ConversionSettings> idle(1);
    for (const StageSwitch& change : kSwitchedOnButIdle) change.turnOn(idle.emplace_back());
    for (const ConversionSettings& settings : idle) {
        BatchJob job = conversionJob("picture.png", "out/");
        job.sourceBitDepth = 24;
        ASSERT_TRUE(everyStageLeavesAsIs(settings, job, {40, 30}));
        ImagePtr image = makePattern(40, 30, 32);
        const ImagePtr before = copyOf(image);
        FIBITMAP* const bitmap = image.get();
        ImagePtr after = transformImage(std::move(image), settings, job);
        EXPECT_EQ(after.get(), bitmap);
        EXPECT_TRUE(pixelsOf(after) == pixelsOf(before));
        EXPECT_EQ(job.targetBitDepth, 32);
    }
}

TEST(FormatOnlyConversion, ADecodeThatFailsHalfwayLeavesTheFileToTheGeneralPath) {
    TempFolder folder;
    const std::string good = folder.path + "good.png";
    ASSERT_TRUE(writePngKind(good, {"colour", PNG_COLOR_TYPE_RGB_ALPHA, 8}, 600, 400));
    const std::string bytes = readFileBytes(good);
    std::string damaged = bytes;
    damaged[bytes.size() * 7 / 10] = static_cast<char>(damaged[bytes.size() * 7 / 10] ^ 0x55);
    writeFileBytes(folder.path + "damaged.png", damaged);
    writeFileBytes(folder.path + "truncated.png", bytes.substr(0, bytes.size() * 6 / 10));
    for (const char* name : {"damaged.png", "truncated.png"}) {
        SCOPED_TRACE(name);
        TempFolder out;
        BatchJob job = conversionJob(folder.path + name, out.path);
        // The helper core, waiting for rows that never come, is let go.
        EXPECT_EQ(convertOnlyTheFormat(job, ConversionSettings{}), FormatOnlyOutcome::NotTaken);
        EXPECT_TRUE(listFolder(out.path).empty());
        BatchJob again = conversionJob(folder.path + name, out.path);
        EXPECT_FALSE(convertFile(again, ConversionSettings{}));
        EXPECT_TRUE(listFolder(out.path).empty());
    }
}
