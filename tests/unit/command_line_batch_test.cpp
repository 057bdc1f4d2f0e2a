// The console run in-process: its checks in order with their exact lines,
// the debug summary, the import rules, the outcomes and what lands on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "batch/command_line_batch.h"
#include "batch/worker.h"
#include "cli/console.h"
#include "dds_reader.h"
#include "debug_summary.h"
#include "settings/paths.h"
#include "setting_value_cases.h"
#include "test_support.h"

namespace {

using Lines = std::vector<std::string>;
const RgbaPixel kOrange{255, 128, 0, 255};

const std::string kNotComplete = "Conversion is not complete";
const std::string kNoInput = "No input file(s) found. Please, add valid file(s) and try again!";
const Lines kSuccessLines{"Preparing...", "Importing...", "Import complete, new files added: 1", "Converting...",
                          "Conversion complete", "Files converted: 1 of 1"};
const Lines kNothingImportedLines{"Preparing...", "Importing...", "Import complete, new files added: 0", kNotComplete,
                                  kNoInput};
const std::string kJfifBytes = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00", 14) + std::string(64, 'j');

struct ConsoleRun {
    TempFolder folder;
    BatchJob job;
    ConversionSettings settings;
    std::string input;

    ConsoleRun() {
        resetBatchJob(job);
        settings.KeepAspectRatio = 0;  // the command line's default
        input = picture("pic.png");
        job.inputArgument = input;
    }
    std::string picture(const std::string& name) {
        writeRgbaPng(folder.path + name, 8, 8, [](int, int) { return kOrange; });
        return folder.path + name;
    }
    void useInput(const std::string& name, const std::string& bytes) {
        writeFileBytes(folder.path + name, bytes);
        job.inputArgument = input = folder.path + name;
    }
    Lines run(bool quiet = false, LogSink print = printLine) {
        int result = -1;
        Lines lines = captureStdout([&] { result = RunCommandLineBatch(job, settings, quiet, print); }).lines;
        EXPECT_EQ(result, 0);
        EXPECT_EQ(job.watermarkFont, nullptr);
        return lines;
    }
    std::vector<std::string> files() const { return listFolder(folder.path); }
};

// A folder of a unique name below the program's folder, removed afterwards.
struct ProgramSubfolder {
    std::string name;
    std::string path;
    ProgramSubfolder() {
        std::string pattern = programFolder() + "tovrel-out-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        path = std::string(mkdtemp(buffer.data())) + "/";
        name = fileNamePart(path.substr(0, path.size() - 1));
    }
    ~ProgramSubfolder() { std::filesystem::remove_all(path); }
};

// A sink that keeps the lines it is given, to see where the run's lines go.
Lines collectedLines;
void collectLine(std::string_view line) { collectedLines.emplace_back(line); }

}  // namespace

TEST(CommandLineRun, SuccessPrintsSixLinesAndWritesBesideTheInput) {
    ConsoleRun r;
    EXPECT_EQ(r.run(), kSuccessLines);
    EXPECT_EQ(r.files(), (std::vector<std::string>{"pic.dds", "pic.png"}));
    const DdsImage dds = readDdsFile(r.folder.path + "pic.dds");
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.width, 8u);
    EXPECT_EQ(dds.header.mipMapCount, 4u);
}

TEST(CommandLineRun, QuietRunPrintsOnlyAFailure) {
    ConsoleRun ok;
    EXPECT_EQ(ok.run(true), Lines{});
    EXPECT_EQ(ok.files(), (std::vector<std::string>{"pic.dds", "pic.png"}));

    ConsoleRun failing;
    failing.useInput("photo.png", kJfifBytes);
    EXPECT_EQ(failing.run(true), Lines{kNotComplete});
}

// Every line of the run, the worker's per-file log included, goes to the
// sink the caller gives; the batch layer prints nothing itself.
TEST(CommandLineRun, LinesGoOnlyToTheGivenSink) {
    ConsoleRun r;
    r.job.runMode = RunMode::Debug;
    collectedLines.clear();
    EXPECT_EQ(r.run(false, collectLine), Lines{});
    ASSERT_EQ(collectedLines.size(), 22u);
    EXPECT_EQ(collectedLines.front(), "Preparing...");
    EXPECT_EQ(collectedLines[17], "Processing: " + r.input);
    EXPECT_EQ(collectedLines.back(), "Files converted: 1 of 1");

    ConsoleRun silent;  // without a sink the run still converts
    EXPECT_EQ(silent.run(false, nullptr), Lines{});
    EXPECT_EQ(silent.files(), (std::vector<std::string>{"pic.dds", "pic.png"}));
}

TEST(CommandLineRun, DebugRunWithDefaults) {
    ConsoleRun r;
    r.job.runMode = RunMode::Debug;
    const std::string folder = r.folder.path;
    EXPECT_EQ(r.run(), (Lines{"Preparing...",
                              "Input: " + r.input,
                              "Output: " + folder,
                              "Conversion: dds",
                              "DDS BPP: 0",
                              "DDS Compression: auto",
                              "Flip Horizontal: 0",
                              "Flip Vertical: 0",
                              "Greyscale: 0",
                              "Frame: none",
                              "Watermark: none",
                              "Filename Mask: %filename%.%ext%",
                              "File Timestamp: current",
                              "Keep Subfolders: 1",
                              "Importing...",
                              "Import complete, new files added: 1",
                              "Converting...",
                              "Processing: " + r.input,
                              "File Format: PNG",
                              "[OK] Saving As: " + folder + "pic.dds",
                              "Conversion complete",
                              "Files converted: 1 of 1"}));
}

// Every block of the summary, with quiet on as well: the summary still
// prints. The list-file input keeps the run from converting anything.
TEST(CommandLineRun, DebugSummaryOfEveryBlock) {
    ConsoleRun r;
    r.useInput("list.txt", "a.png\n");
    r.job.runMode = RunMode::Debug;
    ConversionSettings& s = r.settings;
    s.DDSBPP = 32, s.DDSCompression = 3;
    s.DoImageRotation = 1, s.ImageRotationType = 1, s.TransformImageRotation = 45, s.ImageRotationBackColor = "FF8000";
    s.DoImageResize = 1, s.ImageWidth = 50, s.ImageWidthUnit = 1, s.ImageHeight = 200, s.ImageHeightUnit = 0;
    s.KeepAspectRatio = 1, s.ImageResizeType = 1, s.ImageResizeAlgorithm = 5;
    s.DoImageFlipHorizontal = 1;
    s.DoImageColorCorrection = 1, s.ImageBrightness = -20, s.ImageContrast = 30, s.ImageGamma = 1.5f, s.ImageInvert = 1;
    s.DoImageGreyscale = 1, s.DoImageThreshold = 1, s.ImageThreshold = 128, s.DoImageDither = 1, s.ImageDitherAlgorithm = 2;
    s.DoFrame = 1, s.SolidLeft = 1, s.SolidRight = 2, s.SolidTop = 3, s.SolidBottom = 4;
    s.SolidLeftColor = "111111", s.SolidRightColor = "222222", s.SolidTopColor = "333333", s.SolidBottomColor = "444444";
    s.SolidOpacity = 200;
    s.DoWatermark = 1, s.Text = "Hello %filename%", s.Font = "Arial", s.FontSize = 20, s.FontLeading = 2;
    s.FontColor = "ABCDEF", s.FontStyle = 3, s.FontEffect = 1, s.TextAntialiasing = 1, s.TextAlignment = 2;
    s.TextPadding = 5, s.TextOpacity = 100, s.BackColor = "010203", s.BackOpacity = 50, s.TextBoundary = 1;
    s.TextPosition = 4, s.TextXOffset = -3, s.TextYOffset = 7, s.TextRotation = 90, s.TextSize = 0;
    s.FilenameMask = "%n%_%filename%.%ext%", s.FileTimestamp = 2, s.CustomTimestamp = 1234567890, s.KeepSubfolders = 0;
    const std::string folder = r.folder.path;
    EXPECT_EQ(r.run(true), (joinLines({Lines{"Input: " + r.input,
                                  "Output: " + folder,
                                  "Conversion: dds",
                                  "DDS BPP: 32",
                                  "DDS Compression: bc7",
                                  "Image Rotation Type: advanced",
                                  "Image Rotation: 45",
                                  "Image Rotation Back Color: FF8000",
                                  "Width: 50 percent",
                                  "Height: 200 pixels",
                                  "Keep Aspect Ratio: 1",
                                  "Image Resize Type: largeimages",
                                  "Image Resize Algorithm: lanczos",
                                  "Flip Horizontal: 1",
                                  "Flip Vertical: 0"},
                                  kFullOptionSummaryTail,
                                  Lines{kNotComplete,
                                  kNoInput}})));
}

TEST(CommandLineRun, DebugSummaryOfAnImageWatermark) {
    ConsoleRun r;
    r.useInput("list.lst", "a.png\n");
    r.job.runMode = RunMode::Debug;
    ConversionSettings& s = r.settings;
    s.DoWatermark = 2, s.Image = r.picture("logo.png"), s.ImageGreyscale = 1, s.ImageOpacity = 128;
    s.ImageBoundary = 0, s.ImagePosition = 8, s.ImageXOffset = 4, s.ImageYOffset = -4, s.WatermarkImageRotation = 30;
    s.FileTimestamp = 1;
    const Lines lines = r.run();
    const auto first = std::find(lines.begin(), lines.end(), "Watermark: image");
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(Lines(first, first + 13), (Lines{"Watermark: image",
                                               "Watermark image: " + s.Image,
                                               "Watermark greyscale: 1",
                                               "Watermark opacity: 128",
                                               "Watermark boundary: image",
                                               "Watermark position: bottomright",
                                               "Watermark offset (x/y): 4/-4",
                                               "Watermark rotation: 30",
                                               "Watermark size/mode: fixed",
                                               "Filename Mask: %filename%.%ext%",
                                               "File Timestamp: original",
                                               "Keep Subfolders: 1",
                                               "Importing..."}));
}

// Each check prints its one line and ends the run; nothing is converted.
TEST(CommandLineRun, EveryCheckFailsWithItsLine) {
    using Setup = std::function<void(ConsoleRun&)>;
    struct Case { const char* what; Setup setup; const char* line; } cases[] = {
        {"no extension", [](ConsoleRun& r) { r.useInput("picture", "data"); }, "Error: Invalid input file"},
        {"missing", [](ConsoleRun& r) { r.job.inputArgument = r.folder.path + "missing.png"; }, "Error: Invalid input file"},
        {"empty", [](ConsoleRun& r) { r.useInput("empty.png", ""); }, "Error: Invalid input file"},
        {"folder", [](ConsoleRun& r) {
             std::filesystem::create_directory(r.folder.path + "dir.png");
             r.job.inputArgument = r.folder.path + "dir.png";
         }, "Error: Invalid input file"},
        {"folder without extension", [](ConsoleRun& r) { r.job.inputArgument = r.folder.path; }, "Error: Invalid input file"},
        {"wildcard", [](ConsoleRun& r) { r.job.inputArgument = r.folder.path + "*.png"; }, "Error: Invalid input file"},
        {"parent folder", [](ConsoleRun& r) { r.job.outputFolder = "../out"; }, "Error: Incorrect output folder"},
        {"parent folder dots only", [](ConsoleRun& r) { r.job.outputFolder = ".."; }, "Error: Incorrect output folder"},
        {"missing output folder", [](ConsoleRun& r) { r.job.outputFolder = r.folder.path + "nope"; }, "Error: Invalid output folder"},
        {"output is a file", [](ConsoleRun& r) { r.job.outputFolder = r.input; }, "Error: Invalid output folder"},
        {"relative missing", [](ConsoleRun& r) { r.job.outputFolder = "no-such-folder-below-the-program"; }, "Error: Invalid output folder"},
        {"upper-case type", [](ConsoleRun& r) { r.job.outputExtension = "DDS"; }, "Error: Invalid conversion type"},
        {"other type", [](ConsoleRun& r) { r.job.outputExtension = "png"; }, "Error: Invalid conversion type"},
        {"bpp 24", [](ConsoleRun& r) { r.settings.DDSBPP = 24; }, "Error: Invalid dds-bpp value"},
        {"bpp -32", [](ConsoleRun& r) { r.settings.DDSBPP = -32; }, "Error: Invalid dds-bpp value"},
        {"width 0", [](ConsoleRun& r) { r.settings.DoImageResize = 1, r.settings.ImageHeight = 10; }, "Error: Invalid width value"},
        {"height 0", [](ConsoleRun& r) { r.settings.DoImageResize = 1, r.settings.ImageWidth = 10; }, "Error: Invalid height value"},
        {"brightness 101", [](ConsoleRun& r) { r.settings.DoImageColorCorrection = 1, r.settings.ImageBrightness = 101; }, "Error: Invalid brightness value"},
        {"brightness -101", [](ConsoleRun& r) { r.settings.DoImageColorCorrection = 1, r.settings.ImageBrightness = -101; }, "Error: Invalid brightness value"},
        {"contrast 101", [](ConsoleRun& r) { r.settings.DoImageColorCorrection = 1, r.settings.ImageContrast = 101; }, "Error: Invalid contrast value"},
        {"contrast -101", [](ConsoleRun& r) { r.settings.DoImageColorCorrection = 1, r.settings.ImageContrast = -101; }, "Error: Invalid contrast value"},
        {"gamma 0.005", [](ConsoleRun& r) { r.settings.DoImageColorCorrection = 1, r.settings.ImageGamma = 0.005f; }, "Error: Invalid gamma value"},
        {"gamma 10", [](ConsoleRun& r) { r.settings.DoImageColorCorrection = 1, r.settings.ImageGamma = 10.0f; }, "Error: Invalid gamma value"},
        {"gamma NaN", [](ConsoleRun& r) { r.settings.DoImageColorCorrection = 1, r.settings.ImageGamma = std::nanf(""); }, "Error: Invalid gamma value"},
        {"watermark image missing", [](ConsoleRun& r) { r.settings.DoWatermark = 2, r.settings.Image = r.folder.path + "none.png"; }, "Error: Invalid watermark image"},
        {"watermark image empty", [](ConsoleRun& r) {
             writeFileBytes(r.folder.path + "empty.png", "");
             r.settings.DoWatermark = 2, r.settings.Image = r.folder.path + "empty.png";
         }, "Error: Invalid watermark image"},
        {"watermark image folder", [](ConsoleRun& r) { r.settings.DoWatermark = 2, r.settings.Image = r.folder.path; }, "Error: Invalid watermark image"},
        // The first failing check wins.
        {"output folder before gamma", [](ConsoleRun& r) {
             r.job.outputFolder = "../x";
             r.settings.DoImageColorCorrection = 1, r.settings.ImageGamma = 50.0f;
         }, "Error: Incorrect output folder"},
        {"bpp before width", [](ConsoleRun& r) { r.settings.DDSBPP = 8, r.settings.DoImageResize = 1; }, "Error: Invalid dds-bpp value"},
        {"brightness before contrast", [](ConsoleRun& r) {
             r.settings.DoImageColorCorrection = 1, r.settings.ImageBrightness = 200, r.settings.ImageContrast = 200;
         }, "Error: Invalid brightness value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConsoleRun r;
        c.setup(r);
        const auto before = r.files();
        EXPECT_EQ(r.run(), (Lines{"Preparing...", c.line}));
        EXPECT_EQ(r.files(), before);
    }
}

// The same table drives the window's Convert command (window tests).
TEST(CommandLineRun, RefusesOutOfRangeSettingValues) {
    for (const SettingValueCase& c : settingValueCases()) {
        SCOPED_TRACE(c.what);
        ConsoleRun r;
        c.edit(r.settings);
        const auto before = r.files();
        EXPECT_EQ(r.run(), (Lines{"Preparing...", c.consoleLine}));
        EXPECT_EQ(r.files(), before);
    }
}

TEST(CommandLineRun, BoundaryValuesPass) {
    using Setup = std::function<void(ConsoleRun&)>;
    struct Case { const char* what; Setup setup; } cases[] = {
        {"bpp 32", [](ConsoleRun& r) { r.settings.DDSBPP = 32; }},
        {"compression none, the last keyword", [](ConsoleRun& r) { r.settings.DDSCompression = 4; }},
        {"type dds", [](ConsoleRun& r) { r.job.outputExtension = "dds"; }},
        {"gamma 0.01", [](ConsoleRun& r) { r.settings.DoImageColorCorrection = 1, r.settings.ImageGamma = 0.01f; }},
        {"gamma 9.99", [](ConsoleRun& r) { r.settings.DoImageColorCorrection = 1, r.settings.ImageGamma = 9.99f; }},
        {"brightness and contrast at the limits", [](ConsoleRun& r) {
             r.settings.DoImageColorCorrection = 1, r.settings.ImageBrightness = -100, r.settings.ImageContrast = 100;
         }},
        {"width 0 without resizing", [](ConsoleRun& r) { r.settings.ImageWidth = 0; }},
        {"out-of-range values of stages that are off", [](ConsoleRun& r) { r.settings.ImageGamma = 50.0f; }},
        {"upper-case extension", [](ConsoleRun& r) { r.job.inputArgument = r.input = r.picture("UP.PNG"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConsoleRun r;
        c.setup(r);
        EXPECT_EQ(r.run(), kSuccessLines);
    }
}

TEST(CommandLineRun, ListFilesAndOtherFormatsAreNotImported) {
    struct Case { const char* name; std::string bytes; } cases[] = {
        {"list.txt", "a.png\n"}, {"LIST.LST", "a.png\n"}, {"photo.jpg", kJfifBytes}, {"image.bmp", "BM123456"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConsoleRun r;
        r.useInput(c.name, c.bytes);
        EXPECT_EQ(r.run(), kNothingImportedLines);
    }
}

// A JPEG named .png is imported (the name decides) and then fails: the log
// names its real format, and nothing is left behind.
TEST(CommandLineRun, JpegNamedPngFailsCleanly) {
    ConsoleRun r;
    r.useInput("photo.png", kJfifBytes);
    std::filesystem::remove(r.folder.path + "pic.png");
    r.job.runMode = RunMode::Debug;
    const Lines lines = r.run();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(Lines(lines.end() - 6, lines.end()), (Lines{"Import complete, new files added: 1", "Converting...",
                                                          "Processing: " + r.input, "File Format: JPEG/JFIF",
                                                          "[ERROR] Unable to convert the file!", kNotComplete}));
    EXPECT_EQ(r.files(), std::vector<std::string>{"photo.png"});
}

TEST(CommandLineRun, RelativeOutputFoldersAreBelowTheProgramFolder) {
    for (const std::string& prefix : {std::string(), std::string("./")}) {
        SCOPED_TRACE(prefix);
        ProgramSubfolder out;
        ConsoleRun r;
        r.job.outputFolder = prefix + out.name;
        EXPECT_EQ(r.run(), kSuccessLines);
        EXPECT_EQ(listFolder(out.path), std::vector<std::string>{"pic.dds"});
        EXPECT_EQ(r.files(), std::vector<std::string>{"pic.png"});
    }
}

// A bare file name has no folder part, so the output goes to the program's
// folder, not the working directory.
TEST(CommandLineRun, BareInputNameWritesIntoTheProgramFolder) {
    ConsoleRun r;
    const std::string name = fileNamePart(r.folder.path.substr(0, r.folder.path.size() - 1)) + ".png";
    r.picture(name);
    const std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(r.folder.path.c_str()), 0);
    r.job.inputArgument = name;
    const Lines lines = r.run();
    ASSERT_EQ(chdir(saved.c_str()), 0);
    const std::string output = programFolder() + name.substr(0, name.size() - 4) + ".dds";
    EXPECT_EQ(lines, kSuccessLines);
    EXPECT_TRUE(readDdsFile(output).ok);
    std::filesystem::remove(output);
}

TEST(CommandLineRun, NameTemplateDecidesTheOutputName) {
    struct Case { const char* mask; const char* input; const char* output; } cases[] = {
        {"%filename[u]%_%ext[t]%.%ext%", "my Pic.png", "MY PIC_Dds.dds"},
        {"Copy of %filename%.%ext%", "A.png", "copy of A.dds"},
        {"%filename%", "noext.png", "noext"},
        {"%bpp%_%width%x%height%.%ext%", "size.png", "32_8x8.dds"},
        {"", "Photo.Final.png", "Photo.Final.dds"},
        {"%n%-%filename%.%ext%", "count.png", "00001-count.dds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        ConsoleRun r;
        std::filesystem::remove(r.input);
        r.job.inputArgument = r.picture(c.input);
        r.settings.FilenameMask = c.mask;
        EXPECT_EQ(r.run(), kSuccessLines);
        std::vector<std::string> expected{c.input, c.output};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(r.files(), expected);
        EXPECT_TRUE(readDdsFile(r.folder.path + c.output).ok);
    }
}

TEST(CommandLineRun, SameConversionTwiceReplacesTheOutput) {
    ConsoleRun r;
    const std::string input = r.input;
    EXPECT_EQ(r.run(), kSuccessLines);
    resetBatchJob(r.job);
    r.job.inputArgument = input;
    EXPECT_EQ(r.run(), kSuccessLines);
    EXPECT_EQ(r.files(), (std::vector<std::string>{"pic.dds", "pic.png"}));
}

TEST(CommandLineRun, ReadOnlyOutputIsReplaced) {
    ConsoleRun r;
    writeFileBytes(r.folder.path + "pic.dds", "old");
    chmod((r.folder.path + "pic.dds").c_str(), 0444);
    EXPECT_EQ(r.run(), kSuccessLines);
    EXPECT_TRUE(readDdsFile(r.folder.path + "pic.dds").ok);
    EXPECT_EQ(r.files(), (std::vector<std::string>{"pic.dds", "pic.png"}));
}

TEST(CommandLineRun, FailedRenameIsAFailureAndLeavesNoTemporaryFile) {
    ConsoleRun r;
    std::filesystem::create_directory(r.folder.path + "pic.dds");
    writeFileBytes(r.folder.path + "pic.dds/inside.txt", "kept");
    EXPECT_EQ(r.run(), (Lines{"Preparing...", "Importing...", "Import complete, new files added: 1", "Converting...",
                             kNotComplete}));
    EXPECT_EQ(r.files(), (std::vector<std::string>{"pic.dds", "pic.png"}));
    EXPECT_EQ(readFileBytes(r.folder.path + "pic.dds/inside.txt"), "kept");
}

TEST(CommandLineRun, OutputTimestampSources) {
    const std::int64_t inputDate = 1111111111, customDate = 999999999;
    struct Case { int source; std::int64_t expected; } cases[] = {{1, inputDate}, {2, customDate}, {0, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        ConsoleRun r;
        const timespec times[2]{{0, 0}, {fileTimeFromLocalDate(inputDate), 0}};
        utimensat(AT_FDCWD, r.input.c_str(), times, 0);
        r.settings.FileTimestamp = static_cast<uint8>(c.source);
        r.settings.CustomTimestamp = static_cast<int32>(customDate);
        const std::int64_t before = localDateFromFileTime(std::time(nullptr));
        EXPECT_EQ(r.run(), kSuccessLines);
        const std::int64_t written = fileLocalDate(r.folder.path + "pic.dds");
        if (c.expected >= 0) EXPECT_EQ(written, c.expected);
        else EXPECT_GE(written, before - 1);
    }
}

TEST(CommandLineRun, TextWatermarkRunReleasesItsFont) {
    ConsoleRun r;
    r.settings.DoWatermark = 1;
    r.settings.Text = "tovrel";
    EXPECT_EQ(r.run(), kSuccessLines);  // run() also checks the font pointer is cleared
}
