#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "settings/string_table.h"
#include "settings/text.h"

namespace {

const std::string kMissing = "%NO_STRING_ERROR%";

// A fresh table over the built-in block, so cache checks do not depend on
// what other tests looked up in the process-wide one.
struct BuiltInTable : ::testing::Test {
    StringTable table;
    void SetUp() override { buildStringTable(table, builtInStringBlock()); }
    std::string cachedGroupName() const { return table.groups[table.cachedGroup.load()].name; }
};

struct Triple {
    const char* group;
    const char* key;
    const char* text;
};

}  // namespace

TEST_F(BuiltInTable, LooksUpAcrossGroupsIgnoringCase) {
    const Triple cases[] = {
        // first, middle and last entries of several groups
        {"Menu", "File", "File"},
        {"Menu", "Custom Converter", "Find a File Converter..."},
        {"Menu", "About", "About..."},
        {"General", "Input File", "Input File:"},
        {"General", "Converting", "Converting..."},
        {"Msg", "Error", "Error"},
        {"Msg", "Progress", "(%s1%/%s2%)"},
        {"Msg", "Empty extensions", "Please, fill all required fields and try again!"},
        {"Dialog", "Select Input Files", "Select Input Files"},
        {"Dialog", "Time Unknown", "Unknown"},
        {"Dialog", "Defaults", "Defaults"},
        {"Uninstall", "Next", "Next"},
        // group and key in other letter cases
        {"msg", "warning", "Warning"},
        {"MSG", "WARNING", "Warning"},
        {"mEnU", "check for new version", "Check For a New Version"},
        {"custom-converter", "SEARCH", "Search"},
        {"Preferences", "Save Window Position", "Save Window's Coords:"},
        {"Preferences", "x-offset", "X-Offset:"},
        // one key in several groups gives each group's own text
        {"Menu", "Select Output Folder", "Select Output Folder..."},
        {"Dialog", "Select Output Folder", "Select Output Folder"},
        {"General", "Output Format", "Output Format:"},
        {"Preferences", "Output Format", "Output Format:"},
        {"Msg", "Check for Updates", "Check for Updates"},
        {"Preferences", "Check for Updates", "Check for Updates:"},
        {"Preferences", "Title", "Preferences..."},
        {"About", "Title", "About..."},
        {"Custom-Converter", "Title", "Find a File Converter"},
        {"Uninstall", "Title", "Uninstall"},
        // keys that are prefixes of one another, or share their first letters
        {"Menu", "Convert", "Convert"},
        {"Menu", "Converter", "Converter"},
        {"Preferences", "Bold", "Bold"},
        {"Preferences", "Bold Italic", "Bold Italic"},
        {"Preferences", "Bayer16", "Bayer ordered dot dithering 16x16"},
        {"Preferences", "Bayer4", "Bayer ordered dot dithering 4x4"},
        {"Preferences", "Image", "Image:"},
        {"Preferences", "Image Greyscale", "Greyscale Image:"},
        // the window shows "Conversion stopped" for an interrupted run
        {"Msg", "Conversion is not complete", "Conversion stopped"},
        // missing group, missing key, empty key, empty group
        {"Menus", "File", kMissing.c_str()},
        {"", "File", kMissing.c_str()},
        {"Menu", "Files", kMissing.c_str()},
        {"Menu", "Conver", kMissing.c_str()},
        {"Menu", "Converters", kMissing.c_str()},
        {"Menu", "Zoom", kMissing.c_str()},
        {"Menu", "", kMissing.c_str()},
        {"Menu", " File", kMissing.c_str()},
        {"General", "Input Fil", kMissing.c_str()},
        {"Dialog", "Input File", kMissing.c_str()},
        {"Preferences", "Bayer", kMissing.c_str()},
        {"Preferences", "\xC3\x89tat", kMissing.c_str()},
        {"_GROUP_", "Menu", kMissing.c_str()},
    };
    for (const Triple& c : cases) EXPECT_EQ(lookupString(table, c.group, c.key), c.text) << c.group << " / " << c.key;
}

TEST_F(BuiltInTable, CachedGroupFollowsEveryLookup) {
    EXPECT_EQ(table.cachedGroup.load(), 0u);
    EXPECT_EQ(lookupString(table, "Dialog", "OK"), "OK");
    EXPECT_EQ(cachedGroupName(), "DIALOG");
    // A missing key keeps the group found; a missing group clears the cache.
    EXPECT_EQ(lookupString(table, "Dialog", "Nothing"), kMissing);
    EXPECT_EQ(cachedGroupName(), "DIALOG");
    EXPECT_EQ(lookupString(table, "Nothing", "OK"), kMissing);
    EXPECT_EQ(table.cachedGroup.load(), 0u);
    // Alternating groups with the same key: the cache is replaced, not trusted.
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(lookupString(table, "About", "Title"), "About...");
        EXPECT_EQ(cachedGroupName(), "ABOUT");
        EXPECT_EQ(lookupString(table, "uninstall", "title"), "Uninstall");
        EXPECT_EQ(cachedGroupName(), "UNINSTALL");
    }
}

TEST_F(BuiltInTable, IndexHasGroupsInBlockOrderWithSortedUpperCaseKeys) {
    const std::vector<std::pair<std::string, std::size_t>> expected = {
        {"MENU", 17}, {"GENERAL", 7},  {"MSG", 26},   {"DIALOG", 11}, {"PREFERENCES", 167},
        {"ABOUT", 3}, {"CUSTOM-CONVERTER", 4}, {"UNINSTALL", 3}, {"VIEWER", 21},
    };
    ASSERT_EQ(table.groups.size(), expected.size() + 1);
    std::size_t next = 1;
    for (std::size_t g = 1; g < table.groups.size(); ++g) {
        const StringGroup& group = table.groups[g];
        EXPECT_EQ(group.name, expected[g - 1].first);
        EXPECT_EQ(group.first, next) << group.name;
        EXPECT_EQ(group.last - group.first + 1, expected[g - 1].second) << group.name;
        next = group.last + 1;
        for (std::size_t j = group.first; j <= group.last; ++j) {
            EXPECT_EQ(table.keys[j], asciiUpper(table.keys[j])) << table.keys[j];
            if (j > group.first) {
                EXPECT_LT(table.keys[j - 1], table.keys[j]) << group.name << ": keys repeat or unsorted";
            }
            std::size_t slot = group.firstByChar[static_cast<unsigned char>(table.keys[j][0])];
            EXPECT_LE(slot, j);
            EXPECT_EQ(table.keys[slot][0], table.keys[j][0]);
            if (slot > group.first) {
                EXPECT_NE(table.keys[slot - 1][0], table.keys[j][0]);
            }
        }
        EXPECT_EQ(group.firstByChar[0], 0u);
    }
    EXPECT_EQ(table.keys.size(), next);
    EXPECT_EQ(table.texts.size(), next);
}

TEST_F(BuiltInTable, EveryEntryOfTheBlockIsFoundUnderItsGroup) {
    std::string group;
    std::size_t entries = 0;
    for (const StringPair& pair : builtInStringBlock()) {
        if (pair.key == "_GROUP_") {
            group = pair.text;
        } else if (pair.key != "_END_") {
            EXPECT_EQ(lookupString(table, group, pair.key), pair.text) << group << " / " << pair.key;
            ++entries;
        }
    }
    EXPECT_EQ(entries, table.keys.size() - 1);
    EXPECT_EQ(builtInStringBlock().back().key, "_END_");
}

// Texts copied from the product's description, at least the first and the
// last entry of every group and every text with special characters.
TEST_F(BuiltInTable, HoldsTheDescribedTexts) {
    const Triple texts[] = {
        {"Menu", "File", "File"},
        {"Menu", "Select Input File", "Add Input File..."},
        {"Menu", "Output Format Options", "Options..."},
        {"Menu", "Preferences", "Preferences..."},
        {"Menu", "Manual", "User Manual..."},
        {"Menu", "Visit Homepage", "Visit the Program's Homepage"},
        {"Menu", "About", "About..."},
        {"General", "Input File", "Input File:"},
        {"General", "Ready", "Ready"},
        {"General", "Preparing", "Preparing..."},
        {"General", "Importing", "Importing..."},
        {"General", "Converting", "Converting..."},
        {"Msg", "Error", "Error"},
        {"Msg", "Empty input files", "No input file(s) found. Please, add valid file(s) and try again!"},
        {"Msg", "Empty output folder",
         "The output folder's field is empty. Please, select existed output folder and try again!"},
        {"Msg", "Invalid output folder",
         "The following output folder is invalid or doesn't exist:\r\n%s1%\r\n\r\n"
         "Please, correct the output path and try again!"},
        {"Msg", "Invalid watermark font", "Unable to load selected font for a watermark: %s1%"},
        {"Msg", "Empty watermark image", "Selected watermark image is invalid/empty!"},
        {"Msg", "Import complete", "Import complete, new files added: %s1%"},
        {"Msg", "Conversion complete", "Conversion complete"},
        {"Msg", "Conversion is not complete", "Conversion stopped"},
        {"Msg", "Files converted", "Files converted: %s1% of %s2%"},
        {"Msg", "New Update Text",
         "A new version of Korvane PNG to DDS is available! Are you ready to download it right now?"},
        {"Msg", "No Update Text", "There is no update of Korvane PNG to DDS yet. You're using the most recent version."},
        {"Msg", "Ask reset to defaults", "Are you sure you want to reset all your settings to the default values?"},
        {"Msg", "Empty extensions", "Please, fill all required fields and try again!"},
        {"Dialog", "Select Input Files", "Select Input Files"},
        {"Dialog", "Convert Progress", "Converting"},
        {"Dialog", "Time Remaining", "Time Remaining: %s1%"},
        {"Dialog", "Defaults", "Defaults"},
        {"Preferences", "Title", "Preferences..."},
        {"Preferences", "General", "General"},
        {"Preferences", "Advanced", "Advanced"},
        {"Preferences", "Check For Updates", "Check for Updates:"},
        {"Preferences", "Every 3 months", "Every 3 months"},
        {"Preferences", "UI Theme", "Theme:"},
        {"Preferences", "UI Size", "Icon Size:"},
        {"Preferences", "Auto", "Auto"},
        {"Preferences", "Out Folders History", "Output Folders History:"},
        {"Preferences", "Clean On Exit", "Clean on Exit"},
        {"Preferences", "Keep Folders", "Keep Recent"},
        {"Preferences", "Keep Aspect Ratio", "Keep Proportions:"},
        {"Preferences", "Pixels", "pixels"},
        {"Preferences", "Percent", "percent"},
        {"Preferences", "Bspline", "B-Spline"},
        {"Preferences", "Catmullrom", "Catmull-Rom Spline"},
        {"Preferences", "Image Flip Vertical", "Flip Vertical:"},
        {"Preferences", "Image Gamma", "Gamma Correction:"},
        {"Preferences", "Dither Algorithm", "Dithering Algorithm:"},
        {"Preferences", "FS", "Floyd and Steinberg error diffusion"},
        {"Preferences", "Cluster16", "Clustered dot dithering 16x16"},
        {"Preferences", "Color", "Color"},
        {"Preferences", "Orange", "Orange"},
        {"Preferences", "Violet", "Violet"},
        {"Preferences", "Frame Type", "Frame:"},
        {"Preferences", "Frame Solid", "Solid Color"},
        {"Preferences", "Watermark Text", "Text"},
        {"Preferences", "Points", "points"},
        {"Preferences", "Strikeout", "Strikethrough"},
        {"Preferences", "Align Center", "Center"},
        {"Preferences", "Bound Frame", "Frame"},
        {"Preferences", "Scale", "Scale:"},
        {"Preferences", "Bottom-Right", "Bottom-Right"},
        {"About", "Title", "About..."},
        {"About", "Website", "Web:"},
        {"About", "Email", "E-mail:"},
        {"Custom-Converter", "Title", "Find a File Converter"},
        {"Custom-Converter", "Search", "Search"},
        {"Uninstall", "Title", "Uninstall"},
        {"Uninstall", "Uninstall Text", "Full Uninstall - Visit Uninstall Center"},
        {"Uninstall", "Next", "Next"},
    };
    for (const Triple& t : texts) EXPECT_EQ(lookupString(table, t.group, t.key), t.text) << t.group << " / " << t.key;
}

TEST(StringTableBuild, FollowsTheMarkerRulesOfAnyBlock) {
    const StringPair block[] = {
        {"Orphan", "before any group"},
        {"_group_", "first"},
        {"beta", "B"},
        {"Alpha", "A2"},
        {"ALPHA", "A1"},
        {"alphabet", "AB"},
        {"", "empty key"},
        {"_Group_", "Empty"},
        {"_GROUP_", "third"},
        {"x", "X"},
        {"_end_", ""},
        {"after", "end"},
    };
    StringTable table;
    buildStringTable(table, block);
    ASSERT_EQ(table.groups.size(), 4u);
    EXPECT_EQ(table.groups[2].name, "EMPTY");
    EXPECT_GT(table.groups[2].first, table.groups[2].last);
    EXPECT_EQ(table.keys.size(), 8u);  // slot 0, orphan, five entries, x

    const Triple cases[] = {
        {"", "Orphan", kMissing.c_str()},      // entries before the first group belong to no group
        {"First", "alpha", "A1"},              // equal keys: ordered by text, the first wins
        {"first", "ALPHABET", "AB"},           // a longer key after its prefix
        {"first", "beta", "B"},
        {"first", "", kMissing.c_str()},       // an entry with an empty key is never found
        {"Empty", "alpha", kMissing.c_str()},  // empty group
        {"third", "x", "X"},
        {"third", "after", kMissing.c_str()},  // pairs after the end marker are ignored
        {"_GROUP_", "first", kMissing.c_str()},
    };
    for (const Triple& c : cases) EXPECT_EQ(lookupString(table, c.group, c.key), c.text) << c.group << " / " << c.key;
}

TEST(StringTableBuild, BlockWithoutEndMarkerStopsAtItsEnd) {
    const StringPair block[] = {{"_GROUP_", "only"}, {"k", "v"}};
    StringTable table;
    buildStringTable(table, block);
    EXPECT_EQ(lookupString(table, "ONLY", "K"), "v");
    // Rebuilding from another block replaces everything and clears the cache.
    buildStringTable(table, std::span<const StringPair>{});
    EXPECT_EQ(table.cachedGroup.load(), 0u);
    EXPECT_EQ(lookupString(table, "only", "k"), kMissing);
}

TEST(StringTableProcessWide, IsTheBuiltInTableAndSurvivesReloading) {
    StringTable& table = stringTable();
    EXPECT_EQ(&table, &stringTable());
    EXPECT_EQ(lookupString(table, "General", "Importing"), "Importing...");
    loadStringTable();
    EXPECT_EQ(&table, &stringTable());
    EXPECT_EQ(table.cachedGroup.load(), 0u);
    EXPECT_EQ(lookupString(stringTable(), "Msg", "Files converted"), "Files converted: %s1% of %s2%");
    EXPECT_EQ(lookupString(stringTable(), "Msg", "Conversion is not complete"), "Conversion stopped");
}

TEST(StringTableProcessWide, LookupsFromSeveralThreadsStayCorrect) {
    StringTable table;
    buildStringTable(table, builtInStringBlock());
    const Triple pairs[] = {
        {"About", "Title", "About..."}, {"Uninstall", "Title", "Uninstall"},
        {"Menu", "New", "New"},         {"Dialog", "Cancel", "Cancel"},
    };
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                const Triple& p = pairs[(t + i) % 4];
                if (lookupString(table, p.group, p.key) != p.text) ++failures[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

TEST(FillPlaceholders, ReplacesInOrderAndLeavesEmptyValues) {
    struct Case {
        const char* text;
        const char* s1;
        const char* s2;
        const char* s3;
        const char* s4;
        const char* expected;
    } cases[] = {
        {"(%s1%/%s2%)", "3", "10", "", "", "(3/10)"},
        {"(%s1%/%s2%)", "3", "", "", "", "(3/%s2%)"},
        {"(%s1%/%s2%)", "", "10", "", "", "(%s1%/10)"},
        {"%S1% and %s1% and %S1%", "x", "", "", "", "x and x and x"},
        {"%s4%%s3%%s2%%s1%", "1", "2", "3", "4", "4321"},
        {"", "a", "b", "c", "d", ""},
        {"no placeholders", "a", "b", "", "", "no placeholders"},
        // a value holding a later placeholder is filled by that later step
        {"%s1%", "%s2%", "two", "", "", "two"},
        {"%s1%", "%S3%!", "", "three", "", "three!"},
        // an earlier placeholder inside a value is not filled again
        {"%s2%", "one", "%s1%", "", "", "%s1%"},
        // a value holding its own placeholder is inserted once, not repeated
        {"%s1%-%S1%", "%S1%", "", "", "", "%S1%-%S1%"},
        // percent signs that form no placeholder stay as they are
        {"100% of %s1%%", "5", "", "", "", "100% of 5%"},
        {"%s5% %s% %t1% %s1", "x", "y", "z", "w", "%s5% %s% %t1% %s1"},
        {"%%s1%%", "v", "", "", "", "%v%"},
        {"%s1%%s1%", "ab", "", "", "", "abab"},
        {"Files converted: %s1% of %s2%", "1", "1", "", "", "Files converted: 1 of 1"},
        {"caf\xC3\xA9 %s1%", "\xE2\x82\xAC", "", "", "", "caf\xC3\xA9 \xE2\x82\xAC"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillPlaceholders(c.text, c.s1, c.s2, c.s3, c.s4), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(FillPlaceholders("only %s1%", "one"), "only one");
}
