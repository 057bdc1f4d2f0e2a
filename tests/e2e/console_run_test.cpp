// A console run through the real binary: the exact lines of a successful,
// a debug and a quiet run, every check's error line in its order, and the
// inputs the import step refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "console_run_support.h"
#include "debug_summary.h"

namespace {

// The summary of a debug run with default settings, after "Input: ".
Lines defaultSummary(const std::string& input, const std::string& outputFolder) {
    return {"Input: " + input,   "Output: " + outputFolder, "Conversion: dds",
            "DDS BPP: 0",        "DDS Compression: auto",   "Flip Horizontal: 0",
            "Flip Vertical: 0",  "Greyscale: 0",            "Frame: none",
            "Watermark: none",
            "Filename Mask: %filename%.%ext%", "File Timestamp: current", "Keep Subfolders: 1"};
}

}  // namespace

TEST(ConsoleRun, SuccessPrintsTheBannerAndSixStatusLines) {
    WorkFolder work;
    const RunResult run = work.run({"-i", work.input});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
    EXPECT_EQ(work.files(), (Lines{"pic.dds", "pic.png"}));
    const DdsImage dds = readDdsFile(work.path + "pic.dds");
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.width, 8u);
    EXPECT_EQ(dds.header.height, 8u);
    EXPECT_EQ(dds.header.mipMapCount, 4u);
}

// Every block of the summary, every value given as an option the way a user
// writes it (keywords in any case, a text with a blank), and the per-file log.
TEST(ConsoleRun, DebugRunWithEveryTransformAndATextWatermark) {
    WorkFolder work;
    const std::string input = work.picture("pic.png", 40, 30);
    const RunResult run = work.run({
        "-i", input, "-d", "--dds-bpp=32", "--dds-compression=Dxt1",
        "--rotation-type=Advanced", "--rotation=90", "--rotation-back-color=FF8000",
        "--width=50", "--width-unit=percent", "--height=20", "--height-unit=PIXELS", "--keep-aspect-ratio",
        "--resize-type=largeimages", "--resize-algorithm=Lanczos", "--flip-vertical",
        "--brightness=-20", "--contrast=30", "--gamma=1.5", "--invert", "--greyscale",
        "--threshold=128", "--dither=bayer8",
        "--fr-solid-left=1", "--fr-solid-right=2", "--fr-solid-top=3", "--fr-solid-bottom=4",
        "--fr-solid-left-color=111111", "--fr-solid-right-color=222222", "--fr-solid-top-color=333333",
        "--fr-solid-bottom-color=444444", "--fr-solid-opacity=200",
        "--wm-text=Hello %filename%", "--wm-font=Arial", "--wm-font-size=20", "--wm-font-leading=2",
        "--wm-font-color=ABCDEF", "--wm-font-style=bolditalic", "--wm-font-effect=underline",
        "--wm-text-antialiasing", "--wm-text-alignment=right", "--wm-text-padding=5", "--wm-text-opacity=100",
        "--wm-back-color=010203", "--wm-back-opacity=50", "--wm-text-boundary=frame",
        "--wm-text-position=middlecenter", "--wm-text-x-offset=-3", "--wm-text-y-offset=7",
        "--wm-text-rotation=90", "--wm-text-size=fixed",
        "--filename-mask=%n%_%filename%.%ext%", "--file-timestamp=custom", "--file-timestamp-custom=1234567890",
        "--no-subfolders"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, (kBanner + joinLines({Lines{"Preparing...",
                                         "Input: " + input,
                                         "Output: " + work.path,
                                         "Conversion: dds",
                                         "DDS BPP: 32",
                                         "DDS Compression: dxt1",
                                         "Image Rotation Type: advanced",
                                         "Image Rotation: 90",
                                         "Image Rotation Back Color: FF8000",
                                         "Width: 50 percent",
                                         "Height: 20 pixels",
                                         "Keep Aspect Ratio: 1",
                                         "Image Resize Type: largeimages",
                                         "Image Resize Algorithm: lanczos",
                                         "Flip Horizontal: 0",
                                         "Flip Vertical: 1"},
                                         kFullOptionSummaryTail,
                                         Lines{"Importing...",
                                         "Import complete, new files added: 1",
                                         "Converting...",
                                         "Processing: " + input,
                                         "File Format: PNG",
                                         "[OK] Saving As: " + work.path + "00001_pic.dds",
                                         "Conversion complete",
                                         "Files converted: 1 of 1"}})));
    EXPECT_EQ(work.files(), (Lines{"00001_pic.dds", "pic.png"}));
    const DdsImage dds = readDdsFile(work.path + "00001_pic.dds");
    EXPECT_TRUE(dds.ok) << dds.error;
}

TEST(ConsoleRun, DebugRunWithAnImageWatermark) {
    WorkFolder work;
    const std::string logo = work.picture("logo.png", 4, 4, RgbaPixel{0, 0, 255, 255});
    const std::string input = work.picture("pic.png", 32, 32);
    const RunResult run = work.run({"-d", "-i", input, "--wm-image=" + logo, "--wm-image-greyscale",
                                    "--wm-image-opacity=128", "--wm-image-boundary=FRAME",
                                    "--wm-image-position=topleft", "--wm-image-x-offset=4", "--wm-image-y-offset=-4",
                                    "--wm-image-rotation=30", "--wm-image-size=fixed", "--file-timestamp=original"});
    EXPECT_EQ(run.lines, (kBanner + Lines{"Preparing...",
                                         "Input: " + input,
                                         "Output: " + work.path,
                                         "Conversion: dds",
                                         "DDS BPP: 0",
                                         "DDS Compression: auto",
                                         "Flip Horizontal: 0",
                                         "Flip Vertical: 0",
                                         "Greyscale: 0",
                                         "Frame: none",
                                         "Watermark: image",
                                         "Watermark image: " + logo,
                                         "Watermark greyscale: 1",
                                         "Watermark opacity: 128",
                                         "Watermark boundary: frame",
                                         "Watermark position: topleft",
                                         "Watermark offset (x/y): 4/-4",
                                         "Watermark rotation: 30",
                                         "Watermark size/mode: fixed",
                                         "Filename Mask: %filename%.%ext%",
                                         "File Timestamp: original",
                                         "Keep Subfolders: 1",
                                         "Importing...",
                                         "Import complete, new files added: 1",
                                         "Converting...",
                                         "Processing: " + input,
                                         "File Format: PNG",
                                         "[OK] Saving As: " + work.path + "pic.dds",
                                         "Conversion complete",
                                         "Files converted: 1 of 1"}));
    EXPECT_TRUE(readDdsFile(work.path + "pic.dds").ok);
}

// Quiet leaves out the banner and the status lines, never a failure; with
// debug as well the summary and the per-file log still print.
TEST(ConsoleRun, QuietRuns) {
    using Setup = std::function<Lines(WorkFolder&)>;  // returns the arguments
    struct Case { const char* what; Setup setup; std::function<Lines(const WorkFolder&)> expected; } cases[] = {
        {"success", [](WorkFolder& w) { return Lines{"-q", "-i", w.input}; },
         [](const WorkFolder&) { return Lines{}; }},
        {"failed conversion", [](WorkFolder& w) {
             writeJpeg(w.path + "photo.png", 8, 8);
             return Lines{"-i", w.path + "photo.png", "--quiet"};
         }, [](const WorkFolder&) { return Lines{kNotComplete}; }},
        {"nothing imported", [](WorkFolder& w) {
             writeFileBytes(w.path + "list.txt", "pic.png\n");
             return Lines{"-i", w.path + "list.txt", "-q"};
         }, [](const WorkFolder&) { return Lines{kNotComplete, kNoInput}; }},
        {"check failure", [](WorkFolder& w) { return Lines{"-q", "-i", w.path + "missing.png"}; },
         [](const WorkFolder&) { return Lines{"Error: Invalid input file"}; }},
        {"debug and quiet", [](WorkFolder& w) { return Lines{"-q", "-d", "-i", w.input}; },
         [](const WorkFolder& w) {
             return defaultSummary(w.input, w.path) +
                    Lines{"Processing: " + w.input, "File Format: PNG", "[OK] Saving As: " + w.path + "pic.dds"};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorkFolder work;
        const Lines args = c.setup(work);
        const RunResult run = work.run(args);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, consoleText(c.expected(work)));
    }
}

// Each check prints its one line after "Preparing..." and ends the run:
// nothing is converted, nothing in the folder changes.
TEST(ConsoleRunChecks, EachCheckPrintsItsLine) {
    using Arguments = std::function<Lines(WorkFolder&)>;
    struct Case { const char* what; Arguments args; const char* line; } cases[] = {
        {"input without extension", [](WorkFolder& w) {
             std::filesystem::copy_file(w.input, w.path + "picture");
             return Lines{"-i", w.path + "picture"};
         }, "Error: Invalid input file"},
        {"missing input", [](WorkFolder& w) { return Lines{"-i", w.path + "missing.png"}; }, "Error: Invalid input file"},
        {"folder input", [](WorkFolder& w) {
             std::filesystem::create_directory(w.path + "dir.png");
             return Lines{"-i", w.path + "dir.png"};
         }, "Error: Invalid input file"},
        {"folder input without extension", [](WorkFolder& w) { return Lines{"-i", w.path}; }, "Error: Invalid input file"},
        {"empty input", [](WorkFolder& w) {
             writeFileBytes(w.path + "empty.png", "");
             return Lines{"-i", w.path + "empty.png"};
         }, "Error: Invalid input file"},
        {"wildcard", [](WorkFolder& w) { return Lines{"-i", w.path + "*.png"}; }, "Error: Invalid input file"},
        {"parent folder", [](WorkFolder& w) { return Lines{"-i", w.input, "-o", "../out"}; }, "Error: Incorrect output folder"},
        {"parent folder alone", [](WorkFolder& w) { return Lines{"-i", w.input, "--output=.."}; }, "Error: Incorrect output folder"},
        {"missing output folder", [](WorkFolder& w) { return Lines{"-i", w.input, "-o", w.path + "nope"}; },
         "Error: Invalid output folder"},
        {"output folder is a file", [](WorkFolder& w) { return Lines{"-i", w.input, "-o", w.input}; },
         "Error: Invalid output folder"},
        {"relative output folder that exists only in the working folder", [](WorkFolder& w) {
             std::filesystem::create_directory(w.path + "out-" + w.uniqueName());
             return Lines{"-i", w.input, "-o", "out-" + w.uniqueName()};
         }, "Error: Invalid output folder"},
        {"conversion type png", [](WorkFolder& w) { return Lines{"-i", w.input, "-c", "png"}; }, "Error: Invalid conversion type"},
        {"conversion type in capitals", [](WorkFolder& w) { return Lines{"-i", w.input, "--conversion=DDS"}; },
         "Error: Invalid conversion type"},
        {"dds-bpp 24", [](WorkFolder& w) { return Lines{"-i", w.input, "--dds-bpp=24"}; }, "Error: Invalid dds-bpp value"},
        {"width 0", [](WorkFolder& w) { return Lines{"-i", w.input, "--width=0", "--height=10"}; }, "Error: Invalid width value"},
        {"height without width", [](WorkFolder& w) { return Lines{"-i", w.input, "--height=10"}; }, "Error: Invalid width value"},
        {"width without height", [](WorkFolder& w) { return Lines{"-i", w.input, "--width=800"}; }, "Error: Invalid height value"},
        {"brightness 101", [](WorkFolder& w) { return Lines{"-i", w.input, "--brightness=101"}; }, "Error: Invalid brightness value"},
        {"brightness -101", [](WorkFolder& w) { return Lines{"-i", w.input, "--brightness=-101"}; }, "Error: Invalid brightness value"},
        {"contrast 101", [](WorkFolder& w) { return Lines{"-i", w.input, "--contrast=101"}; }, "Error: Invalid contrast value"},
        {"contrast -101", [](WorkFolder& w) { return Lines{"-i", w.input, "--contrast=-101"}; }, "Error: Invalid contrast value"},
        {"gamma 0.005", [](WorkFolder& w) { return Lines{"-i", w.input, "--gamma=0.005"}; }, "Error: Invalid gamma value"},
        {"gamma 10", [](WorkFolder& w) { return Lines{"-i", w.input, "--gamma=10"}; }, "Error: Invalid gamma value"},
        {"gamma 0", [](WorkFolder& w) { return Lines{"-i", w.input, "--gamma=0"}; }, "Error: Invalid gamma value"},
        {"gamma NaN", [](WorkFolder& w) { return Lines{"-i", w.input, "--gamma=NaN"}; }, "Error: Invalid gamma value"},
        {"gamma +Infinity", [](WorkFolder& w) { return Lines{"-i", w.input, "--gamma=+Infinity"}; }, "Error: Invalid gamma value"},
        {"made-up watermark font", [](WorkFolder& w) {
             return Lines{"-i", w.input, "--wm-text=Hi", "--wm-font=Qwzx Nonexistent Face"};
         }, "Error: Invalid watermark font"},
        {"missing watermark image", [](WorkFolder& w) { return Lines{"-i", w.input, "--wm-image=" + w.path + "logo.png"}; },
         "Error: Invalid watermark image"},
        {"empty watermark image", [](WorkFolder& w) {
             writeFileBytes(w.path + "logo.png", "");
             return Lines{"-i", w.input, "--wm-image=" + w.path + "logo.png"};
         }, "Error: Invalid watermark image"},
        {"folder as watermark image", [](WorkFolder& w) { return Lines{"-i", w.input, "--wm-image=" + w.path}; },
         "Error: Invalid watermark image"},
        // Two faults: only the first in check order is reported.
        {"parent folder before gamma", [](WorkFolder& w) { return Lines{"--gamma=50", "-i", w.input, "-o", "../x"}; },
         "Error: Incorrect output folder"},
        {"missing input before conversion type", [](WorkFolder& w) { return Lines{"-c", "bmp", "-i", w.path + "no.png"}; },
         "Error: Invalid input file"},
        {"dds-bpp before width", [](WorkFolder& w) { return Lines{"-i", w.input, "--height=5", "--dds-bpp=16"}; },
         "Error: Invalid dds-bpp value"},
        {"contrast before watermark font", [](WorkFolder& w) {
             return Lines{"-i", w.input, "--wm-text=Hi", "--wm-font=Qwzx Nonexistent Face", "--contrast=500"};
         }, "Error: Invalid contrast value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorkFolder work;
        const Lines args = c.args(work);
        const Lines before = work.files();
        const RunResult run = work.run(args);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, consoleText(kBanner + Lines{"Preparing...", c.line}));
        EXPECT_EQ(work.files(), before);
    }
}

TEST(ConsoleRunChecks, BoundaryValuesPass) {
    const Lines cases[] = {
        {"--dds-bpp=32"},
        {"--dds-bpp=0"},
        {"-c", "dds"},
        {"--gamma=0.01"},
        {"--gamma=9.99"},
        {"--brightness=-100", "--contrast=100"},
        {"--brightness=100", "--contrast=-100"},
        {"--wm-text=Hi", "--wm-font=Arial"},
        {"--wm-text=Hi", "--wm-font=arial"},
        {"--width=4", "--height=4"},
    };
    for (const Lines& options : cases) {
        SCOPED_TRACE(testing::PrintToString(options));
        WorkFolder work;
        const RunResult run = work.run(Lines{"-i", work.input} + options);
        EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
        EXPECT_TRUE(readDdsFile(work.path + "pic.dds").ok);
    }
}

// The failing check's summary line is the last summary line printed.
TEST(ConsoleRunChecks, DebugSummaryStopsAtTheFailingCheck) {
    WorkFolder work;
    const RunResult run = work.run({"-d", "-i", work.input, "--brightness=5", "--contrast=101", "--gamma=50"});
    EXPECT_EQ(run.lines, (kBanner + Lines{"Preparing...", "Input: " + work.input, "Output: " + work.path,
                                         "Conversion: dds", "DDS BPP: 0", "DDS Compression: auto", "Flip Horizontal: 0", "Flip Vertical: 0",
                                         "Brightness: 5", "Contrast: 101", "Error: Invalid contrast value"}));
}

TEST(ConsoleRunImport, ListFilesAndOtherFormatsAreNotImported) {
    struct Case { const char* name; bool jpeg; } cases[] = {
        {"list.txt", false}, {"list.lst", false}, {"LIST.TXT", false}, {"photo.jpg", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkFolder work;
        if (c.jpeg) ASSERT_TRUE(writeJpeg(work.path + c.name, 8, 8));
        else writeFileBytes(work.path + c.name, work.input + "\n");
        const Lines before = work.files();
        const RunResult run = work.run({"-i", work.path + c.name});
        EXPECT_EQ(run.output, consoleText(kBanner + kNothingImportedLines));
        EXPECT_EQ(work.files(), before);
    }
}

TEST(ConsoleRunImport, UpperCaseExtensionIsAccepted) {
    WorkFolder work;
    const std::string input = work.picture("SHOUT.PNG");
    const RunResult run = work.run({"-i", input});
    EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
    EXPECT_TRUE(readDdsFile(work.path + "SHOUT.dds").ok);
}

// The name decides the import; the decoder then refuses the JPEG, the log
// names its real format, and nothing is left in the output folder.
TEST(ConsoleRunImport, JpegNamedPngFailsAndLeavesNothing) {
    WorkFolder work;
    TempFolder out;
    const std::string input = work.path + "photo.png";
    ASSERT_TRUE(writeJpeg(input, 16, 16));
    const RunResult run = work.run({"-d", "-i", input, "-o", out.path});
    ASSERT_GE(run.lines.size(), 8u);
    EXPECT_EQ(Lines(run.lines.end() - 8, run.lines.end()),
              (Lines{"Keep Subfolders: 1", "Importing...", "Import complete, new files added: 1", "Converting...",
                     "Processing: " + input, "File Format: JPEG/JFIF", "[ERROR] Unable to convert the file!",
                     kNotComplete}));
    EXPECT_EQ(listFolder(out.path), Lines{});
    EXPECT_EQ(temporaryFiles(work.path), Lines{});
}
