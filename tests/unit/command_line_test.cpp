#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "cli/command_line.h"
#include "settings/keywords.h"
#include "settings/options.h"
#include "settings/text.h"
#include "test_support.h"

namespace {

struct Parsed {
    ConversionSettings settings;
    BatchJob job;
    ParsedParameters parsed;
};

Parsed parse(const std::vector<std::string>& parameters) {
    Parsed run;
    InterfaceSettings interface;
    ResetToDefaults(run.settings, interface, true);
    run.parsed = applyParameters(parameters, run.settings, run.job);
    return run;
}

constexpr const char* kCountError = "Incorrect number of parameters";

}  // namespace

TEST(CommandLineParts, NameAndValueOfAParameter) {
    struct Case { const char* parameter; const char* name; const char* value; } cases[] = {
        {"--width=800", "--WIDTH", "800"},
        {"--Wm-Text=a=b", "--WM-TEXT", "a=b"},
        {"--invert", "--INVERT", "--invert"},
        {"--width=", "--WIDTH", ""},
        {"-i", "-I", "-i"},
        {"-q=1", "-Q=1", "-q=1"},
        {"photo.png", "", "photo.png"},
        {"a=b", "", "a=b"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(namePart(c.parameter), c.name) << c.parameter;
        EXPECT_EQ(valuePart(c.parameter), c.value) << c.parameter;
    }
}

TEST(CommandLineParts, VersionTextAndTitle) {
    EXPECT_EQ(versionText(280), "2.8");
    EXPECT_EQ(versionText(281), "2.8.1");
    EXPECT_EQ(versionText(300), "3.0");
    EXPECT_EQ(versionText(1234), "1.2.34");
    EXPECT_EQ(titleWithVersion(), "Korvane PNG to DDS 2.8");
}

TEST(CommandLineParts, FirstParameterCommands) {
    using P = std::vector<std::string>;
    struct Case { P parameters; FirstCommand expected; } cases[] = {
        {{"-v"}, FirstCommand::Version}, {{"--Version=x"}, FirstCommand::Version},
        {{"-h"}, FirstCommand::Help}, {{"-?"}, FirstCommand::Help}, {{"--HELP"}, FirstCommand::Help},
        {{"-u"}, FirstCommand::Uninstall}, {{"-T", "/tmp"}, FirstCommand::Screenshot},
        {{"-i", "--help"}, FirstCommand::None}, {{"-version"}, FirstCommand::None}, {{"help"}, FirstCommand::None},
        {{}, FirstCommand::None},
    };
    for (const auto& c : cases) EXPECT_EQ(firstParameterCommand(c.parameters), c.expected) << testing::PrintToString(c.parameters);
}

TEST(CommandLineParse, SettingOptionsByValueRule) {
    struct Case {
        std::vector<std::string> parameters;
        std::function<void(const ConversionSettings&)> check;
    } cases[] = {
        {{"--resize-algorithm=lanczos"}, [](auto& s) { EXPECT_EQ(s.ImageResizeAlgorithm, 5); }},
        {{"--RESIZE-ALGORITHM=Lanczos"}, [](auto& s) { EXPECT_EQ(s.ImageResizeAlgorithm, 5); }},
        {{"--resize-algorithm=best"}, [](auto& s) { EXPECT_EQ(s.ImageResizeAlgorithm, 0); }},
        {{"--resize-algorithm= bilinear "}, [](auto& s) { EXPECT_EQ(s.ImageResizeAlgorithm, 1); }},
        {{"--raw-load-as=48hs"}, [](auto& s) { EXPECT_EQ(s.RAWLoadAs, 4); }},
        {{"--png-compression=rle"}, [](auto& s) { EXPECT_EQ(s.PNGCompression, 1); }},
        {{"--wm-font-effect=strikethrough"}, [](auto& s) { EXPECT_EQ(s.FontEffect, 0); }},
        {{"--file-timestamp=custom", "--file-timestamp-custom=86400"},
         [](auto& s) { EXPECT_EQ(s.FileTimestamp, 2); EXPECT_EQ(s.CustomTimestamp, 86400); }},
        {{"--width=800"}, [](auto& s) {
             EXPECT_EQ(s.ImageWidth, 800);
             EXPECT_EQ(s.DoImageResize, 1);
             EXPECT_EQ(s.ImageHeight, 0);
         }},
        {{"--brightness=$1F"}, [](auto& s) { EXPECT_EQ(s.ImageBrightness, 31); EXPECT_EQ(s.DoImageColorCorrection, 1); }},
        {{"--contrast=%101"}, [](auto& s) { EXPECT_EQ(s.ImageContrast, 5); }},
        {{"--width=12px"}, [](auto& s) { EXPECT_EQ(s.ImageWidth, 12); }},
        {{"--jpg-quality=abc"}, [](auto& s) { EXPECT_EQ(s.JPGQuality, 0); }},
        {{"--rotation=-45"}, [](auto& s) { EXPECT_EQ(s.TransformImageRotation, -45); EXPECT_EQ(s.DoImageRotation, 1); }},
        {{"--threshold=300"}, [](auto& s) { EXPECT_EQ(s.ImageThreshold, 300); EXPECT_EQ(s.DoImageThreshold, 1); }},
        {{"--dither=bayer8"}, [](auto& s) { EXPECT_EQ(s.ImageDitherAlgorithm, 2); EXPECT_EQ(s.DoImageDither, 1); }},
        {{"--dds-bpp=32"}, [](auto& s) { EXPECT_EQ(s.DDSBPP, 32); }},
        {{"--dds-compression=bc7"}, [](auto& s) { EXPECT_EQ(s.DDSCompression, 3); EXPECT_EQ(s.DDSBPP, 0); }},
        {{"--DDS-COMPRESSION=Dxt5"}, [](auto& s) { EXPECT_EQ(s.DDSCompression, 2); }},
        {{"--dds-compression= none "}, [](auto& s) { EXPECT_EQ(s.DDSCompression, 4); }},
        {{"--dds-compression=dxt1", "--dds-compression=dxt3"}, [](auto& s) { EXPECT_EQ(s.DDSCompression, 0); }},
        {{"--dds-compression=3"}, [](auto& s) { EXPECT_EQ(s.DDSCompression, 0); }},  // keywords only, no numbers
        {{"--dds-compression=rle"}, [](auto& s) { EXPECT_EQ(s.DDSCompression, 0); }},  // another format's keyword
        {{"--xpm-bpp=24", "--jxr-bpp=48"}, [](auto& s) { EXPECT_EQ(s.XPMBPP, 24); EXPECT_EQ(s.JXRBPP, 48); }},
        {{"--gamma=2.2"}, [](auto& s) { EXPECT_FLOAT_EQ(s.ImageGamma, 2.2f); EXPECT_EQ(s.DoImageColorCorrection, 1); }},
        {{"--gamma=+Infinity"}, [](auto& s) { EXPECT_TRUE(std::isinf(s.ImageGamma)); }},
        {{"--gamma=1e300"}, [](auto& s) { EXPECT_TRUE(std::isinf(s.ImageGamma)); }},
        {{"--gamma=NaN"}, [](auto& s) { EXPECT_TRUE(std::isnan(s.ImageGamma)); }},
        {{"--invert"}, [](auto& s) { EXPECT_EQ(s.ImageInvert, 1); EXPECT_EQ(s.DoImageColorCorrection, 1); }},
        {{"--keep-aspect-ratio=0"}, [](auto& s) { EXPECT_EQ(s.KeepAspectRatio, 1); }},
        {{"--no-subfolders"}, [](auto& s) { EXPECT_EQ(s.KeepSubfolders, 0); }},
        {{"--greyscale", "--flip-vertical", "--png-interlaced", "--wm-image-greyscale", "--wm-text-antialiasing"},
         [](auto& s) {
             EXPECT_EQ(s.DoImageGreyscale, 1);
             EXPECT_EQ(s.DoImageFlipVertical, 1);
             EXPECT_EQ(s.DoImageFlipHorizontal, 0);
             EXPECT_EQ(s.PNGInterlaced, 1);
             EXPECT_EQ(s.ImageGreyscale, 1);
             EXPECT_EQ(s.TextAntialiasing, 1);
         }},
        {{"--fr-solid-bottom=4", "--fr-solid-opacity=128"},
         [](auto& s) { EXPECT_EQ(s.SolidBottom, 4); EXPECT_EQ(s.DoFrame, 1); EXPECT_EQ(s.SolidOpacity, 128); }},
        {{"--wm-solid-opacity=128"}, [](auto& s) { EXPECT_EQ(s.SolidOpacity, 255); }},  // the profile's name only
        {{"--wm-text=\"Hello", "World\""}, [](auto& s) { EXPECT_EQ(s.Text, "Hello World"); EXPECT_EQ(s.DoWatermark, 1); }},
        {{"--wm-text=\"a", "b", "c\"", "--width=3"}, [](auto& s) { EXPECT_EQ(s.Text, "a b c"); EXPECT_EQ(s.ImageWidth, 3); }},
        {{"--wm-text=\"open", "never"}, [](auto& s) { EXPECT_EQ(s.Text, "open never"); }},
        {{"--wm-text=\"", "Hi\""}, [](auto& s) { EXPECT_EQ(s.Text, " Hi"); }},
        {{"--wm-text=\"quoted\"", "--wm-font=\"Times\""}, [](auto& s) { EXPECT_EQ(s.Text, "quoted"); EXPECT_EQ(s.Font, "Times"); }},
        {{"--wm-text=-dash"}, [](auto& s) { EXPECT_EQ(s.Text, "-dash"); }},
        {{"--wm-image=logo.png", "--wm-text=x"},
         [](auto& s) { EXPECT_EQ(s.DoWatermark, 1); EXPECT_EQ(s.Image, "logo.png"); }},
        {{"--wm-text=x", "--wm-image=logo.png"}, [](auto& s) { EXPECT_EQ(s.DoWatermark, 2); }},
        {{"--rotation-back-color=zz"}, [](auto& s) { EXPECT_EQ(s.ImageRotationBackColor, "zz"); }},
        {{"--filename-mask=%filename%_small.%ext%"}, [](auto& s) { EXPECT_EQ(s.FilenameMask, "%filename%_small.%ext%"); }},
        {{"--width=5", "--width=7"}, [](auto& s) { EXPECT_EQ(s.ImageWidth, 7); }},
        {{"--bogus=1", "plain", "-x", "--width=4"}, [](auto& s) { EXPECT_EQ(s.ImageWidth, 4); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.parameters));
        Parsed run = parse(c.parameters);
        EXPECT_EQ(run.parsed.error, "");
        c.check(run.settings);
    }
}

TEST(CommandLineParse, RunOptionsAndTheirErrors) {
    struct Case {
        std::vector<std::string> parameters;
        const char* error;
        bool cliMode, quiet, pause;
        const char* input;
        const char* output;
        const char* conversion;
        RunMode runMode;
    } cases[] = {
        {{"-i", "photo.png"}, "", true, false, false, "photo.png", "", "", RunMode::Normal},
        {{"--INPUT=photo.png", "--output=out", "--conversion=dds"}, "", true, false, false, "photo.png", "out", "dds", RunMode::Normal},
        {{"-I", "\"my", "photo.png\"", "-o", "\"a", "b\""}, "", true, false, false, "my photo.png", "a b", "", RunMode::Normal},
        {{"-c", "\"dds\""}, "", false, false, false, "", "", "dds", RunMode::Normal},
        {{"-c", "\"my", "ext\""}, "", false, false, false, "", "", "my", RunMode::Normal},  // -C does not join
        {{"-i", "photo.png", "-p", "-x"}, "", true, false, true, "photo.png", "", "", RunMode::Normal},
        {{"-d", "--help", "-q"}, "", false, true, false, "", "", "", RunMode::Debug},
        {{"--debug=0", "--quiet", "--pause"}, "", false, true, true, "", "", "", RunMode::Debug},
        {{"-q=1", "-pause"}, "", false, false, false, "", "", "", RunMode::Normal},
        {{"-i"}, kCountError, false, false, false, "", "", "", RunMode::Normal},
        {{"-i", "-o", "out"}, kCountError, false, false, false, "", "", "", RunMode::Normal},
        {{"--input", "photo.png"}, kCountError, false, false, false, "", "", "", RunMode::Normal},
        {{"--input="}, kCountError, false, false, false, "", "", "", RunMode::Normal},
        {{"-o", ""}, kCountError, false, false, false, "", "", "", RunMode::Normal},
        {{"-i", "-p"}, kCountError, false, false, false, "", "", "", RunMode::Normal},  // stops before -P is seen
        {{"-q", "--width"}, kCountError, false, true, false, "", "", "", RunMode::Normal},
        {{"--width="}, kCountError, false, false, false, "", "", "", RunMode::Normal},
        {{"--width=--5"}, kCountError, false, false, false, "", "", "", RunMode::Normal},
        {{"--profile"}, kCountError, false, false, false, "", "", "", RunMode::Normal},
        {{"--profile="}, kCountError, false, false, false, "", "", "", RunMode::Normal},
        {{"--profile=/nonexistent/p.ini", "-p"}, "Invalid profile file", false, false, false, "", "", "", RunMode::Normal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.parameters));
        Parsed run = parse(c.parameters);
        EXPECT_EQ(run.parsed.error, c.error);
        EXPECT_EQ(run.job.cliMode, c.cliMode);
        EXPECT_EQ(run.parsed.quiet, c.quiet);
        EXPECT_EQ(run.parsed.pause, c.pause);
        EXPECT_EQ(run.job.inputArgument, c.input);
        EXPECT_EQ(run.job.outputFolder, c.output);
        EXPECT_EQ(run.job.outputExtension, c.conversion);
        EXPECT_EQ(run.job.runMode, c.runMode);
    }
}

TEST(CommandLineParse, ErrorStopsTheLoop) {
    Parsed run = parse({"--height=5", "--width", "--rotation=90", "-i", "a.png"});
    EXPECT_EQ(run.parsed.error, kCountError);
    EXPECT_EQ(run.settings.ImageHeight, 5);
    EXPECT_EQ(run.settings.DoImageRotation, 0);
    EXPECT_FALSE(run.job.cliMode);
}

TEST(CommandLineParse, ProfileAppliesAtItsPlace) {
    TempFolder folder;
    std::string profile = folder.path + "my profile.ini";
    writeFileBytes(profile, "[CLI]\n--WIDTH = 800\n--WM-TEXT = \"From profile\"\n");
    Parsed before = parse({"--width=100", "--profile=" + profile});
    EXPECT_EQ(before.settings.ImageWidth, 800);
    EXPECT_EQ(before.settings.Text, "\"From profile\"");
    Parsed after = parse({"--profile=" + profile, "--width=100", "--wm-text=cli"});
    EXPECT_EQ(after.settings.ImageWidth, 100);
    EXPECT_EQ(after.settings.Text, "cli");
    // A path with a blank, handed over in two pieces, is joined again.
    Parsed split = parse({"--profile=\"" + folder.path + "my", "profile.ini\""});
    EXPECT_EQ(split.parsed.error, "");
    EXPECT_EQ(split.settings.ImageWidth, 800);
    Parsed failed = parse({"--width=1", "--profile=" + folder.path, "--width=2"});
    EXPECT_EQ(failed.parsed.error, "Invalid profile file");
    EXPECT_EQ(failed.settings.ImageWidth, 1);
}

TEST(OptionTable, EveryRowIsWellFormedAndUnique) {
    std::set<std::pair<std::string, unsigned>> seen;
    for (const SettingOption& option : settingOptions()) {
        std::string name = option.name;
        EXPECT_EQ(name.substr(0, 2), "--") << name;
        EXPECT_EQ(toUpperText(name), name);
        for (unsigned place : {kOnCommandLine, kInProfile})
            if (option.places & place) {
                EXPECT_TRUE(seen.insert({name, place}).second) << "duplicate " << name;
            }
        if (option.rule == ValueRule::Keyword) {
            EXPECT_GE(option.keywordTable, 0) << name;
            EXPECT_FALSE(keywordList(option.keywordTable).empty()) << name;  // a table that exists
        }
        if (option.rule == ValueRule::Text) {
            EXPECT_TRUE(std::holds_alternative<std::string ConversionSettings::*>(option.field)) << name;
        }
        if (option.rule == ValueRule::Decimal) {
            EXPECT_TRUE(std::holds_alternative<float32 ConversionSettings::*>(option.field)) << name;
        }
    }
    EXPECT_EQ(findSettingOption("--FR-SOLID-OPACITY", kInProfile), nullptr);
    EXPECT_EQ(findSettingOption("--WM-SOLID-OPACITY", kOnCommandLine), nullptr);
    EXPECT_EQ(findSettingOption("--INPUT", kOnCommandLine), nullptr);
    // Every BPP option of the output-format family exists.
    for (const char* format : {"BMP", "DDS", "EXR", "GIF", "HDR", "ICO", "J2K", "JNG", "JP2", "JPG", "JXR", "PBM",
                               "PCX", "PFM", "PGM", "PNG", "PPM", "PSD", "TGA", "TIFF", "WBMP", "WEBP", "XPM"})
        EXPECT_NE(findSettingOption(std::string("--") + format + "-BPP", kEverywhere), nullptr) << format;
}

TEST(CommandLineFrontEnd, ReturnsForTheWindowModeWithoutConsoleWork) {
    ConversionSettings settings;
    InterfaceSettings interface;
    BatchJob job;
    settings.ImageWidth = 5;
    interface.Language = "de";
    std::vector<std::string> none{"tovrel"};
    std::vector<char*> argv{none[0].data()};
    // No parameters: nothing is reset, the window mode loads its own settings.
    EXPECT_EQ(ParseCommandLine(1, argv.data(), settings, interface, job), 0);
    EXPECT_EQ(settings.ImageWidth, 5);
    EXPECT_EQ(interface.Language, "de");

    std::vector<std::string> args{"tovrel", "-o", "out", "--height=80", "-d", "plain"};
    argv.clear();
    for (std::string& a : args) argv.push_back(a.data());
    EXPECT_EQ(ParseCommandLine(static_cast<int>(argv.size()), argv.data(), settings, interface, job), 0);
    EXPECT_EQ(settings.ImageWidth, 0);  // reset to the command-line defaults first
    EXPECT_EQ(settings.ImageHeight, 80);
    EXPECT_EQ(settings.KeepAspectRatio, 0);
    EXPECT_EQ(interface.Language, "en");
    EXPECT_FALSE(job.cliMode);
    EXPECT_EQ(job.outputFolder, "out");
    EXPECT_EQ(job.runMode, RunMode::Debug);
}
