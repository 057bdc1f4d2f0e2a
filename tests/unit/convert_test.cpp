// The conversion pipeline end to end: every PngSuite image read back from
// its DDS file, corrupt inputs, and the save sequence that never loses a
// file.
#include <gtest/gtest.h>

#include <FreeImage.h>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "dds_reader.h"
#include "engine/convert.h"
#include "engine/dds_save.h"
#include "engine/image.h"
#include "reference_image.h"
#include "test_support.h"

namespace {

BatchJob jobFor(const std::string& input, const std::string& outputFolder) {
    BatchJob job;
    job.inputPath = input;
    job.outputFolder = outputFolder;
    job.outputExtension = "dds";
    job.autoBitDepth = true;
    return job;
}

std::vector<std::string> pngSuiteImages() {
    std::vector<std::string> names;
    for (const std::string& name : listFolder(pngSuitePath("")))
        if (name.size() > 4 && name.ends_with(".png")) names.push_back(name);
    return names;
}

}  // namespace

TEST(ConvertPngSuite, EveryImageReadsBackWithinDxtTolerance) {
    const std::vector<std::string> names = pngSuiteImages();
    ASSERT_GE(names.size(), 50u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        TempFolder out;
        BatchJob job = jobFor(pngSuitePath(name), out.path);
        ASSERT_TRUE(convertFile(job, ConversionSettings{}));
        const std::string expectedName = name.substr(0, name.size() - 4) + ".dds";
        EXPECT_EQ(job.outputPath, out.path + expectedName);
        EXPECT_EQ(listFolder(out.path), std::vector<std::string>{expectedName});  // no temporary file left
        const ReferenceImage ref = referenceOf(pngSuitePath(name));
        const DdsImage dds = readDdsFile(job.outputPath);
        ASSERT_TRUE(dds.ok) << dds.error;
        EXPECT_EQ(dds.header.width, ref.width);
        EXPECT_EQ(dds.header.height, ref.height);
        EXPECT_EQ(dds.header.mipMapCount, fullMipCount(ref.width, ref.height));
        // Soft alpha takes DXT5, whose eight alpha steps per block land
        // within 1/14 of the block's alpha range (at most 19).
        const bool soft = hasSoftAlpha(ref);
        EXPECT_EQ(dds.header.fourCC, soft ? "DXT5" : "DXT1");
        EXPECT_EQ(dds.dataSize, dds.expectedDataSize);
        EXPECT_EQ(job.finalWidth, static_cast<int>(ref.width));
        EXPECT_EQ(job.targetBitDepth, 32);
        const ImageDifference d = compareWithDds(ref, dds);
        EXPECT_LE(d.meanColorError, dxt1MeanErrorLimit(ref));
        if (soft)
            EXPECT_LE(maxAlphaError(ref, dds), 19);
        else
            EXPECT_EQ(d.alphaMismatches, 0);
    }
}

namespace {
const RgbaPixel kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kClear{0, 0, 0, 0};

// Four 4 x 4 quadrants: red top left, green top right, blue bottom left,
// transparent bottom right. One colour per DXT block, so it decodes exactly.
RgbaPixel quadrant(int x, int y) {
    if (y < 4) return x < 4 ? kRed : kGreen;
    return x < 4 ? kBlue : kClear;
}

RgbaPixel pixelAt(const DdsImage& dds, unsigned x, unsigned y) {
    const std::uint8_t* p = &dds.rgba[(std::size_t{y} * dds.header.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}
}  // namespace

TEST(ConvertFile, KeepsOrientationChannelOrderAndAlpha) {
    TempFolder folder;
    ASSERT_TRUE(writeRgbaPng(folder.path + "quad.png", 8, 8, quadrant));
    BatchJob job = jobFor(folder.path + "quad.png", folder.path);
    ASSERT_TRUE(convertFile(job, ConversionSettings{}));
    const DdsImage dds = readDdsFile(folder.path + "quad.dds");
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.mipMapCount, 4u);
    EXPECT_EQ(job.sourceBitDepth, 32);
    for (unsigned y = 0; y < 8; ++y)
        for (unsigned x = 0; x < 8; ++x) {
            const RgbaPixel expected = quadrant(static_cast<int>(x), static_cast<int>(y));
            const RgbaPixel actual = pixelAt(dds, x, y);
            if (expected[3] == 0) EXPECT_EQ(actual[3], 0) << x << "," << y;
            else EXPECT_EQ(actual, expected) << x << "," << y;
        }
}

TEST(ConvertFile, SizesMipChainsAndSizePlaceholders) {
    struct Case { int width, height; unsigned mips; } cases[] = {{1, 1, 1}, {5, 3, 3}, {3, 17, 5}, {64, 16, 7}, {257, 2, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        TempFolder folder;
        ASSERT_TRUE(writeRgbaPng(folder.path + "in.png", c.width, c.height, [](int, int) { return kBlue; }));
        BatchJob job = jobFor(folder.path + "in.png", folder.path);
        ConversionSettings settings;
        settings.FilenameMask = "%bpp%_%width%x%height%.%ext%";
        ASSERT_TRUE(convertFile(job, settings));
        const std::string name = "32_" + std::to_string(c.width) + "x" + std::to_string(c.height) + ".dds";
        EXPECT_EQ(job.outputPath, folder.path + name);
        const DdsImage dds = readDdsFile(folder.path + name);
        ASSERT_TRUE(dds.ok) << dds.error;
        EXPECT_EQ(dds.header.width, static_cast<unsigned>(c.width));
        EXPECT_EQ(dds.header.height, static_cast<unsigned>(c.height));
        EXPECT_EQ(dds.header.mipMapCount, c.mips);
        EXPECT_EQ(dds.dataSize, dds.expectedDataSize);
        EXPECT_EQ(pixelAt(dds, static_cast<unsigned>(c.width - 1), static_cast<unsigned>(c.height - 1)), kBlue);
    }
}

TEST(ConvertFile, Utf8PathsInAndOut) {
    TempFolder folder;
    const std::string sub = folder.path + "Ordner \xC3\xBC/";
    std::filesystem::create_directory(sub);
    ASSERT_TRUE(writeRgbaPng(sub + "Bild \xC3\xA4 \xE2\x82\xAC.png", 4, 4, [](int, int) { return kGreen; }));
    BatchJob job = jobFor(sub + "Bild \xC3\xA4 \xE2\x82\xAC.png", sub);
    ASSERT_TRUE(convertFile(job, ConversionSettings{}));
    EXPECT_TRUE(readDdsFile(sub + "Bild \xC3\xA4 \xE2\x82\xAC.dds").ok);
}

// Inputs that cannot be decoded as PNG: nothing is created or deleted.
TEST(ConvertFile, UndecodableInputsFailLeavingFilesAlone) {
    const std::string png = readFileBytes(pngSuitePath("basn6a08.png"));
    std::string badCrc = png;
    badCrc[40] = static_cast<char>(badCrc[40] ^ 0x55);  // inside the image data
    struct Case { const char* name; std::string bytes; } cases[] = {
        {"empty", ""},
        {"text", "just some text, not an image"},
        {"jpeg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20) + std::string(200, '\x11')},
        {"signature only", png.substr(0, 8)},
        {"truncated", png.substr(0, png.size() / 2)},
        {"damaged data", badCrc},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        writeFileBytes(folder.path + "pic.png", c.bytes);
        writeFileBytes(folder.path + "pic.dds", "previous output");
        BatchJob job = jobFor(folder.path + "pic.png", folder.path);
        EXPECT_FALSE(convertFile(job, ConversionSettings{}));
        EXPECT_EQ(listFolder(folder.path), (std::vector<std::string>{"pic.dds", "pic.png"}));
        EXPECT_EQ(readFileBytes(folder.path + "pic.dds"), "previous output");
    }
}

TEST(ConvertFile, MissingInputOrFolderFails) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path + "dir.png");
    for (const std::string& input : {folder.path + "missing.png", folder.path + "dir.png"}) {
        BatchJob job = jobFor(input, folder.path);
        EXPECT_FALSE(convertFile(job, ConversionSettings{})) << input;
    }
    EXPECT_EQ(listFolder(folder.path), std::vector<std::string>{"dir.png"});
}

TEST(ConvertFile, SameConversionTwiceReplacesTheFirstOutput) {
    TempFolder folder;
    ASSERT_TRUE(writeRgbaPng(folder.path + "pic.png", 4, 4, [](int, int) { return kRed; }));
    BatchJob job = jobFor(folder.path + "pic.png", folder.path);
    ASSERT_TRUE(convertFile(job, ConversionSettings{}));
    EXPECT_EQ(pixelAt(readDdsFile(folder.path + "pic.dds"), 0, 0), kRed);
    ASSERT_TRUE(writeRgbaPng(folder.path + "pic.png", 4, 4, [](int, int) { return kBlue; }));
    ASSERT_TRUE(convertFile(job, ConversionSettings{}));
    EXPECT_EQ(pixelAt(readDdsFile(folder.path + "pic.dds"), 0, 0), kBlue);
    EXPECT_EQ(listFolder(folder.path), (std::vector<std::string>{"pic.dds", "pic.png"}));
}

TEST(ConvertFile, ReadOnlyOutputIsReplaced) {
    TempFolder folder;
    ASSERT_TRUE(writeRgbaPng(folder.path + "pic.png", 4, 4, [](int, int) { return kGreen; }));
    writeFileBytes(folder.path + "pic.dds", "old");
    chmod((folder.path + "pic.dds").c_str(), 0444);
    BatchJob job = jobFor(folder.path + "pic.png", folder.path);
    ASSERT_TRUE(convertFile(job, ConversionSettings{}));
    EXPECT_EQ(pixelAt(readDdsFile(folder.path + "pic.dds"), 3, 3), kGreen);
    EXPECT_EQ(listFolder(folder.path), (std::vector<std::string>{"pic.dds", "pic.png"}));
}

// When the final rename fails the conversion has failed: the temporary
// file goes, whatever stood at the output path stays.
TEST(ConvertFile, FailedRenameKeepsWhatWasThereAndLeavesNoTemporaryFile) {
    TempFolder folder;
    ASSERT_TRUE(writeRgbaPng(folder.path + "pic.png", 4, 4, [](int, int) { return kGreen; }));
    std::filesystem::create_directory(folder.path + "pic.dds");
    writeFileBytes(folder.path + "pic.dds/keep.txt", "kept");
    BatchJob job = jobFor(folder.path + "pic.png", folder.path);
    EXPECT_FALSE(convertFile(job, ConversionSettings{}));
    EXPECT_EQ(listFolder(folder.path), (std::vector<std::string>{"pic.dds", "pic.png"}));
    EXPECT_EQ(readFileBytes(folder.path + "pic.dds/keep.txt"), "kept");

    ConversionSettings intoMissingFolder;
    intoMissingFolder.FilenameMask = "nosuch/%filename%.%ext%";
    EXPECT_FALSE(convertFile(job, intoMissingFolder));
    EXPECT_EQ(listFolder(folder.path), (std::vector<std::string>{"pic.dds", "pic.png"}));
}

TEST(ConvertFile, SaveIntoMissingFolderFails) {
    TempFolder folder;
    ASSERT_TRUE(writeRgbaPng(folder.path + "pic.png", 4, 4, [](int, int) { return kGreen; }));
    BatchJob job = jobFor(folder.path + "pic.png", folder.path + "missing/");
    EXPECT_FALSE(convertFile(job, ConversionSettings{}));
    EXPECT_EQ(listFolder(folder.path), std::vector<std::string>{"pic.png"});
}

// A short write (here a file-size limit; a full disk behaves alike) must not
// replace a good file with a truncated one. Run in a child process so the
// limit stays there.
TEST(ConvertFile, ShortWriteFailsAndKeepsTheExistingOutput) {
    TempFolder folder;
    ASSERT_TRUE(writeRgbaPng(folder.path + "pic.png", 64, 64, [](int x, int y) {
        return RgbaPixel{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 9, 255};
    }));
    writeFileBytes(folder.path + "pic.dds", "previous output");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{300, 300};
        setrlimit(RLIMIT_FSIZE, &limit);
        BatchJob job = jobFor(folder.path + "pic.png", folder.path);
        _exit(convertFile(job, ConversionSettings{}) ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the conversion reported success";
    EXPECT_EQ(readFileBytes(folder.path + "pic.dds"), "previous output");
    EXPECT_EQ(listFolder(folder.path), (std::vector<std::string>{"pic.dds", "pic.png"}));
}

// A stage that yields no image ends the conversion; no 0 x 0 file appears.
TEST(ConvertFile, MissingImageIsNotSaved) {
    TempFolder folder;
    writeFileBytes(folder.path + "pic.dds", "previous output");
    BatchJob job = jobFor(folder.path + "pic.png", folder.path);
    EXPECT_FALSE(saveImageAsDds(nullptr, job, ConversionSettings{}));
    ImagePtr notExportable(FreeImage_Allocate(4, 4, 24));
    EXPECT_FALSE(saveImageAsDds(std::move(notExportable), job, ConversionSettings{}));
    EXPECT_EQ(listFolder(folder.path), std::vector<std::string>{"pic.dds"});
    EXPECT_EQ(readFileBytes(folder.path + "pic.dds"), "previous output");
}

// A template that names the input itself fails before anything is written:
// the picture is never replaced by the DDS file made from it.
TEST(ConvertFile, OutputNamedLikeTheInputKeepsTheInput) {
    TempFolder folder;
    ASSERT_TRUE(writeRgbaPng(folder.path + "pic.png", 4, 4, [](int, int) { return kGreen; }));
    const std::string picture = readFileBytes(folder.path + "pic.png");
    ConversionSettings settings;
    settings.FilenameMask = "%filename%.png";
    for (const std::string& outputFolder : {folder.path, folder.path + "./", folder.path + "../" +
                                                             std::filesystem::path(folder.path).parent_path().filename().string() + "/"}) {
        SCOPED_TRACE(outputFolder);
        BatchJob job = jobFor(folder.path + "pic.png", outputFolder);
        EXPECT_FALSE(convertFile(job, settings));
        EXPECT_EQ(readFileBytes(folder.path + "pic.png"), picture);
        EXPECT_EQ(listFolder(folder.path), std::vector<std::string>{"pic.png"});
    }
    settings.FilenameMask = "%filename%.dds";  // a different name still converts
    BatchJob job = jobFor(folder.path + "pic.png", folder.path);
    EXPECT_TRUE(convertFile(job, settings));
}
