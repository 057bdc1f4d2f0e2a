#include <gtest/gtest.h>

#include <functional>

#include "settings/config_file.h"
#include "settings/profile.h"
#include "test_support.h"

namespace {
ConversionSettings commandLineDefaults() {
    ConversionSettings conversion;
    InterfaceSettings interface;
    ResetToDefaults(conversion, interface, true);
    return conversion;
}
}  // namespace

TEST(Profile, AppliesTheCliGroupByOptionRules) {
    struct Case {
        const char* name;
        std::string file;
        std::function<void(const ConversionSettings&)> check;
    } cases[] = {
        {"keyword and number with their switch", "[CLI]\r\n--RESIZE-ALGORITHM = LANCZOS\r\n--WIDTH = 800\r\n",
         [](const ConversionSettings& s) {
             EXPECT_EQ(s.ImageResizeAlgorithm, 5);
             EXPECT_EQ(s.ImageWidth, 800);
             EXPECT_EQ(s.DoImageResize, 1);
             EXPECT_EQ(s.ImageHeight, 0);
         }},
        {"keys in any case, numbers with base prefixes", "[cli]\n--brightness = $1F\n--contrast = %101\n",
         [](const ConversionSettings& s) {
             EXPECT_EQ(s.ImageBrightness, 31);
             EXPECT_EQ(s.ImageContrast, 5);
             EXPECT_EQ(s.DoImageColorCorrection, 1);
         }},
        {"double quotes are kept", "[CLI]\n--WM-TEXT = \"Hello\"\n",
         [](const ConversionSettings& s) {
             EXPECT_EQ(s.Text, "\"Hello\"");
             EXPECT_EQ(s.DoWatermark, 1);
         }},
        {"a flag is applied whatever its value", "[CLI]\n--KEEP-ASPECT-RATIO = 0\n--NO-SUBFOLDERS = 1\n--INVERT\n",
         [](const ConversionSettings& s) {
             EXPECT_EQ(s.KeepAspectRatio, 1);
             EXPECT_EQ(s.KeepSubfolders, 0);
             EXPECT_EQ(s.ImageInvert, 1);
             EXPECT_EQ(s.DoImageColorCorrection, 1);
         }},
        {"frame opacity has its profile name", "[CLI]\n--FR-SOLID-OPACITY = 128\n",
         [](const ConversionSettings& s) { EXPECT_EQ(s.SolidOpacity, 255); }},
        {"frame opacity by its profile name", "[CLI]\n--WM-SOLID-OPACITY = 128\n",
         [](const ConversionSettings& s) { EXPECT_EQ(s.SolidOpacity, 128); }},
        {"duplicates apply in order, the last wins", "[CLI]\n--WIDTH = 10\n--WIDTH = 20\n",
         [](const ConversionSettings& s) { EXPECT_EQ(s.ImageWidth, 20); }},
        {"no count check: an empty value reads as 0", "[CLI]\n--WIDTH =\n--WM-FONT =\n",
         [](const ConversionSettings& s) {
             EXPECT_EQ(s.ImageWidth, 0);
             EXPECT_EQ(s.DoImageResize, 1);
             EXPECT_EQ(s.Font, "");
         }},
        {"only the group CLI is read", "[Other]\n--WIDTH = 5\n[CLI]\n--HEIGHT = 6\n[Next]\n--GAMMA = 2\n",
         [](const ConversionSettings& s) {
             EXPECT_EQ(s.ImageWidth, 0);
             EXPECT_EQ(s.ImageHeight, 6);
             EXPECT_FLOAT_EQ(s.ImageGamma, 1.0f);
         }},
        {"run options and unknown keys are skipped",
         "[CLI]\n--INPUT = a.png\n-I = a.png\n--PROFILE = other.ini\n--QUIET\n--BOGUS = 1\nWIDTH = 3\n",
         [](const ConversionSettings& s) {
             ConversionSettings untouched = commandLineDefaults();
             untouched.CustomTimestamp = s.CustomTimestamp;
             EXPECT_EQ(configurationText(s, InterfaceSettings{}), configurationText(untouched, InterfaceSettings{}));
             EXPECT_EQ(s.ImageWidth, 0);
         }},
        {"keyword values are trimmed and unknown ones give 0", "[CLI]\n--WM-TEXT-POSITION = middlecenter\n--DITHER = best\n",
         [](const ConversionSettings& s) {
             EXPECT_EQ(s.TextPosition, 4);
             EXPECT_EQ(s.ImageDitherAlgorithm, 0);
             EXPECT_EQ(s.DoImageDither, 1);
         }},
        {"the DDS compression by its keyword", "[CLI]\n--dds-compression =  Dxt5 \n--DDS-BPP = 32\n",
         [](const ConversionSettings& s) {
             EXPECT_EQ(s.DDSCompression, 2);
             EXPECT_EQ(s.DDSBPP, 32);
         }},
        {"a DDS compression of no keyword gives auto", "[CLI]\n--DDS-COMPRESSION = BC7\n--DDS-COMPRESSION = BC9\n",
         [](const ConversionSettings& s) { EXPECT_EQ(s.DDSCompression, 0); }},
        {"ISO-8859-1 text", "[CLI]\n--WM-TEXT = Caf\xE9\n",
         [](const ConversionSettings& s) { EXPECT_EQ(s.Text, "Caf\xC3\xA9"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        writeFileBytes(folder.path + "p.ini", c.file);
        ConversionSettings settings = commandLineDefaults();
        ASSERT_TRUE(LoadProfile(folder.path + "p.ini", settings));
        c.check(settings);
    }
}

TEST(Profile, FileWithoutCliGroupSucceedsAndChangesNothing) {
    TempFolder folder;
    ConversionSettings saved = commandLineDefaults();
    saved.ImageWidth = 77;
    InterfaceSettings interface;
    ASSERT_TRUE(SaveConfiguration(folder.path + "config.ini", saved, interface));
    ConversionSettings settings = commandLineDefaults();
    std::string before = configurationText(settings, interface);
    EXPECT_TRUE(LoadProfile(folder.path + "config.ini", settings));
    EXPECT_EQ(configurationText(settings, interface), before);
    writeFileBytes(folder.path + "empty.ini", "");
    EXPECT_TRUE(LoadProfile(folder.path + "empty.ini", settings));
}

TEST(Profile, FailsWithoutAReadableFile) {
    TempFolder folder;
    ConversionSettings settings = commandLineDefaults();
    EXPECT_FALSE(LoadProfile("", settings));
    EXPECT_FALSE(LoadProfile(folder.path + "missing.ini", settings));
    EXPECT_FALSE(LoadProfile(folder.path, settings));
    EXPECT_FALSE(LoadProfile(folder.path.substr(0, folder.path.size() - 1), settings));
}

TEST(Profile, NamingItselfDoesNotRecurse) {
    TempFolder folder;
    std::string path = folder.path + "self.ini";
    writeFileBytes(path, "[CLI]\n--PROFILE = " + path + "\n--WIDTH = 9\n");
    ConversionSettings settings = commandLineDefaults();
    EXPECT_TRUE(LoadProfile(path, settings));
    EXPECT_EQ(settings.ImageWidth, 9);
}
