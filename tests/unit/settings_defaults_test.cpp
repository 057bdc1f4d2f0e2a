#include <gtest/gtest.h>

#include <ctime>

#include "local_date_check.h"
#include "settings/product.h"
#include "settings/config_file.h"
#include "settings/defaults.h"
#include "settings/settings.h"

namespace {

struct Records {
    ConversionSettings conversion;
    InterfaceSettings interface;
};

// Records filled with values that differ from every default, so a field the
// routine forgets shows up.
Records scrambled() {
    Records r;
    r.interface.CFG = 3;
    r.interface.Language = "de";
    r.interface.UpdateRange = 5;
    r.interface.SaveWindowPosition = 0;
    r.interface.IsMaximized = 1;
    r.interface.Width = 1;
    r.interface.UITheme = "x";
    r.interface.OutFoldersNumber = 50;
    r.interface.RecentOutFolders = "/a/";
    r.interface.CleanRecentFiles = 1;
    r.conversion.InputFormat = "x";
    r.conversion.RAWToneMapping = 0;
    r.conversion.DDSBPP = 32;
    r.conversion.DDSCompression = 3;
    r.conversion.JPGQuality = 1;
    r.conversion.ImageResizeAlgorithm = 0;
    r.conversion.ImageGamma = 3.0f;
    r.conversion.SolidOpacity = 1;
    r.conversion.BackOpacity = 255;
    r.conversion.TextPosition = 0;
    r.conversion.Text = "";
    r.conversion.FilenameMask = "";
    r.conversion.KeepSubfolders = 0;
    r.conversion.DoWatermark = 2;
    return r;
}

std::int32_t localNow() { return static_cast<std::int32_t>(localDateOf(std::time(nullptr))); }

}  // namespace

TEST(SettingsDefaults, FillEveryDescribedValue) {
    Records r = scrambled();
    ResetToDefaults(r.conversion, r.interface, false);
    const InterfaceSettings& i = r.interface;
    const ConversionSettings& c = r.conversion;
    EXPECT_EQ(i.CFG, 19);
    EXPECT_EQ(i.Language, "en");
    EXPECT_EQ(i.UpdateRange, 2);
    EXPECT_EQ(i.SaveWindowPosition, 1);
    EXPECT_EQ(i.IsMaximized, 0);
    EXPECT_EQ(i.Width, 510);
    EXPECT_EQ(i.Height, 260);
    EXPECT_EQ(i.UITheme, "handdrawn");
    EXPECT_EQ(i.UISize, 2);
    EXPECT_EQ(i.OutFoldersHistory, 1);
    EXPECT_EQ(i.OutFoldersNumber, 5);
    EXPECT_EQ(i.RecentOutFolders, "");
    EXPECT_EQ(i.CleanRecentFiles, 0);

    EXPECT_EQ(c.InputFormat, "png");
    EXPECT_EQ(c.OutputFormat, "dds");
    EXPECT_EQ(c.RAWToneMapping, 2);
    EXPECT_EQ(c.DDSBPP, 0);
    EXPECT_EQ(c.DDSCompression, 0);  // automatic
    EXPECT_EQ(c.JPGQuality, 95);
    EXPECT_EQ(c.WEBPQuality, 100);
    EXPECT_EQ(c.KeepAspectRatio, 1);
    EXPECT_EQ(c.ImageResizeAlgorithm, 3);
    EXPECT_FLOAT_EQ(c.ImageGamma, 1.0f);
    EXPECT_EQ(c.ImageRotationBackColor, "000000");
    EXPECT_EQ(c.SolidOpacity, 255);
    EXPECT_EQ(c.SolidBottomColor, "000000");
    EXPECT_EQ(c.DoWatermark, 0);
    EXPECT_EQ(c.Text, kMakerNotice);
    EXPECT_EQ(c.Fonts, "Arial,Tahoma,Verdana");
    EXPECT_EQ(c.Font, "Arial");
    EXPECT_EQ(c.FontSize, 14);
    EXPECT_EQ(c.FontColor, "FFFFFF");
    EXPECT_EQ(c.FontColors, "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF");
    EXPECT_EQ(c.BackColors, c.FontColors);
    EXPECT_EQ(c.TextOpacity, 255);
    EXPECT_EQ(c.ImageOpacity, 255);
    EXPECT_EQ(c.BackOpacity, 1);  // the one opacity that is not opaque
    EXPECT_EQ(c.TextPosition, 8);
    EXPECT_EQ(c.ImagePosition, 8);
    EXPECT_EQ(c.TextXOffset, 10);
    EXPECT_EQ(c.ImageYOffset, 10);
    EXPECT_EQ(c.TextScale, 10);
    EXPECT_EQ(c.ImageScale, 10);
    EXPECT_EQ(c.FilenameMask, "%filename%.%ext%");
    EXPECT_EQ(c.FileTimestamp, 0);
    EXPECT_EQ(c.KeepSubfolders, 1);
}

TEST(SettingsDefaults, CommandLineFlavourOnlyTurnsAspectRatioOff) {
    Records window = scrambled(), console = scrambled();
    ResetToDefaults(window.conversion, window.interface, false);
    ResetToDefaults(console.conversion, console.interface, true);
    EXPECT_EQ(window.conversion.KeepAspectRatio, 1);
    EXPECT_EQ(console.conversion.KeepAspectRatio, 0);
    console.conversion.KeepAspectRatio = 1;
    // The two calls may fall in different clock seconds: align the dates,
    // then every field must agree.
    console.conversion.CustomTimestamp = window.conversion.CustomTimestamp;
    console.interface.UpdateDate = window.interface.UpdateDate;
    EXPECT_EQ(configurationText(console.conversion, console.interface),
              configurationText(window.conversion, window.interface));
}

TEST(SettingsDefaults, DatesAreTheLocalClockReadAsUtc) {
    Records r;
    std::int32_t before = localNow();
    ResetToDefaults(r.conversion, r.interface, true);
    std::int32_t after = localNow();
    EXPECT_GE(r.interface.UpdateDate, before);
    EXPECT_LE(r.interface.UpdateDate, after);
    EXPECT_GE(r.conversion.CustomTimestamp, before);
    EXPECT_LE(r.conversion.CustomTimestamp, after);
}

TEST(SettingsDefaults, WindowCentredOnTheDesktopWhenItFits) {
    struct Case { int width, height, x, y; } cases[] = {
        {1920, 1080, 705, 410}, {1366, 768, 428, 254}, {511, 261, 0, 0}, {510, 260, 100, 100}, {300, 200, 100, 100},
    };
    for (const auto& c : cases) {
        setPrimaryDesktopSize(c.width, c.height);
        Records r;
        ResetToDefaults(r.conversion, r.interface, false);
        EXPECT_EQ(r.interface.X, c.x) << c.width;
        EXPECT_EQ(r.interface.Y, c.y) << c.height;
    }
    setPrimaryDesktopSize(1920, 1080);
}
