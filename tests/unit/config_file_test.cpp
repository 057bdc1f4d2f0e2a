#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/product.h"
#include "settings/config_file.h"
#include "settings/ini_text.h"
#include "settings/paths.h"
#include "test_support.h"

namespace {

struct Records {
    ConversionSettings conversion;
    InterfaceSettings interface;
};

// Window-mode defaults with the clock-dependent values pinned.
Records pinnedDefaults() {
    Records r;
    ResetToDefaults(r.conversion, r.interface, false);
    r.interface.UpdateDate = 1700000000;
    r.interface.X = 705;
    r.interface.Y = 410;
    r.conversion.CustomTimestamp = 1700000001;
    return r;
}

std::string crlf(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

const char* kDefaultFile = R"(
[General]
CFG = 19
Language = en
Update Range = 2
Update Date = 1700000000
Save Window Position = 1
; 
[Window]
IsMaximized = 0
Width = 510
Height = 260
X = 705
Y = 410
; 
[Interface]
UI Theme = handdrawn
UI Size = 2
; 
[Input]
Format = png
; 
[Output]
Format = dds
DDS BPP = 0
DDS Compression = 0
; 
[Transform]
Do Image Rotation = 0
Image Rotation Type = 0
Image Rotation = 0
Image Rotation Back Color = 000000
Do Image Resize = 0
Image Width = 0
Image Width Unit = 0
Image Height = 0
Image Height Unit = 0
Keep Aspect Ratio = 1
Image Resize Type = 0
Image Resize Algorithm = 3
Do Image Flip Horizontal = 0
Do Image Flip Vertical = 0
; 
[Adjustment]
Do Image Color Correction = 0
Image Brightness = 0
Image Contrast = 0
Image Gamma = 1.000000
Image Invert = 0
Do Image Greyscale = 0
Do Image Threshold = 0
Image Threshold = 0
Do Image Dither = 0
Image Dither Algorithm = 0
; 
[Frame]
Do Frame = 0
Solid Left = 0
Solid Right = 0
Solid Top = 0
Solid Bottom = 0
Solid Left Color = 000000
Solid Right Color = 000000
Solid Top Color = 000000
Solid Bottom Color = 000000
Solid Opacity = 255
; 
[Watermark]
Do Watermark = 0
Text = )" "\xC2\xA9" R"( Korvane Software
Fonts = Arial,Tahoma,Verdana
Font = Arial
Font Size = 14
Font Leading = 0
Font Colors = 000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF
Font Color = FFFFFF
Font Style = 0
Font Effect = 0
Text Antialiasing = 0
Text Alignment = 0
Text Padding = 0
Text Opacity = 255
Back Colors = 000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF
Back Color = 000000
Back Opacity = 1
Text Boundary = 0
Text Position = 8
Text X Offset = 10
Text Y Offset = 10
Text Rotation = 0
Text Size = 0
Text Scale = 10
Image = 
Image Greyscale = 0
Image Opacity = 255
Image Boundary = 0
Image Position = 8
Image X Offset = 10
Image Y Offset = 10
Image Rotation = 0
Image Size = 0
Image Scale = 10
; 
[Advanced]
Filename Mask = %filename%.%ext%
File Timestamp = 0
Custom Timestamp = 1700000001
Out Folders History = 1
Out Folders Number = 5
Keep Subfolders = 1
; 
[File]
Recent Out Folders = 
Recent Files = 
; 
[Privacy]
Clean Recent Files = 0
; 
)";

std::string expectedDefaultBytes() { return "\xEF\xBB\xBF" + crlf(kDefaultFile); }

}  // namespace

TEST(ConfigWrite, DefaultsAreWrittenByteForByte) {
    Records r = pinnedDefaults();
    EXPECT_EQ(configurationText(r.conversion, r.interface), expectedDefaultBytes());
}

TEST(ConfigWrite, WindowKeysOnlyWithSaveWindowPosition) {
    Records r = pinnedDefaults();
    r.interface.SaveWindowPosition = 0;
    std::string text = configurationText(r.conversion, r.interface);
    EXPECT_NE(text.find("Save Window Position = 0\r\n; \r\n[Window]\r\n; \r\n[Interface]\r\n"), std::string::npos);
    EXPECT_EQ(text.find("IsMaximized"), std::string::npos);
}

TEST(ConfigWrite, ValuesAreWrittenInTheirFileForm) {
    Records r = pinnedDefaults();
    r.interface.CFG = 7;                     // always written as the current layout
    r.conversion.ImageResizeAlgorithm = 200;  // one byte, written signed
    r.conversion.KeepAspectRatio = 255;
    r.conversion.ImageGamma = 2.2f;
    r.conversion.ImageBrightness = -40;
    r.conversion.Text = "two\r\nlines";  // a break would start a new key line
    std::string text = configurationText(r.conversion, r.interface);
    EXPECT_NE(text.find("\r\nCFG = 19\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nImage Resize Algorithm = -56\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nKeep Aspect Ratio = -1\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nImage Gamma = 2.200000\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nImage Brightness = -40\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nText = twolines\r\n"), std::string::npos);
    r.conversion.ImageGamma = INFINITY;
    EXPECT_NE(configurationText(r.conversion, r.interface).find("\r\nImage Gamma = +Infinity\r\n"), std::string::npos);
}

TEST(ConfigRoundTrip, SavedSettingsLoadBackUnchanged) {
    TempFolder folder;
    Records saved = pinnedDefaults();
    saved.interface.Language = "fr";
    saved.interface.IsMaximized = 1;
    saved.interface.X = -20;
    saved.interface.RecentOutFolders = "/home/a/out/|/srv/x y/";
    saved.conversion.ImageResizeAlgorithm = 200;
    saved.conversion.ImageGamma = 0.35f;
    saved.conversion.DDSBPP = 32;
    saved.conversion.DDSCompression = 3;
    saved.conversion.Text = "Caf\xC3\xA9 %yyyy%";
    saved.conversion.DoWatermark = 2;
    saved.conversion.ImageThreshold = 300;
    saved.conversion.FilenameMask = "%filename%_%n%.%ext%";
    std::string path = folder.path + "config.ini";
    ASSERT_TRUE(SaveConfiguration(path, saved.conversion, saved.interface));
    EXPECT_EQ(readFileBytes(path), configurationText(saved.conversion, saved.interface));

    Records loaded = pinnedDefaults();
    LoadConfiguration(path, loaded.conversion, loaded.interface);
    EXPECT_EQ(configurationText(loaded.conversion, loaded.interface),
              configurationText(saved.conversion, saved.interface));
    EXPECT_EQ(loaded.conversion.ImageResizeAlgorithm, 200);
    EXPECT_EQ(loaded.conversion.DDSCompression, 3);
    EXPECT_EQ(loaded.conversion.Text, "Caf\xC3\xA9 %yyyy%");
    EXPECT_EQ(loaded.interface.X, -20);
}

TEST(ConfigLoad, MissingFileGivesWindowDefaults) {
    TempFolder folder;
    Records r;
    r.conversion.KeepAspectRatio = 0;
    r.interface.CFG = 3;
    r.conversion.FilenameMask = "%filename%";
    LoadConfiguration(folder.path + "absent.ini", r.conversion, r.interface);
    EXPECT_EQ(r.interface.CFG, 19);
    EXPECT_EQ(r.conversion.KeepAspectRatio, 1);
    EXPECT_EQ(r.conversion.FilenameMask, "%filename%.%ext%");  // no migration on defaults
    EXPECT_EQ(r.conversion.Text, kMakerNotice);
}

TEST(ConfigLoad, FolderInsteadOfFileGivesDefaults) {
    TempFolder folder;
    Records r;
    r.interface.Language = "xx";
    LoadConfiguration(folder.path, r.conversion, r.interface);
    EXPECT_EQ(r.interface.Language, "en");
}

TEST(ConfigLoad, KeysAndValuesAsTheFileHoldsThem) {
    struct Case {
        const char* name;
        std::string file;
        std::function<void(const Records&)> check;
    } cases[] = {
        {"missing keys take the load defaults", "[General]\r\nLanguage = de\r\n",
         [](const Records& r) {
             EXPECT_EQ(r.interface.Language, "de");
             EXPECT_EQ(r.interface.CFG, 0);
             EXPECT_EQ(r.interface.X, 100);
             EXPECT_EQ(r.interface.Y, 100);
             EXPECT_EQ(r.interface.Width, 510);
             EXPECT_EQ(r.conversion.KeepAspectRatio, 1);
             EXPECT_EQ(r.conversion.OutputFormat, "dds");
         }},
        {"number key holding text reads its leading digits or 0",
         "[Window]\nWidth = 640px\nHeight = wide\n[Output]\nDDS BPP = $20\n",
         [](const Records& r) {
             EXPECT_EQ(r.interface.Width, 640);
             EXPECT_EQ(r.interface.Height, 0);
             EXPECT_EQ(r.conversion.DDSBPP, 0);  // no hexadecimal in the file
         }},
        {"one-byte field takes the low byte", "[Transform]\nImage Resize Algorithm = -56\nKeep Aspect Ratio = 0\n",
         [](const Records& r) {
             EXPECT_EQ(r.conversion.ImageResizeAlgorithm, 200);
             EXPECT_EQ(r.conversion.KeepAspectRatio, 0);
         }},
        {"keyword value outside its table is kept", "[Watermark]\nText Position = 42\n",
         [](const Records& r) { EXPECT_EQ(r.conversion.TextPosition, 42); }},
        {"the DDS compression is its keyword's number", "[Output]\nDDS BPP = 32\nDDS Compression = 4\n",
         [](const Records& r) {
             EXPECT_EQ(r.conversion.DDSBPP, 32);
             EXPECT_EQ(r.conversion.DDSCompression, 4);
         }},
        {"a DDS compression keyword is no number", "[Output]\nDDS Compression = BC7\n",
         [](const Records& r) { EXPECT_EQ(r.conversion.DDSCompression, 0); }},
        {"a DDS compression outside its table is kept for the run check",
         "[Output]\nDDS Compression = 5\n[output]\nDDS Compression = 1\n",
         [](const Records& r) { EXPECT_EQ(r.conversion.DDSCompression, 5); }},
        {"a negative DDS compression is kept for the run check", "[Output]\nDDS Compression = -1\n",
         [](const Records& r) { EXPECT_EQ(r.conversion.DDSCompression, -1); }},
        {"groups and keys ignore case, the first line wins",
         "[general]\nlanguage = it\nLANGUAGE = es\n[GENERAL]\nLanguage = pt\n",
         [](const Records& r) { EXPECT_EQ(r.interface.Language, "it"); }},
        {"a key of another group is not seen", "[Window]\nLanguage = de\n[General]\n",
         [](const Records& r) { EXPECT_EQ(r.interface.Language, "en"); }},
        {"a key only in a repeated group is not seen", "[General]\nCFG = 19\n[Window]\n[GENERAL]\nLanguage = pt\n",
         [](const Records& r) {
             EXPECT_EQ(r.interface.CFG, 19);
             EXPECT_EQ(r.interface.Language, "en");
         }},
        {"keys behind almost 16 MiB of other lines",
         "[Window]\n" + std::string(kMaxIniFileBytes / 2 - 100, 'a') + std::string(kMaxIniFileBytes / 4, '\n') +
             "X = 77\nX = 78\n" + std::string(kMaxIniFileBytes / 8, 'b') + "\n[General]\nLanguage = fr\n",
         [](const Records& r) {
             EXPECT_EQ(r.interface.X, 77);
             EXPECT_EQ(r.interface.Language, "fr");
         }},
        {"the two Image Rotation keys stay apart", "[Transform]\nImage Rotation = 90\n[Watermark]\nImage Rotation = 45\n",
         [](const Records& r) {
             EXPECT_EQ(r.conversion.TransformImageRotation, 90);
             EXPECT_EQ(r.conversion.WatermarkImageRotation, 45);
         }},
        {"gamma words and text trimming", "[Adjustment]\nImage Gamma = -Infinity\n[Watermark]\nFont =  \t Verdana \t\n",
         [](const Records& r) {
             EXPECT_TRUE(std::isinf(r.conversion.ImageGamma) && r.conversion.ImageGamma < 0);
             EXPECT_EQ(r.conversion.Font, "Verdana");
         }},
        {"format keys outside the product's lists are read too",
         "[Input]\nRAW Header Size = 12\n[Output]\nJPG Quality = 50\nPNG Interlaced = 1\n",
         [](const Records& r) {
             EXPECT_EQ(r.conversion.RAWHeaderSize, 12);
             EXPECT_EQ(r.conversion.JPGQuality, 50);
             EXPECT_EQ(r.conversion.PNGInterlaced, 1);
         }},
        {"ISO-8859-1 without the byte-order mark", "[Watermark]\nText = Caf\xE9\n",
         [](const Records& r) { EXPECT_EQ(r.conversion.Text, "Caf\xC3\xA9"); }},
        {"UTF-8 after the byte-order mark", "\xEF\xBB\xBF[Watermark]\nText = Caf\xC3\xA9\n",
         [](const Records& r) { EXPECT_EQ(r.conversion.Text, "Caf\xC3\xA9"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        writeFileBytes(folder.path + "config.ini", c.file);
        Records r;
        LoadConfiguration(folder.path + "config.ini", r.conversion, r.interface);
        c.check(r);
    }
}

TEST(ConfigLoad, MigratesOlderLayouts) {
    struct Case {
        const char* file;
        const char* mask;
        int rawLoadAs, psdMode, tiffMode, cfg;
    } cases[] = {
        // No CFG at all counts as layout 0: every migration runs.
        {"[Advanced]\nFilename Mask = %filename%\n", "%filename%.%ext%", 0, 0, 0, 0},
        {"[General]\nCFG = 10\n[Advanced]\nFilename Mask = %FILENAME%.%EXT%\n", "%FILENAME%.%EXT%.%ext%", 0, 0, 0, 10},
        {"[General]\nCFG = 10\n[Advanced]\nFilename Mask = a_%ext%\n", "a_%ext%", 0, 0, 0, 10},
        {"[General]\nCFG = 11\n[Advanced]\nFilename Mask = %filename%\n", "%filename%", 0, 0, 0, 11},
        {"[General]\nCFG = 13\n[Input]\nRAW Load As = 1\n", "%filename%.%ext%", 3, 0, 0, 13},
        {"[General]\nCFG = 13\n[Input]\nRAW Load As = 0\n", "%filename%.%ext%", 0, 0, 0, 13},
        {"[General]\nCFG = 19\n[Input]\nRAW Load As = 1\n", "%filename%.%ext%", 1, 0, 0, 19},
        {"[General]\nCFG = 18\n[Input]\nPSD Color Mode = 1\nPSD Color Model = 2\n[Output]\nTIFF Color Model = 1\n",
         "%filename%.%ext%", 0, 2, 1, 18},
        {"[General]\nCFG = 18\n[Input]\nPSD Color Mode = 1\nPSD Color Model = 0\n", "%filename%.%ext%", 0, 1, 0, 18},
        {"[General]\nCFG = 19\n[Input]\nPSD Color Model = 2\n", "%filename%.%ext%", 0, 0, 0, 19},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TempFolder folder;
        writeFileBytes(folder.path + "config.ini", c.file);
        Records r;
        LoadConfiguration(folder.path + "config.ini", r.conversion, r.interface);
        EXPECT_EQ(r.conversion.FilenameMask, c.mask);
        EXPECT_EQ(r.conversion.RAWLoadAs, c.rawLoadAs);
        EXPECT_EQ(r.conversion.PSDColorMode, c.psdMode);
        EXPECT_EQ(r.conversion.TIFFColorMode, c.tiffMode);
        EXPECT_EQ(r.interface.CFG, c.cfg);  // kept as read; the next save writes 19
    }
}

TEST(ConfigSave, ReplacesTheOldFileAndLeavesNothingElse) {
    TempFolder folder;
    std::string path = folder.path + "config.ini";
    writeFileBytes(path, "old content");
    Records r = pinnedDefaults();
    ASSERT_TRUE(SaveConfiguration(path, r.conversion, r.interface));
    EXPECT_EQ(readFileBytes(path), expectedDefaultBytes());
    EXPECT_EQ(listFolder(folder.path), std::vector<std::string>{"config.ini"});
}

TEST(ConfigSave, TargetThatIsAFolderStaysUntouched) {
    TempFolder folder;
    std::string path = folder.path + "config.ini";
    std::filesystem::create_directory(path);
    writeFileBytes(path + "/inside", "keep");
    Records r = pinnedDefaults();
    EXPECT_FALSE(SaveConfiguration(path, r.conversion, r.interface));
    EXPECT_EQ(readFileBytes(path + "/inside"), "keep");
    EXPECT_EQ(listFolder(folder.path), std::vector<std::string>{"config.ini"});  // no temporary file left
}

TEST(ConfigSave, MissingFolderWritesNothing) {
    TempFolder folder;
    Records r = pinnedDefaults();
    EXPECT_FALSE(SaveConfiguration(folder.path + "gone/config.ini", r.conversion, r.interface));
    EXPECT_TRUE(listFolder(folder.path).empty());
}

TEST(ConfigSave, FailedWriteKeepsTheOldFile) {
    TempFolder folder;
    std::string path = folder.path + "config.ini";
    writeFileBytes(path, "old content");
    Records r = pinnedDefaults();
    // A file-size limit far below the configuration's size makes the write
    // fail half-way, as a full disk would.
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    bool written = SaveConfiguration(path, r.conversion, r.interface);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(readFileBytes(path), "old content");
    EXPECT_EQ(listFolder(folder.path), std::vector<std::string>{"config.ini"});
}

TEST(ConfigSave, LinkedConfigurationKeepsItsLink) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path + "dotfiles");
    std::string real = folder.path + "dotfiles/config.ini";
    writeFileBytes(real, "old");
    std::filesystem::create_symlink(real, folder.path + "config.ini");
    Records r = pinnedDefaults();
    ASSERT_TRUE(SaveConfiguration(folder.path + "config.ini", r.conversion, r.interface));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path + "config.ini"));
    EXPECT_EQ(readFileBytes(real), expectedDefaultBytes());
}

TEST(ConfigPath, LivesInTheMakerAndProductFolders) {
    TempFolder folder;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", (folder.path + "cfg").c_str(), 1);
    std::string path = configFilePath();
    if (old) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(path, folder.path + "cfg/Korvane/tovrel/config.ini");
    EXPECT_TRUE(std::filesystem::is_directory(folder.path + "cfg/Korvane/tovrel"));
}

namespace {
// Sets (or, with nullptr, unsets) an environment variable for one scope.
struct ScopedEnv {
    std::string name;
    std::optional<std::string> saved;
    ScopedEnv(const char* variable, const char* value) : name(variable) {
        if (const char* old = std::getenv(variable)) saved = old;
        if (value) setenv(variable, value, 1);
        else unsetenv(variable);
    }
    ~ScopedEnv() {
        if (saved) setenv(name.c_str(), saved->c_str(), 1);
        else unsetenv(name.c_str());
    }
};

std::string passwordHome() {
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

mode_t permissionBits(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}
}  // namespace

TEST(ConfigPath, WithoutHomeUsesThePasswordDatabase) {
    ScopedEnv home("HOME", nullptr);
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/config");
    ASSERT_FALSE(passwordHome().empty());
    EXPECT_EQ(userConfigFolder(), withTrailingSlash(passwordHome()) + ".config/");
}

TEST(ConfigPath, RelativeXdgConfigHomeIsIgnored) {
    TempFolder folder;
    ScopedEnv home("HOME", folder.path.c_str());
    ScopedEnv xdg("XDG_CONFIG_HOME", "cfg");
    EXPECT_EQ(configFilePath(), folder.path + ".config/Korvane/tovrel/config.ini");
    EXPECT_FALSE(std::filesystem::exists("cfg"));
}

TEST(ConfigSave, KeepsThePermissionBitsOfTheFileItReplaces) {
    TempFolder folder;
    const std::string path = folder.path + "config.ini";
    Records r = pinnedDefaults();
    ASSERT_TRUE(SaveConfiguration(path, r.conversion, r.interface));
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(SaveConfiguration(path, r.conversion, r.interface));
    EXPECT_EQ(permissionBits(path), 0640u);
    chmod(path.c_str(), 0604);
    ASSERT_TRUE(SaveConfiguration(path, r.conversion, r.interface));
    EXPECT_EQ(permissionBits(path), 0604u);
}

TEST(ConfigSave, AnUnreadableFileIsKeptAsBackupOnce) {
    TempFolder folder;
    const std::string path = folder.path + "config.ini";
    // Larger than the loader accepts: the loader gave defaults, so the save
    // must not destroy what the user had.
    const std::string original(kMaxIniFileBytes + 10, 'x');
    writeFileBytes(path, original);
    ASSERT_FALSE(readIniFile(path));
    Records r = pinnedDefaults();
    ASSERT_TRUE(SaveConfiguration(path, r.conversion, r.interface));
    EXPECT_EQ(readFileBytes(path + ".bak"), original);
    EXPECT_EQ(readFileBytes(path), expectedDefaultBytes());

    // A later unreadable file never replaces the first backup: it is kept
    // under the next numbered name.
    writeFileBytes(path, original + "second");
    ASSERT_TRUE(SaveConfiguration(path, r.conversion, r.interface));
    EXPECT_EQ(readFileBytes(path + ".bak"), original);
    EXPECT_EQ(readFileBytes(path + ".bak.1"), original + "second");
    writeFileBytes(path, original + "third");
    ASSERT_TRUE(SaveConfiguration(path, r.conversion, r.interface));
    EXPECT_EQ(readFileBytes(path + ".bak.2"), original + "third");
    EXPECT_EQ(readFileBytes(path), expectedDefaultBytes());
}

TEST(ConfigSave, AReadableFileMakesNoBackup) {
    TempFolder folder;
    const std::string path = folder.path + "config.ini";
    writeFileBytes(path, "[Window]\r\nX = 5\r\n");
    Records r = pinnedDefaults();
    ASSERT_TRUE(SaveConfiguration(path, r.conversion, r.interface));
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
}

TEST(ConfigSave, AFileWithoutReadPermissionIsNotReplaced) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file; run the suite as a normal user for this case";
    for (mode_t mode : {0000, 0200}) {
        SCOPED_TRACE(mode);
        TempFolder folder;
        const std::string path = folder.path + "config.ini";
        writeFileBytes(path, "[General]\r\nLanguage = de\r\n");
        chmod(path.c_str(), mode);
        ASSERT_FALSE(readIniFile(path));
        Records r = pinnedDefaults();
        EXPECT_FALSE(SaveConfiguration(path, r.conversion, r.interface));
        EXPECT_EQ(permissionBits(path), mode);
        EXPECT_EQ(listFolder(folder.path), std::vector<std::string>{"config.ini"});
        chmod(path.c_str(), 0600);
        EXPECT_EQ(readFileBytes(path), "[General]\r\nLanguage = de\r\n");
    }
}

// Names under which a save must write nothing: the entry stays what it was
// and no file appears beside it.
TEST(ConfigSave, OnlyARegularFileOrNothingIsReplaced) {
    struct Case {
        const char* name;
        void (*make)(const std::string& folder);
        bool saved;
    };
    const Case cases[]{
        {"link to a FIFO", [](const std::string& f) {
             mkfifo((f + "pipe").c_str(), 0600);
             std::filesystem::create_symlink((f + "pipe"), f + "config.ini");
         }, false},
        {"FIFO", [](const std::string& f) { mkfifo((f + "config.ini").c_str(), 0600); }, false},
        {"read-only file", [](const std::string& f) {
             writeFileBytes(f + "config.ini", "[Window]\r\nX = 5\r\n");
             chmod((f + "config.ini").c_str(), 0444);
         }, false},
        {"link to a read-only file", [](const std::string& f) {
             writeFileBytes(f + "real.ini", "[Window]\r\nX = 5\r\n");
             chmod((f + "real.ini").c_str(), 0444);
             std::filesystem::create_symlink((f + "real.ini"), f + "config.ini");
         }, false},
        {"link loop", [](const std::string& f) { std::filesystem::create_symlink((f + "config.ini"), f + "config.ini"); },
         false},
        {"dangling link", [](const std::string& f) { std::filesystem::create_symlink("real.ini", f + "config.ini"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        c.make(folder.path);
        const std::vector<std::string> before = listFolder(folder.path);
        struct stat old {};
        lstat((folder.path + "config.ini").c_str(), &old);
        Records r = pinnedDefaults();
        EXPECT_EQ(SaveConfiguration(folder.path + "config.ini", r.conversion, r.interface), c.saved);
        struct stat now {};
        ASSERT_EQ(lstat((folder.path + "config.ini").c_str(), &now), 0);
        EXPECT_EQ(now.st_mode, old.st_mode);  // the same kind of entry, the same bits
        if (c.saved) {
            // Written through the link: the link stays, the file it named appears.
            EXPECT_EQ(readFileBytes(folder.path + "real.ini"), expectedDefaultBytes());
            EXPECT_EQ(listFolder(folder.path), (std::vector<std::string>{"config.ini", "real.ini"}));
        } else {
            EXPECT_EQ(listFolder(folder.path), before);
        }
    }
}
