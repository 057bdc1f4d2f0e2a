// Putting a theme's pictures into the slots: entry names, sizes, fallbacks,
// the installed themes, and archives built to do harm.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>

#include "images/image_slots.h"
#include "images/theme_archive.h"
#include "settings/paths.h"
#include "settings/text.h"
#include "theme_test_support.h"

namespace {

std::string solid(int side, std::uint8_t red) { return solidRgbaPng(side, side, {red, 0, 0, 255}); }

// The red channel of a slot's first pixel tells which picture filled it.
int redOf(const Picture& picture) { return picture.rgba.empty() ? -1 : picture.rgba[0]; }

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class ApplyTheme : public ::testing::Test {
protected:
    TempFolder program;
    std::string gfx;
    InterfaceSettings ui;
    ImageSlots slots;
    ThemeList list;

    void SetUp() override {
        gfx = program.path + "gfx/";
        ASSERT_TRUE(ensureFolder(gfx));
        loadBuiltinImages(slots, ui);
    }
    void apply(bool b = true, bool m = true, bool t = true) {
        listThemes(program.path, list);
        applyTheme(program.path, ui, list, slots, b, m, t);
    }
    // Every icon name with base "<lower name>" at 16..64 in one colour.
    static ZipEntries fullTheme(std::uint8_t red, const std::string& extraCfg = "") {
        std::vector<std::string> cfg = {"[Theme]", "Name=Full", "[Buttons]", "Convert=button.png", "[Icons]"};
        ZipEntries entries = {{"button.png", solid(64, red)}};
        for (const std::string& name : kMenuIconNames) {
            cfg.push_back(name + "=" + name);
            for (int px : {16, 24, 32, 48, 64}) entries.push_back({name + "_" + std::to_string(px) + ".png", solid(px, red)});
        }
        entries.insert(entries.begin(), {"theme.cfg", cfgText(cfg) + extraCfg});
        return entries;
    }
    void expectBuiltinEverywhere() {
        ImageSlots builtin;
        loadBuiltinImages(builtin, ui);
        EXPECT_EQ(slots.buttonImages.at("Convert").rgba, builtin.buttonImages.at("Convert").rgba);
        for (const std::string& name : kMenuIconNames) EXPECT_EQ(slots.menuIcons.at(name).rgba, builtin.menuIcons.at(name).rgba) << name;
        for (const std::string& name : kToolbarIconNames)
            EXPECT_EQ(slots.toolbarIcons.at(name).rgba, builtin.toolbarIcons.at(name).rgba) << name;
    }
};

TEST_F(ApplyTheme, ValueWithoutPngGetsThePixelSizeOfEachSet) {
    ui.UITheme = "t";
    ui.UISize = 4;
    writeZip(gfx + "t.zip", {{"theme.cfg", cfgText({"[Icons]", "Convert=convert"})},
                             {"convert_16.png", solid(16, 16)},
                             {"convert_64.png", solid(64, 64)}});
    apply();
    EXPECT_EQ(slots.menuIcons.at("Convert").width, 16);
    EXPECT_EQ(redOf(slots.menuIcons.at("Convert")), 16);
    EXPECT_EQ(slots.toolbarIcons.at("Convert").width, 64);
    EXPECT_EQ(redOf(slots.toolbarIcons.at("Convert")), 64);
}

TEST_F(ApplyTheme, OutOfRangeUiSizeTakesThe16PixelEntry) {
    ui.UITheme = "t";
    ui.UISize = 7;
    writeZip(gfx + "t.zip", {{"theme.cfg", cfgText({"[Icons]", "Web=web"})}, {"web_16.png", solid(16, 7)}});
    apply(false, false, true);
    EXPECT_EQ(redOf(slots.toolbarIcons.at("Web")), 7);
}

TEST_F(ApplyTheme, PngValueIsTheEntryNameUnchangedAndAnyPictureSizeIsKept) {
    ui.UITheme = "t";
    writeZip(gfx + "t.zip", {{"theme.cfg", cfgText({"[Buttons]", "Convert=Convert.PNG", "[Icons]", "Help=Help.PNG"})},
                             {"Convert.PNG", solid(100, 90)},
                             {"Help.PNG", solid(20, 91)}});
    apply();
    EXPECT_EQ(slots.buttonImages.at("Convert").width, 100);
    EXPECT_EQ(redOf(slots.buttonImages.at("Convert")), 90);
    EXPECT_EQ(redOf(slots.menuIcons.at("Help")), 91);
    EXPECT_EQ(redOf(slots.toolbarIcons.at("Help")), 91);
}

TEST_F(ApplyTheme, FlagsChooseTheSets) {
    ui.UITheme = "t";
    ui.UISize = 0;
    writeZip(gfx + "t.zip", fullTheme(50));
    apply(false, false, true);
    EXPECT_EQ(redOf(slots.toolbarIcons.at("New")), 50);
    EXPECT_NE(redOf(slots.menuIcons.at("New")), 50);
    EXPECT_NE(redOf(slots.buttonImages.at("Convert")), 50);
}

TEST_F(ApplyTheme, NameSectionAfterByte255StillLoadsPictures) {
    ui.UITheme = "late";
    writeZip(gfx + "late.zip", {{"theme.cfg", std::string(400, ';') + cfgText({"", "[Theme]", "Name=Late", "[Icons]", "New=n"})},
                                {"n_16.png", solid(16, 33)}});
    apply();
    EXPECT_EQ(list.entries.at(0).second, "");
    EXPECT_EQ(redOf(slots.menuIcons.at("New")), 33);
}

TEST_F(ApplyTheme, AThemeWithoutWebKeepsTheEarlierThemesWeb) {
    writeZip(gfx + "first.zip", fullTheme(10));
    writeZip(gfx + "second.zip", {{"theme.cfg", cfgText({"[Icons]", "New=new"})}, {"new_16.png", solid(16, 20)}});
    ui.UITheme = "first";
    apply();
    ui.UITheme = "second";
    apply();
    EXPECT_EQ(redOf(slots.menuIcons.at("New")), 20);
    EXPECT_EQ(redOf(slots.menuIcons.at("Web")), 10);
}

TEST_F(ApplyTheme, MissingThemeFallsBackToTheOneListedLastAndStoresItsKey) {
    writeZip(gfx + "Zeta.zip", fullTheme(70));
    writeZip(gfx + "alpha.zip", fullTheme(60));
    for (const std::string key : {"gone", "../gfx/alpha", ".hidden", "a/b", ""}) {
        loadBuiltinImages(slots, ui);
        ui.UITheme = key;
        apply();
        EXPECT_EQ(ui.UITheme, "Zeta") << key;
        EXPECT_EQ(redOf(slots.menuIcons.at("About")), 70) << key;
    }
}

TEST_F(ApplyTheme, NoThemesAtAllChangesNothing) {
    ui.UITheme = "handdrawn";
    apply();
    EXPECT_EQ(ui.UITheme, "handdrawn");
    expectBuiltinEverywhere();
}

TEST_F(ApplyTheme, APictureThatDoesNotDecodeKeepsThePreviousOne) {
    writeZip(gfx + "good.zip", fullTheme(40));
    ui.UITheme = "good";
    apply();
    writeZip(gfx + "bad.zip", {{"theme.cfg", cfgText({"[Icons]", "New=new", "Add=add"})},
                               {"new_16.png", "this is no PNG"},
                               {"add_16.png", solid(16, 1).substr(0, 60)}});
    ui.UITheme = "bad";
    apply();
    EXPECT_EQ(redOf(slots.menuIcons.at("New")), 40);
    EXPECT_EQ(redOf(slots.menuIcons.at("Add")), 40);
}

// Archives built to do harm: each must leave the program running with the
// pictures it had, quickly and within a small amount of memory.
TEST_F(ApplyTheme, HostileArchivesAreHarmless) {
    const std::string validPng = solid(16, 5);
    // theme.cfg of 200 MiB that packs into a few hundred KiB.
    writeZip(gfx + "bomb.zip", {{"theme.cfg", cfgText({"[Theme]", "Name=Bomb", "[Icons]", "New=new"})}, {"new_16.png", validPng}},
             false, 200u * 1024 * 1024);

    writeZip(gfx + "huge.zip", {{"theme.cfg", cfgText({"[Buttons]", "Convert=big.png", "[Icons]", "New=big.png"})},
                                {"big.png", buildPng(30000, 30000, 8, 6, std::string(4096, '\0'))}});
    // A valid picture followed by 2 MiB of padding: over the entry cap, so
    // it is not used even though it would decode.
    writeZip(gfx + "long.zip", {{"theme.cfg", cfgText({"[Icons]", "New=new"})},
                                {"new_16.png", validPng + std::string(2u * 1024 * 1024, '\0')}});
    writeZip(gfx + "climb.zip", {{"theme.cfg", cfgText({"[Icons]", "New=../../escaped"})},
                                 {"../../escaped_16.png", validPng}});
    // Directories that claim 4 GiB for every entry, deflated and stored:
    // nothing is allocated from the claim, and the decompressor's own check
    // of the real size refuses the entries, so the archive counts as damaged.
    for (const bool stored : {false, true}) {
        const std::string name = stored ? "claims-stored.zip" : "claims.zip";
        writeZip(gfx + name, {{"theme.cfg", cfgText({"[Icons]", "New=new"})}, {"new_16.png", validPng}}, stored);
        claimUncompressedSize(gfx + name, 0xFFFFFFF0u);
    }
    writeZip(gfx + "empty.zip", {});
    writeFileBytes(gfx + "text.zip", "PK this is plain text pretending to be an archive\n");
    writeFileBytes(gfx + "zero.zip", "");

    const long before = peakKb();
    const auto start = std::chrono::steady_clock::now();
    listThemes(program.path, list);
    for (const auto& [key, name] : list.entries) {
        loadBuiltinImages(slots, ui);
        ui.UITheme = key;
        applyTheme(program.path, ui, list, slots, true, true, true);
        EXPECT_EQ(ui.UITheme, key);
        SCOPED_TRACE(key);
        if (key == "climb") {
            // Names are only looked up in memory; nothing is written.
            EXPECT_EQ(redOf(slots.menuIcons.at("New")), 5);
        } else {
            expectBuiltinEverywhere();
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long grownMb = (peakKb() - before) / 1024;
    RecordProperty("hostile_seconds", std::to_string(seconds));
    RecordProperty("hostile_peak_growth_mb", std::to_string(grownMb));
    std::printf("hostile archives: %.3f s, peak memory grew by %ld MB\n", seconds, grownMb);
    EXPECT_LT(grownMb, 64);
    EXPECT_FALSE(std::filesystem::exists(program.path + "escaped_16.png"));
    EXPECT_FALSE(std::filesystem::exists(gfx + "../../escaped_16.png"));

    EXPECT_EQ(readThemeName(program.path, "bomb"), "Bomb");
    EXPECT_EQ(readThemeName(program.path, "empty"), "");
    EXPECT_EQ(readThemeName(program.path, "text"), "");
}

TEST(ThemeArchive, EntriesAreCountedOnRealBytes) {
    TempFolder folder;
    const std::string path = folder.path + "a.zip";
    writeZip(path, {{"small", "12345"}, {"exact", std::string(100, 'x')}, {"over", std::string(101, 'x')}, {"empty", ""}});
    const auto entries = readArchiveEntries(path, {"small", "exact", "over", "empty", "absent"}, 100);
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 2u);
    EXPECT_EQ(entries->at("small"), "12345");
    EXPECT_EQ(entries->at("exact").size(), 100u);
    EXPECT_EQ(readArchiveEntryStart(path, "over", 10), std::string(10, 'x'));
    EXPECT_FALSE(readArchiveEntries(folder.path + "none.zip", {"small"}, 100));
}

// The themes the build installs beside the program.
TEST(InstalledThemes, ProvideEveryIconAtEverySizeAndTheButton) {
    const std::string programFolder = std::filesystem::path(THEMES_DIR).parent_path().string() + "/";
    ThemeList list;
    listThemes(programFolder, list);
    std::vector<std::string> keys;
    for (const auto& entry : list.entries) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"handdrawn", "slate"}));
    EXPECT_EQ(readThemeName(programFolder, "handdrawn"), "Hand-drawn");
    EXPECT_EQ(readThemeName(programFolder, "slate"), "Slate");

    for (const std::string key : {"handdrawn", "slate"}) {
        for (int uiSize = 0; uiSize <= 4; ++uiSize) {
            InterfaceSettings ui;
            ui.UITheme = key;
            ui.UISize = uiSize;
            ImageSlots slots;  // empty: only the theme can fill them
            applyTheme(programFolder, ui, list, slots, true, true, true);
            const int px = iconSizeForUiSize(uiSize);
            ASSERT_EQ(slots.menuIcons.size(), kMenuIconNames.size()) << key;
            ASSERT_EQ(slots.toolbarIcons.size(), kToolbarIconNames.size()) << key;
            for (const auto& [name, picture] : slots.menuIcons) EXPECT_EQ(picture.width, 16) << key << " " << name;
            for (const auto& [name, picture] : slots.toolbarIcons) EXPECT_EQ(picture.width, px) << key << " " << name;
            EXPECT_EQ(slots.buttonImages.at("Convert").width, 64) << key;
        }
        // Every icon name exists at every size, not only the toolbar's.
        std::set<std::string> names;
        for (const std::string& name : kMenuIconNames)
            for (int px : {16, 24, 32, 48, 64}) names.insert(asciiLower(name) + "_" + std::to_string(px) + ".png");
        const auto entries = readArchiveEntries(programFolder + "gfx/" + key + ".zip", names, kMaxThemePictureBytes);
        ASSERT_TRUE(entries);
        EXPECT_EQ(entries->size(), names.size()) << key;
    }
}

}  // namespace
