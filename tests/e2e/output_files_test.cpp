// What a console run leaves on disk, through the real binary: where the
// output goes, how it is named, that nothing is ever lost, its timestamp,
// and how a profile and the pause option take part.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <regex>
#include <sys/stat.h>

#include "console_run_support.h"
#include "local_date_check.h"

namespace {

RgbaPixel topLeftPixel(const DdsImage& dds) {
    if (dds.rgba.size() < 4) return {};
    return {dds.rgba[0], dds.rgba[1], dds.rgba[2], dds.rgba[3]};
}

// DXT1 stores colours in 5-6-5 bits.
bool nearColour(const RgbaPixel& a, const RgbaPixel& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::abs(a[i] - b[i]) > 8) return false;
    return true;
}

void setModificationTime(const std::string& path, long long seconds, long nanoseconds) {
    const timespec times[2]{{0, UTIME_OMIT}, {static_cast<std::time_t>(seconds), nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

}  // namespace

TEST(ConsoleRunOutput, RelativeOutputFoldersAreBelowTheProgramFolder) {
    for (const std::string& prefix : {std::string(), std::string("./")}) {
        for (const std::string& suffix : {std::string(), std::string("/")}) {
            SCOPED_TRACE(prefix + "name" + suffix);
            BinarySubfolder out;
            ASSERT_FALSE(out.name.empty());
            WorkFolder work;
            std::filesystem::create_directory(work.path + out.name);  // the working folder plays no part
            const RunResult run = work.run({"-i", work.input, "-o", prefix + out.name + suffix});
            EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
            EXPECT_EQ(listFolder(out.path), Lines{"pic.dds"});
            EXPECT_EQ(listFolder(work.path + out.name), Lines{});
            EXPECT_TRUE(readDdsFile(out.path + "pic.dds").ok);
        }
    }
}

TEST(ConsoleRunOutput, DebugShowsTheOutputFolderAsGivenAndTheResolvedPath) {
    BinarySubfolder out;
    WorkFolder work;
    const RunResult run = work.run({"-d", "-i", work.input, "-o", out.name});
    ASSERT_GE(run.lines.size(), 7u);
    EXPECT_EQ(run.lines[6], "Output: " + out.name);
    EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), "[OK] Saving As: " + out.path + "pic.dds"), run.lines.end());
}

// A bare input name is found in the working folder, but having no folder
// part it sends the output to the program's folder.
TEST(ConsoleRunOutput, BareInputNameWritesBesideTheProgram) {
    WorkFolder work;
    const std::string base = "e2e-bare-" + work.uniqueName();
    work.picture(base + ".png");
    const std::string output = binaryFolder() + base + ".dds";
    struct Remove {
        std::string path;
        ~Remove() { std::filesystem::remove(path); }
    } cleanup{output};
    const RunResult run = work.run({"-i", base + ".png"});
    EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
    EXPECT_TRUE(readDdsFile(output).ok);
    EXPECT_EQ(work.files(), (Lines{base + ".png", "pic.png"}));
}

TEST(ConsoleRunOutput, NameTemplates) {
    struct Case {
        const char* what;
        Lines options;
        const char* input;
        int width, height;
        const char* output;  // a regular expression
    } cases[] = {
        {"default", {}, "Photo.Final.png", 8, 8, R"(Photo\.Final\.dds)"},
        {"cases of name and extension", {"--filename-mask=%filename[u]%_%ext[t]%.%ext%"}, "my Pic.png", 8, 8,
         R"(MY PIC_Dds\.dds)"},
        {"running and random number", {"--filename-mask=%n%-%rnd%.%ext%"}, "pic.png", 8, 8,
         R"(00001-(?!00000)[0-9]{5}\.dds)"},
        {"size after resizing", {"--width=50", "--width-unit=percent", "--height=50", "--height-unit=percent",
                                 "--filename-mask=%bpp%_%width%x%height%.%ext%"}, "pic.png", 100, 50,
         R"(32_50x25\.dds)"},
        {"quoted text split by the shell", {"--filename-mask=\"Copy", "of", "%FILENAME%.%ext%\""}, "Pic.png", 8, 8,
         R"(copy of Pic\.dds)"},
        {"no extension", {"--filename-mask=%filename%"}, "pic.png", 8, 8, R"(pic)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorkFolder work;
        std::filesystem::remove(work.input);
        const std::string input = work.picture(c.input, c.width, c.height);
        const RunResult run = work.run(Lines{"-i", input} + c.options);
        EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
        Lines files = work.files();
        std::erase(files, c.input);
        ASSERT_EQ(files.size(), 1u) << testing::PrintToString(work.files());
        EXPECT_TRUE(std::regex_match(files[0], std::regex(c.output))) << files[0];
        const DdsImage dds = readDdsFile(work.path + files[0]);
        ASSERT_TRUE(dds.ok) << dds.error;
    }
}

// The final name is made after the transforms: %width% and %height% are
// those of the file written.
TEST(ConsoleRunOutput, SizePlaceholdersDescribeTheWrittenImage) {
    WorkFolder work;
    const std::string input = work.picture("wide.png", 100, 50);
    const RunResult run = work.run({"-i", input, "--width=50", "--width-unit=percent", "--height=50",
                                    "--height-unit=percent", "--filename-mask=%width%x%height%.%ext%"});
    EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
    const DdsImage dds = readDdsFile(work.path + "50x25.dds");
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.width, 50u);
    EXPECT_EQ(dds.header.height, 25u);
    EXPECT_EQ(dds.header.mipMapCount, fullMipCount(50, 25));
}

TEST(ConsoleRunFiles, SameConversionTwiceReplacesTheFirstOutput) {
    WorkFolder work;
    work.picture("pic.png", 8, 8, RgbaPixel{255, 0, 0, 255});
    EXPECT_EQ(work.run({"-i", work.input}).output, consoleText(kBanner + kStatusLines));
    EXPECT_EQ(topLeftPixel(readDdsFile(work.path + "pic.dds")), (RgbaPixel{255, 0, 0, 255}));
    work.picture("pic.png", 8, 8, RgbaPixel{0, 0, 255, 255});
    EXPECT_EQ(work.run({"-i", work.input}).output, consoleText(kBanner + kStatusLines));
    EXPECT_EQ(topLeftPixel(readDdsFile(work.path + "pic.dds")), (RgbaPixel{0, 0, 255, 255}));
    EXPECT_EQ(work.files(), (Lines{"pic.dds", "pic.png"}));
}

TEST(ConsoleRunFiles, ReadOnlyOutputIsReplaced) {
    WorkFolder work;
    writeFileBytes(work.path + "pic.dds", "old");
    ASSERT_EQ(chmod((work.path + "pic.dds").c_str(), 0444), 0);
    EXPECT_EQ(work.run({"-i", work.input}).output, consoleText(kBanner + kStatusLines));
    const DdsImage dds = readDdsFile(work.path + "pic.dds");
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_PRED2(nearColour, topLeftPixel(dds), kOrange);
    EXPECT_EQ(work.files(), (Lines{"pic.dds", "pic.png"}));
}

// A conversion that fails keeps whatever stood at the output path, byte for
// byte, and leaves no temporary file behind.
TEST(ConsoleRunFiles, FailedConversionKeepsTheExistingOutput) {
    using Arguments = std::function<Lines(WorkFolder&)>;
    struct Case { const char* what; Arguments args; RunOptions options; } cases[] = {
        {"a JPEG named png", [](WorkFolder& w) {
             EXPECT_TRUE(writeJpeg(w.input, 8, 8));
             return Lines{"-i", w.input};
         }, {}},
        {"a damaged PNG", [](WorkFolder& w) {
             const std::string png = readFileBytes(w.picture("pic.png", 64, 64));
             writeFileBytes(w.input, png.substr(0, png.size() / 2));
             return Lines{"-i", w.input};
         }, {}},
        {"a mask naming a missing folder", [](WorkFolder& w) {
             return Lines{"-i", w.input, "--filename-mask=nosuch/%filename%.%ext%"};
         }, {}},
        {"a disk too full for the new file", [](WorkFolder& w) {
             w.picture("pic.png", 64, 64);
             return Lines{"-i", w.input};
         }, RunOptions{{}, 300}},
    };
    const std::string previous = "previous output, not a DDS file";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorkFolder work;
        writeFileBytes(work.path + "pic.dds", previous);
        const Lines args = c.args(work);
        const RunResult run = work.run(args, c.options);
        EXPECT_EQ(run.output, consoleText(kBanner + kFailedConversionLines));
        EXPECT_EQ(readFileBytes(work.path + "pic.dds"), previous);
        EXPECT_EQ(work.files(), (Lines{"pic.dds", "pic.png"}));
    }
}

// A name template that yields the input's own name must not put the DDS
// file in place of the picture it was made from, however the folder is
// spelled.
TEST(ConsoleRunFiles, OutputNamedLikeTheInputNeverReplacesIt) {
    using Arguments = std::function<Lines(WorkFolder&)>;
    struct Case { const char* what; Arguments args; } cases[] = {
        {"beside the input", [](WorkFolder& w) { return Lines{"-i", w.input, "--filename-mask=%filename%.png"}; }},
        {"folder given with a dot", [](WorkFolder& w) {
             return Lines{"-i", w.input, "-o", w.path + ".", "--filename-mask=%filename%.PNG"};
         }},
        {"folder reached through a link", [](WorkFolder& w) {
             std::filesystem::create_directory_symlink(w.path, w.path + "link");
             return Lines{"-i", w.input, "-o", w.path + "link", "--filename-mask=%filename%.png"};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorkFolder work;
        const std::string picture = readFileBytes(work.input);
        const Lines args = c.args(work);
        const Lines before = work.files();
        const RunResult run = work.run(args);
        EXPECT_EQ(run.output, consoleText(kBanner + kFailedConversionLines));
        EXPECT_EQ(readFileBytes(work.input), picture);
        EXPECT_EQ(work.files(), before);
    }
}

TEST(ConsoleRunTimestamps, CurrentTimeByDefault) {
    WorkFolder work;
    setModificationTime(work.input, 1000000000, 0);
    const long long before = std::time(nullptr);
    EXPECT_EQ(work.run({"-i", work.input}).output, consoleText(kBanner + kStatusLines));
    const long long after = std::time(nullptr);
    const long long written = modificationTime(work.path + "pic.dds");
    // The file system's clock may trail time() by a tick.
    EXPECT_GE(written, before - 1);
    EXPECT_LE(written, after);
}

// The input's own time, nanoseconds included, whatever the zone: also the
// first of the two 02:30s of the night Berlin's clocks went back
// (2021-10-31 02:30 CEST), which a reading of the local clock cannot tell
// from the second one an hour later.
TEST(ConsoleRunTimestamps, OriginalCopiesTheInputTimeExactly) {
    struct Case { const char* zone; long long seconds; long nanoseconds; } cases[] = {
        {"", 1111111111, 700000000},
        {"EST5EDT,M3.2.0,M11.1.0", 1111111111, 700000000},
        {"Europe/Berlin", 1635640200, 123456789},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1635640200, 0},  // the same rules without the time zone database
        {"Europe/Berlin", 1635643800, 5},                 // the second 02:30 (CET)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.seconds));
        WorkFolder work;
        setModificationTime(work.input, c.seconds, c.nanoseconds);
        RunOptions options;
        if (*c.zone) options.environment = {{"TZ", c.zone}};
        EXPECT_EQ(work.run({"-i", work.input, "--file-timestamp=original"}, options).output,
                  consoleText(kBanner + kStatusLines));
        struct stat output {};
        ASSERT_EQ(stat((work.path + "pic.dds").c_str(), &output), 0);
        EXPECT_EQ(output.st_mtim.tv_sec, c.seconds);
        EXPECT_EQ(output.st_mtim.tv_nsec, c.nanoseconds);
        EXPECT_EQ(modificationTime(work.input), c.seconds);  // the input is left alone
    }
}

// The custom value is a local date: the same clock reading lands on
// different instants in different zones.
TEST(ConsoleRunTimestamps, CustomIsALocalDate) {
    const long long value = 1234567890;
    struct Case { const char* zone; long long expected; } cases[] = {
        {"", instantOfLocalDate(value)},   // the zone the tests run in
        {"XYZ-3", value - 3 * 3600},     // three hours east of UTC
        {"XYZ+5", value + 5 * 3600},     // five hours west of UTC
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        WorkFolder work;
        RunOptions options;
        if (*c.zone) options.environment = {{"TZ", c.zone}};
        const RunResult run = work.run(
            {"-i", work.input, "--file-timestamp=CUSTOM", "--file-timestamp-custom=" + std::to_string(value)}, options);
        EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
        EXPECT_EQ(modificationTime(work.path + "pic.dds"), c.expected);
    }
}

// Without a value of its own the custom time is the moment the run started.
TEST(ConsoleRunTimestamps, CustomWithoutAValueIsTheStartOfTheRun) {
    WorkFolder work;
    setModificationTime(work.input, 1000000000, 0);
    const long long before = std::time(nullptr);
    // Away from UTC, so a clock reading taken in the wrong zone shows.
    const RunResult run = work.run({"-i", work.input, "--file-timestamp=custom"}, RunOptions{{{"TZ", "XYZ-3"}}, -1});
    const long long after = std::time(nullptr);
    EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
    const long long written = modificationTime(work.path + "pic.dds");
    EXPECT_GE(written, before - 1);
    EXPECT_LE(written, after);
}

// A profile takes effect where it stands among the parameters.
TEST(ConsoleRunProfile, AppliedAtItsPlace) {
    struct Case { const char* what; Lines options; unsigned width, height; } cases[] = {
        {"profile overrides what came before", {"--width=10", "--PROFILE=%s"}, 20, 24},
        {"what comes after overrides the profile", {"--profile=%s", "--width=10"}, 10, 24},
        {"profile alone", {"--profile=%s"}, 20, 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorkFolder work;
        const std::string input = work.picture("pic.png", 40, 40);
        const std::string profile = work.path + "size profile.ini";
        writeFileBytes(profile, "; sizes\r\n[CLI]\r\n--WIDTH = 20\r\n--height = 24\r\n[Other]\r\n--WIDTH = 30\r\n");
        Lines args{"-i", input};
        for (const std::string& option : c.options)
            args.push_back(option.ends_with("%s") ? option.substr(0, option.size() - 2) + profile : option);
        const RunResult run = work.run(args);
        EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
        const DdsImage dds = readDdsFile(work.path + "pic.dds");
        ASSERT_TRUE(dds.ok) << dds.error;
        EXPECT_EQ(dds.header.width, c.width);
        EXPECT_EQ(dds.header.height, c.height);
    }
}

// Without a terminal there is no key to wait for: the prompt is printed and
// the run ends (runTovrel kills a run that hangs and reports -1).
TEST(ConsoleRunPause, PauseWithoutATerminalEndsTheRun) {
    for (const Lines& options : {Lines{"-p"}, Lines{"--pause", "-q"}}) {
        SCOPED_TRACE(testing::PrintToString(options));
        WorkFolder work;
        const RunResult run = work.run(Lines{"-i", work.input} + options);
        EXPECT_EQ(run.exitCode, 0);
        const Lines shown = options.size() == 1 ? kBanner + kStatusLines : Lines{};
        EXPECT_EQ(run.output, consoleText(shown + Lines{"Press any key to exit."}));
        EXPECT_TRUE(readDdsFile(work.path + "pic.dds").ok);
    }
}
