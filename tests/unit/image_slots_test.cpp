// The value lookup of theme.cfg, display names, icon sizes, the PNG decoder's
// bounds and the compiled-in pictures.
#include <gtest/gtest.h>

#include "images/image_slots.h"
#include "art/builtin_art.h"
#include "settings/paths.h"
#include "theme_test_support.h"

namespace {

struct IniCase {
    const char* label;
    std::string text;
    const char* section;
    const char* key;
    const char* expected;
};

TEST(IniValue, ReadsLikeTheThemeFileDemands) {
    const IniCase cases[] = {
        {"plain value", "\r\n[Icons]\r\nNew=new\r\n", "Icons", "New", "new"},
        {"section and key ignore case", "\r\n[ICONS]\r\nnew=new\r\n", "icons", "NEW", "new"},
        {"value keeps its case", "\r\n[Icons]\r\nConvert=Convert.PNG\r\n", "Icons", "Convert", "Convert.PNG"},
        {"key matched as a prefix", "\r\n[Theme]\r\nNames=prefix\r\nName=exact\r\n", "Theme", "Name", "prefix"},
        {"first matching line wins", "\r\n[Icons]\r\nWeb=one\r\nWeb=two\r\n", "Icons", "Web", "one"},
        {"value between first and second =", "\r\n[Icons]\r\nNew= a b =c\r\n", "Icons", "New", "a b"},
        {"blanks and tabs cleaned", "\r\n[Icons]\r\nNew=\t new\t \r\n", "Icons", "New", "new"},
        {"key in another section", "\r\n[Buttons]\r\nNew=x\r\n[Icons]\r\nAdd=y\r\n", "Icons", "New", ""},
        {"key only after the next section", "\r\n[Icons]\r\nAdd=y\r\n[Other]\r\nNew=x\r\n", "Icons", "New", ""},
        {"missing section", "\r\n[Icons]\r\nNew=x\r\n", "Buttons", "New", ""},
        {"key without a preceding line break", "[Icons]New=x\r\n", "Icons", "New", ""},
        {"line without =", "\r\n[Icons]\r\nNew\r\n", "Icons", "New", ""},
        {"last line without CR LF", "\r\n[Icons]\r\nNew=last", "Icons", "New", "last"},
        {"section first in the file", "[Theme]\r\nName=Top\r\n", "Theme", "Name", "Top"},
        {"empty text", "", "Theme", "Name", ""},
    };
    for (const IniCase& c : cases) EXPECT_EQ(iniValue(c.text, c.section, c.key), c.expected) << c.label;
}

TEST(IconSize, FollowsUiSizeAndFallsBackTo16) {
    const std::pair<int, int> cases[] = {{0, 16}, {1, 24}, {2, 32}, {3, 48}, {4, 64}, {5, 16}, {7, 16}, {-1, 16}};
    for (const auto& [uiSize, pixels] : cases) EXPECT_EQ(iconSizeForUiSize(uiSize), pixels) << uiSize;
}

class ThemeNames : public ::testing::Test {
protected:
    TempFolder program;
    std::string gfx;
    void SetUp() override {
        gfx = program.path + "gfx/";
        ASSERT_TRUE(ensureFolder(gfx));
    }
};

TEST_F(ThemeNames, DisplayNameOnlyWithinTheFirst255Bytes) {
    const std::string padding(300, ';');
    writeZip(gfx + "early.zip", {{"theme.cfg", cfgText({"[Theme]", "Name= Early Bird ", "[Icons]"})}});
    writeZip(gfx + "late.zip", {{"theme.cfg", cfgText({padding, "[Theme]", "Name=Late"})}});
    // "Name=Edge" ends exactly at byte 255; one more byte and it is cut.
    const std::string head = "\r\n[Theme]\r\nName=";
    const std::string edgeFill(255 - head.size() - 4, ';');
    writeZip(gfx + "edge.zip", {{"theme.cfg", edgeFill + head + "Edge\r\n"}});
    writeZip(gfx + "cut.zip", {{"theme.cfg", edgeFill + ";" + head + "Edge\r\n"}});
    writeZip(gfx + "latin.zip", {{"theme.cfg", cfgText({"[Theme]", "Name=Caf\xE9"})}});
    EXPECT_EQ(readThemeName(program.path, "early"), "Early Bird");
    EXPECT_EQ(readThemeName(program.path, "late"), "");
    EXPECT_EQ(readThemeName(program.path, "edge"), "Edge");
    EXPECT_EQ(readThemeName(program.path, "cut"), "Edg");
    EXPECT_EQ(readThemeName(program.path, "latin"), "Caf\xC3\xA9");
    EXPECT_EQ(readThemeName(program.path, "missing"), "");
}

TEST_F(ThemeNames, ListSortedWithoutRegardToCaseLastIsCurrent) {
    for (const char* key : {"beta", "Alpha", "gamma"})
        writeZip(gfx + key + ".zip", {{"theme.cfg", cfgText({"[Theme]", std::string("Name=") + key + " theme"})}});
    writeFileBytes(gfx + ".hidden.zip", "x");
    writeFileBytes(gfx + "notes.ZIP", "x");
    writeFileBytes(gfx + "readme.txt", "x");
    ASSERT_TRUE(ensureFolder(gfx + "folder.zip"));
    ThemeList list;
    listThemes(program.path, list);
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[0], (std::pair<std::string, std::string>{"Alpha", "Alpha theme"}));
    EXPECT_EQ(list.entries[1].first, "beta");
    EXPECT_EQ(list.entries[2].first, "gamma");
    EXPECT_EQ(list.current, 2);
}

TEST_F(ThemeNames, NoGfxFolderGivesAnEmptyList) {
    TempFolder empty;
    ThemeList list;
    listThemes(empty.path, list);
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(list.current, -1);
}

TEST(DecodePng, RefusesOnTheHeaderBeforeDecoding) {
    const std::string ok = solidRgbaPng(16, 16, {10, 20, 30, 40});
    const auto decoded = decodePng({reinterpret_cast<const std::uint8_t*>(ok.data()), ok.size()}, 16);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 16);
    EXPECT_EQ(decoded->rgba.size(), 16u * 16u * 4u);
    EXPECT_EQ(decoded->rgba[0], 10);
    EXPECT_EQ(decoded->rgba[3], 40);

    EXPECT_FALSE(decodePng({reinterpret_cast<const std::uint8_t*>(ok.data()), ok.size()}, 15));
    // 30000 x 30000 announced, a few bytes of image data: refused at once.
    const std::string huge = buildPng(30000, 30000, 8, 6, std::string(64, '\0'));
    EXPECT_FALSE(decodePng({reinterpret_cast<const std::uint8_t*>(huge.data()), huge.size()}, kMaxButtonSide));
    const std::string text = "not a picture";
    EXPECT_FALSE(decodePng({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, 256));
    const std::string cut = ok.substr(0, ok.size() / 2);
    EXPECT_FALSE(decodePng({reinterpret_cast<const std::uint8_t*>(cut.data()), cut.size()}, 256));
}

// Every name the header documents exists and decodes at its size.
TEST(BuiltinPictures, EveryDocumentedNameDecodesAtItsSize) {
    std::vector<std::pair<std::string, std::pair<int, int>>> expected;
    for (const std::string& name : kMenuIconNames) expected.push_back({"menu/" + name, {16, 16}});
    for (const std::string& name : kToolbarIconNames)
        for (int px : {16, 24, 32, 48, 64}) expected.push_back({"toolbar/" + name + "_" + std::to_string(px), {px, px}});
    expected.push_back({"button/Convert", {64, 64}});
    expected.push_back({"banner/About", {360, 40}});
    for (int px : {16, 24, 32, 48, 64, 128, 256}) expected.push_back({"app/" + std::to_string(px), {px, px}});

    for (const auto& [name, size] : expected) {
        const BuiltinPicture* picture = findBuiltinPicture(name);
        ASSERT_NE(picture, nullptr) << name;
        const auto decoded = decodePng({picture->png, picture->size}, 512);
        ASSERT_TRUE(decoded) << name;
        EXPECT_EQ(decoded->width, size.first) << name;
        EXPECT_EQ(decoded->height, size.second) << name;
        // Not blank: some pixel is opaque.
        bool opaque = false;
        for (std::size_t i = 3; i < decoded->rgba.size() && !opaque; i += 4) opaque = decoded->rgba[i] == 255;
        EXPECT_TRUE(opaque) << name;
    }
    EXPECT_EQ(findBuiltinPicture("menu/Nothing"), nullptr);
    EXPECT_EQ(findBuiltinPicture(""), nullptr);
}

TEST(BuiltinPictures, LoadFillsEverySlotToolbarAtTheUiSize) {
    InterfaceSettings ui;
    ui.UISize = 3;
    ImageSlots slots;
    loadBuiltinImages(slots, ui);
    ASSERT_EQ(slots.menuIcons.size(), kMenuIconNames.size());
    ASSERT_EQ(slots.toolbarIcons.size(), kToolbarIconNames.size());
    for (const auto& [name, picture] : slots.menuIcons) EXPECT_EQ(picture.width, 16) << name;
    for (const auto& [name, picture] : slots.toolbarIcons) EXPECT_EQ(picture.width, 48) << name;
    EXPECT_EQ(slots.buttonImages.at("Convert").width, 64);
    EXPECT_EQ(slots.aboutBanner.width, 360);
    EXPECT_EQ(slots.aboutBanner.height, 40);
}

}  // namespace
