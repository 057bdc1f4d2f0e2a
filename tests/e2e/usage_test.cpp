#include <gtest/gtest.h>

#include "test_support.h"

namespace {

const std::vector<std::string> kUsage = {
    " ",
    "Usage: tovrel -i <filename> [options]",
    " ",
    "  tovrel -i example.png",
    "  tovrel -i c:\\tmp\\example.png",
    "  tovrel -i c:\\tmp\\example.png -o d:\\converted",
    "  tovrel -i c:\\tmp\\example.png -o d:\\converted --jpg-quality=95",
    " ",
    "Options:",
    " ",
    "  -h, -?, --help            Display this help and exit",
    "  -i FILE, --input=FILE     Set input file",
    "  -o PATH, --output=PATH    Set output folder",
    "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)",
    " ",
    "Advanced options:",
    " ",
    "  --width=NUM               Set output image width",
    "  --height=NUM              Set output image height",
    "  --filename-mask=STR       Define output filename format",
    "  --flip-horizontal         Flip output image horizontally",
    "  --flip-vertical           Flip output image vertically",
    "  --brightness=NUM          Set output image brightness, NUM = -100..100",
    "  --contrast=NUM            Set output image contrast, NUM = -100..100",
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
    "  --invert                  Invert output image",
    "  --greyscale               Greyscale output image",
    "  --dds-compression=STR     Set DDS compression: auto, dxt1, dxt5, bc7, none",
    "  --profile=FILE            Set configuration file with required settings",
    "    ...                     Refer documentation for all available options",
    " ",
    "Other options:",
    " ",
    "  -q, --quiet               Don't print status messages to stdout",
    "  -d, --debug               Print debug information to stdout",
    "  -p, --pause               Pause at exit",
    "  -v, --version             Display version information and exit",
};

std::string joinedWithCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

}  // namespace

TEST(UsageOutput, VersionPrintsOnlyTheVersionText) {
    for (const char* parameter : {"-v", "-V", "--version", "--VERSION=anything"}) {
        TempFolder work;
        RunResult run = runTovrel({parameter, "--width=1"}, work.path);
        EXPECT_EQ(run.exitCode, 0) << parameter;
        EXPECT_EQ(run.output, "2.8\r\n") << parameter;
    }
}

TEST(UsageOutput, HelpPrintsTheThirtySevenUsageLines) {
    ASSERT_EQ(kUsage.size(), 37u);
    for (const char* parameter : {"-h", "-H", "-?", "--help", "--Help"}) {
        TempFolder work;
        RunResult run = runTovrel({parameter}, work.path);
        EXPECT_EQ(run.exitCode, 0) << parameter;
        EXPECT_EQ(run.output, joinedWithCrLf(kUsage)) << parameter;
    }
}

TEST(UsageOutput, ErrorLinesAreOneLineEvenWhenQuiet) {
    struct Case { std::vector<std::string> args; const char* line; } cases[] = {
        {{"-i"}, "Error: Incorrect number of parameters"},
        {{"-q", "-i", "-o", "out"}, "Error: Incorrect number of parameters"},
        {{"--input", "photo.png"}, "Error: Incorrect number of parameters"},
        {{"-i", "-p"}, "Error: Incorrect number of parameters"},
        {{"--width", "-i", "photo.png"}, "Error: Incorrect number of parameters"},
        {{"--profile=missing.ini", "-i", "photo.png"}, "Error: Invalid profile file"},
        {{"-p", "--profile=missing.ini"}, "Error: Invalid profile file"},  // pause waits without a prompt
    };
    for (const auto& c : cases) {
        TempFolder work;
        RunResult run = runTovrel(c.args, work.path);
        EXPECT_EQ(run.exitCode, 0) << c.line;
        EXPECT_EQ(run.output, std::string(c.line) + "\r\n") << testing::PrintToString(c.args);
    }
}

TEST(UsageOutput, RunStartsWithTheBanner) {
    TempFolder work;
    RunResult run = runTovrel({"-i", "photo.png"}, work.path);
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_GE(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[0], "Korvane PNG to DDS 2.8");
    EXPECT_EQ(run.lines[1], "(c) Korvane Software");
    EXPECT_EQ(run.lines[2], "https://www.korvane.example/");
    EXPECT_EQ(run.lines[3], " ");
}

TEST(UsageOutput, QuietRunHasNoBanner) {
    TempFolder work;
    RunResult run = runTovrel({"-i", "photo.png", "-q"}, work.path);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output.find("Korvane PNG to DDS"), std::string::npos);
    EXPECT_EQ(run.output.find("Korvane Software"), std::string::npos);
}

TEST(UsageOutput, PauseEndsWithThePromptAndDoesNotHangWithoutATerminal) {
    TempFolder work;
    RunResult run = runTovrel({"-i", "photo.png", "-p", "-x"}, work.path);
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.back(), "Press any key to exit.");
    EXPECT_EQ(run.output.substr(run.output.size() - 2), "\r\n");
}
