#include <gtest/gtest.h>

#include "settings/ini_text.h"
#include "test_support.h"

namespace {
std::string value(const IniLines& lines, const char* group, const char* key) {
    return findIniValue(lines, group, key).value_or("<missing>");
}
}  // namespace

TEST(IniText, ReadsLinesGroupsAndKeys) {
    struct Case { const char* text; const char* group; const char* key; const char* expected; } cases[] = {
        {"[G]\r\nk = v\r\n", "G", "k", "v"},
        {"[G]\rk = v\r", "G", "k", "v"},                       // CR alone ends a line
        {"[G]\nk = v", "G", "k", "v"},                         // LF alone; last line without an end
        {"  \t[G]\n \t k \t=\t v w \t\n", "G", "k", "v w"},    // blanks around key and value
        {"[G]\nk=a=b\n", "G", "k", "a=b"},                     // the first "=" splits
        {"[G]\n;k = comment\nk = real\n", "G", "k", "real"},
        {"[G]\n  ; k = comment\n", "G", "k", "<missing>"},
        {"[G] trailing words\nk = v\n", "G", "k", "v"},         // rest of the group line ignored
        {"[G\nk = v\n", "G", "k", "v"},                        // unterminated name runs to the end
        {"[g]\nK = v\n", "G", "k", "v"},                       // case ignored
        {"[G]\nk = 1\nk = 2\n", "G", "k", "1"},                // first match wins
        {"[G]\n[H]\nk = v\n", "G", "k", "<missing>"},          // lookup stops at the next group
        {"k = v\n[G]\n", "G", "k", "<missing>"},               // lines before any group
        {"[G]\nk\n", "G", "k", ""},                            // no "=": key with an empty value
        {"[G]\nk =\n", "G", "k", ""},
        {"", "G", "k", "<missing>"},
    };
    for (const auto& c : cases) EXPECT_EQ(value(parseIniText(c.text), c.group, c.key), c.expected) << c.text;
}

TEST(IniText, DecodesByteOrderMarkOrIsoLatin1) {
    EXPECT_EQ(value(parseIniText("\xEF\xBB\xBF[G]\nk = \xC3\xA9\n"), "G", "k"), "\xC3\xA9");
    EXPECT_EQ(value(parseIniText("[G]\nk = \xE9\xFF\n"), "G", "k"), "\xC3\xA9\xC3\xBF");
    // Without the mark, UTF-8 bytes are read as two Latin-1 characters each.
    EXPECT_EQ(value(parseIniText("[G]\nk = \xC3\xA9\n"), "G", "k"), "\xC3\x83\xC2\xA9");
}

TEST(IniText, GroupKeyLinesKeepFileOrder) {
    IniLines lines = parseIniText("[A]\nx = 1\n[CLI]\n--b = 2\n; c\n--a = 3\n--b = 4\n[D]\ny = 5\n");
    std::vector<IniLine> cli = groupKeyLines(lines, "cli");
    ASSERT_EQ(cli.size(), 3u);
    EXPECT_EQ(cli[0].name + cli[0].value, "--b2");
    EXPECT_EQ(cli[1].name + cli[1].value, "--a3");
    EXPECT_EQ(cli[2].name + cli[2].value, "--b4");
}

TEST(IniText, WritesTheFileForm) {
    std::string text = startIniText();
    appendIniGroup(text, "General");
    appendIniKey(text, "CFG", "19");
    appendIniComment(text, "");
    EXPECT_EQ(text, "\xEF\xBB\xBF\r\n[General]\r\nCFG = 19\r\n; \r\n");
}

TEST(IniFile, RefusesWhatIsNotARegularReadableFile) {
    TempFolder folder;
    EXPECT_FALSE(readIniFile(folder.path + "missing.ini"));
    EXPECT_FALSE(readIniFile(folder.path));
    EXPECT_FALSE(readIniFile("/dev/zero"));  // a device never ends: refused, not read forever
    writeFileBytes(folder.path + "big.ini", std::string(kMaxIniFileBytes + 1, ';'));
    EXPECT_FALSE(readIniFile(folder.path + "big.ini"));
    writeFileBytes(folder.path + "ok.ini", "[G]\nk = v\n");
    ASSERT_TRUE(readIniFile(folder.path + "ok.ini"));
}
