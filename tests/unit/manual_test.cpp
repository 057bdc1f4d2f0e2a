// The user manual must describe every option the program accepts and every
// name-template placeholder; the lists come from the program's own tables,
// so a new option without a manual entry fails here.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "settings/options.h"
#include "engine/naming.h"
#include "settings/keywords.h"
#include "settings/paths.h"
#include "settings/text.h"

namespace {

std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

const std::string& manualText() {
    static const std::string text = readWholeFile(std::string(SOURCE_DIR) + "/doc/tovrel.html");
    return text;
}

bool isNameCharacter(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'; }

// The name as a whole word (not the start of a longer option name), any
// letter case.
bool mentions(std::string_view text, std::string_view name) {
    const std::string lowerText = asciiLower(text);
    const std::string lowerName = asciiLower(name);
    for (std::size_t at = lowerText.find(lowerName); at != std::string::npos; at = lowerText.find(lowerName, at + 1)) {
        const std::size_t end = at + lowerName.size();
        const bool startsWord = at == 0 || !isNameCharacter(lowerText[at - 1]);
        const bool endsWord = end == lowerText.size() || !isNameCharacter(lowerText[end]);
        if (startsWord && endsWord) return true;
    }
    return false;
}

// The table row that describes the option, from its first cell to "</tr>".
std::string optionRow(std::string_view name) {
    const std::string start = "<tr><td><code>" + std::string(name) + "</code>";
    const std::size_t at = manualText().find(start);
    if (at == std::string::npos) return {};
    return manualText().substr(at, manualText().find("</tr>", at) - at);
}

// The keywords an option accepts, upper case. Compression keywords depend
// on the format named at the start of the option ("--TIFF-COMPRESSION").
std::vector<std::string> keywordsOf(const SettingOption& option) {
    std::string format;
    if (option.keywordTable == kCompression) {
        std::string_view name = option.name;
        format = asciiLower(name.substr(2, name.find('-', 2) - 2));
    }
    std::vector<std::string> keywords;
    for (int value = 0; value < 64; ++value) {
        std::string keyword = ValueToKeyword(option.keywordTable, value, format);
        if (!keyword.empty()) keywords.push_back(asciiUpper(keyword));
    }
    return keywords;
}

TEST(Manual, IsNotEmpty) { ASSERT_GT(manualText().size(), 10000u); }

TEST(Manual, DescribesEverySettingOptionInATableRow) {
    for (const SettingOption& option : settingOptions()) {
        if ((option.places & kOnCommandLine) != 0)
            EXPECT_FALSE(optionRow(option.name).empty()) << option.name << " has no row in the manual";
        else
            EXPECT_TRUE(mentions(manualText(), option.name)) << option.name << " is not mentioned in the manual";
    }
}

TEST(Manual, ListsEveryKeywordOfAChoiceOptionInItsRow) {
    for (const SettingOption& option : settingOptions()) {
        if (option.rule != ValueRule::Keyword) continue;
        const std::string row = optionRow(option.name);
        const std::vector<std::string> keywords = keywordsOf(option);
        ASSERT_FALSE(keywords.empty()) << option.name;
        for (const std::string& keyword : keywords)
            EXPECT_NE(row.find("<code>" + keyword + "</code>"), std::string::npos)
                << option.name << " row lacks " << keyword;
    }
}

TEST(Manual, ExplainsEveryNameTemplatePlaceholder) {
    for (std::string_view placeholder : kPlaceholders)
        EXPECT_NE(manualText().find("<tr><td><code>" + std::string(placeholder) + "</code>"), std::string::npos)
            << placeholder;
    EXPECT_NE(manualText().find("%eol%"), std::string::npos);
}

TEST(Manual, TheBuildPutsItBesideTheProgram) {
    const std::string besideProgram = folderPart(TOVREL_BINARY) + "tovrel.html";
    EXPECT_EQ(readWholeFile(besideProgram), manualText()) << besideProgram;
}

TEST(Manual, OptionMentionsAreWholeWords) {
    EXPECT_TRUE(mentions("use <code>--width-unit</code> here", "--WIDTH-UNIT"));
    EXPECT_FALSE(mentions("use --width-unit here", "--WIDTH"));
    EXPECT_FALSE(mentions("use --fr-solid-left-color here", "--FR-SOLID-LEFT"));
}

}  // namespace
