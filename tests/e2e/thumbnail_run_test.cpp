// `tovrel --thumbnail IN OUT SIZE` through the real binary, as a file
// manager runs it: the level chosen, the aspect ratio and alpha kept, one
// error line and exit code 1 with no file left on failure, and neither the
// single-instance lock nor the configuration touched.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/dds_file.h"
#include "test_support.h"

namespace {

using Pixel = std::array<std::uint8_t, 4>;  // red, green, blue, alpha

struct Png {
    int width = 0, height = 0;
    std::vector<Pixel> pixels;  // rows top-down
    Pixel at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Png readPng(const std::string& path) {
    Png png;
    FIBITMAP* loaded = FreeImage_Load(FIF_PNG, path.c_str(), 0);
    if (!loaded) return png;
    FIBITMAP* bitmap = FreeImage_ConvertTo32Bits(loaded);
    FreeImage_Unload(loaded);
    png.width = static_cast<int>(FreeImage_GetWidth(bitmap));
    png.height = static_cast<int>(FreeImage_GetHeight(bitmap));
    for (int y = 0; y < png.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(bitmap, png.height - 1 - y);
        for (int x = 0; x < png.width; ++x, row += 4)
            png.pixels.push_back({row[FI_RGBA_RED], row[FI_RGBA_GREEN], row[FI_RGBA_BLUE], row[FI_RGBA_ALPHA]});
    }
    FreeImage_Unload(bitmap);
    return png;
}

// An uncompressed file whose every level is one colour of its own, so a
// thumbnail shows which level it was made from.
const std::vector<Pixel> kLevelColours = {{200, 0, 0, 255}, {0, 200, 0, 128}, {0, 0, 200, 255}, {90, 90, 0, 255},
                                          {0, 90, 90, 255}, {90, 0, 90, 255}, {10, 20, 30, 255}};

std::string levelColouredDds(std::uint32_t width, std::uint32_t height) {
    const DdsFileBytes file = newDdsFile(DdsFormat::Bgra32, width, height);
    std::uint8_t* at = file.bytes.get() + file.dataOffset;
    for (std::size_t level = 0; width && height; ++level) {
        const Pixel c = kLevelColours[level % kLevelColours.size()];
        for (std::size_t i = 0; i < std::size_t{width} * height; ++i, at += 4) at[0] = c[2], at[1] = c[1], at[2] = c[0], at[3] = c[3];
        if (width == 1 && height == 1) break;
        width = halfSide(width);
        height = halfSide(height);
    }
    return {reinterpret_cast<const char*>(file.bytes.get()), file.size};
}

struct ThumbnailRunResult {
    RunResult result;
    std::string errors;
};

ThumbnailRunResult thumbnail(const TempFolder& work, const std::vector<std::string>& args) {
    RunOptions options;
    options.errorFile = work.path + ".stderr";
    std::vector<std::string> all{"--thumbnail"};
    all.insert(all.end(), args.begin(), args.end());
    ThumbnailRunResult run{runTovrel(all, work.path, options), {}};
    run.errors = readFileBytes(options.errorFile);
    std::filesystem::remove(options.errorFile);
    return run;
}

struct SizeCase {
    std::uint32_t width, height, size;
    int thumbWidth, thumbHeight;
    std::size_t level;  // the level whose colour the thumbnail shows
};

TEST(ThumbnailRun, ComesFromTheSmallestLevelThatCoversTheSizeAndKeepsTheAspect) {
    const SizeCase cases[] = {
        {64, 32, 16, 16, 8, 1},    // 32 x 16 is the smallest with both sides >= 16
        {64, 32, 32, 32, 16, 0},   // 32 x 16 has a side below 32: the top
        {64, 32, 100, 64, 32, 0},  // no level covers it: the top, not enlarged
        {64, 32, 1, 1, 1, 6},      // the last level, 1 x 1
        {32, 64, 16, 8, 16, 1},
        {48, 20, 10, 10, 4, 1},    // 24 x 10 scaled to 10 x 4 (4.17 rounded)
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " + std::to_string(c.size));
        TempFolder work;
        writeFileBytes(work.path + "in.dds", levelColouredDds(c.width, c.height));
        const ThumbnailRunResult run = thumbnail(work, {work.path + "in.dds", work.path + "out.png", std::to_string(c.size)});
        EXPECT_EQ(run.result.exitCode, 0) << run.errors;
        EXPECT_EQ(run.result.output, "");
        EXPECT_EQ(run.errors, "");
        const Png png = readPng(work.path + "out.png");
        ASSERT_EQ(png.width, c.thumbWidth);
        ASSERT_EQ(png.height, c.thumbHeight);
        EXPECT_EQ(png.at(0, 0), kLevelColours[c.level]);
        EXPECT_EQ(png.at(png.width - 1, png.height - 1), kLevelColours[c.level]);
        // Nothing but the picture: no temporary file, no configuration.
        EXPECT_EQ(listFolder(work.path), (std::vector<std::string>{".xdg-config", ".xdg-runtime", "in.dds", "out.png"}));
        EXPECT_TRUE(listFolder(work.path + ".xdg-config").empty());
    }
}

TEST(ThumbnailRun, KeepsAlphaAndLendsNoColourFromTransparentPixels) {
    // One level, 64 x 64: the left half transparent blue, the right half
    // opaque red.
    DdsFileBytes file = newDdsFile(DdsFormat::Bgra32, 64, 64);
    writeDdsHeader(DdsFormat::Bgra32, 64, 64, 1, file.bytes.get());
    std::uint8_t* at = file.bytes.get() + file.dataOffset;
    for (int i = 0; i < 64 * 64; ++i, at += 4) {
        const bool left = i % 64 < 32;
        at[0] = left ? 255 : 0, at[1] = 0, at[2] = left ? 0 : 255, at[3] = left ? 0 : 255;
    }
    TempFolder work;
    writeFileBytes(work.path + "in.dds", std::string(reinterpret_cast<const char*>(file.bytes.get()), file.dataOffset + 64 * 64 * 4));
    const ThumbnailRunResult halves = thumbnail(work, {work.path + "in.dds", work.path + "two.png", "2"});
    ASSERT_EQ(halves.result.exitCode, 0) << halves.errors;
    const Png two = readPng(work.path + "two.png");
    ASSERT_EQ(two.width, 2);
    EXPECT_EQ(two.at(0, 1)[3], 0);
    EXPECT_EQ(two.at(1, 1), (Pixel{255, 0, 0, 255}));
    const ThumbnailRunResult whole = thumbnail(work, {work.path + "in.dds", work.path + "one.png", "1"});
    ASSERT_EQ(whole.result.exitCode, 0) << whole.errors;
    EXPECT_EQ(readPng(work.path + "one.png").at(0, 0), (Pixel{255, 0, 0, 128}));
}

TEST(ThumbnailRun, RunsWhileAnotherInstanceHoldsTheLock) {
    TempFolder work;
    writeFileBytes(work.path + "in.dds", levelColouredDds(16, 16));
    std::filesystem::create_directories(work.path + ".xdg-runtime");
    const int lock = ::open((work.path + ".xdg-runtime/Korvane PNG to DDS 2.8.lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    const ThumbnailRunResult run = thumbnail(work, {work.path + "in.dds", work.path + "out.png", "8"});
    ::close(lock);
    EXPECT_EQ(run.result.exitCode, 0) << run.errors;
    EXPECT_EQ(readPng(work.path + "out.png").width, 8);
}

struct ErrorCase {
    const char* what;
    std::vector<std::string> args;  // with {work} for the work folder
    const char* error;              // the start of the line after "Error: "
};

TEST(ThumbnailRun, EachFailureIsOneLineExitCodeOneAndNoFile) {
    const std::vector<ErrorCase> cases = {
        {"missing input", {"{work}missing.dds", "{work}out.png", "128"}, "The file does not exist: "},
        {"folder input", {"{work}folder", "{work}out.png", "128"}, "This is a folder, not a file: "},
        {"FIFO input", {"{work}pipe", "{work}out.png", "128"}, "This is a pipe (FIFO), not a file: "},
        {"a PNG as input", {"{work}picture.png", "{work}out.png", "128"}, "Not a DDS file: "},
        {"a cut DDS", {"{work}cut.dds", "{work}out.png", "128"}, "The file ends before the first level's data: "},
        {"output in a missing folder", {"{work}in.dds", "{work}no/out.png", "128"}, "The thumbnail could not be written: "},
        {"output over a folder", {"{work}in.dds", "{work}folder", "128"}, "The thumbnail could not be written: "},
        {"size 0", {"{work}in.dds", "{work}out.png", "0"}, "The thumbnail size must be a whole number from 1 to 65535: 0"},
        {"size not a number", {"{work}in.dds", "{work}out.png", "big"}, "The thumbnail size must be"},
        {"size too large", {"{work}in.dds", "{work}out.png", "65536"}, "The thumbnail size must be"},
        {"no size", {"{work}in.dds", "{work}out.png"}, "Usage: tovrel --thumbnail IN OUT.png SIZE"},
        {"a word too many", {"{work}in.dds", "{work}out.png", "128", "x"}, "Usage: tovrel --thumbnail IN OUT.png SIZE"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder work;
        const std::string dds = levelColouredDds(16, 16);
        writeFileBytes(work.path + "in.dds", dds);
        writeFileBytes(work.path + "cut.dds", dds.substr(0, 200));
        writeFileBytes(work.path + "picture.png", solidRgbaPng(4, 4, {1, 2, 3, 255}));
        std::filesystem::create_directory(work.path + "folder");
        ASSERT_EQ(::mkfifo((work.path + "pipe").c_str(), 0600), 0);
        // The runner makes the private XDG folders; nothing else may appear.
        std::vector<std::string> before = listFolder(work.path);
        before.insert(before.begin(), {".xdg-config", ".xdg-runtime"});
        std::vector<std::string> args;
        for (std::string arg : c.args) args.push_back(arg.starts_with("{work}") ? work.path + arg.substr(6) : arg);

        const ThumbnailRunResult run = thumbnail(work, args);
        EXPECT_EQ(run.result.exitCode, 1);
        EXPECT_EQ(run.result.output, "");
        EXPECT_TRUE(run.errors.starts_with(std::string("Error: ") + c.error)) << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        EXPECT_EQ(listFolder(work.path), before);
        EXPECT_TRUE(std::filesystem::is_directory(work.path + "folder"));
    }
}

}  // namespace
