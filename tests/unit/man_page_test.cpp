// The manual page is written by hand; these tests keep it in step with the
// option tables the parser reads: every option documented, nothing
// documented that the parser does not know, every keyword listed with its
// option, every name-template placeholder explained.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cli/option_reference.h"
#include "engine/naming.h"
#include "settings/text.h"
#include "test_support.h"

namespace {

const std::string kManPage = std::string(SOURCE_DIR) + "/dist/tovrel.1";

// The page as a reader sees its words: font changes dropped, escaped minus
// signs and backslashes turned into plain characters, all in lower case.
std::string plainText(std::string text) {
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    text = replaceAll(text, "\\-", "-");
    text = replaceAll(text, "\\e", "\\");
    return asciiLower(text);
}

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-'; }

// Every word of the text that has the shape of an option: "--name-part..."
// or a single letter (or "?") after one "-", standing alone.
std::set<std::string> optionTokens(const std::string& text) {
    std::set<std::string> tokens;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '-' || (i > 0 && isWordChar(text[i - 1]))) continue;
        std::size_t end = i + 1;
        if (end < text.size() && text[end] == '-') {
            ++end;
            if (end >= text.size() || !std::isalnum(static_cast<unsigned char>(text[end]))) continue;
            while (end < text.size() && isWordChar(text[end])) ++end;
            while (text[end - 1] == '-') --end;
            tokens.insert(text.substr(i, end - i));
        } else if (end < text.size() && (std::isalpha(static_cast<unsigned char>(text[end])) || text[end] == '?') &&
                   (end + 1 >= text.size() || !isWordChar(text[end + 1]))) {
            tokens.insert(text.substr(i, 2));
        }
        i = end - 1;
    }
    return tokens;
}

// One tagged paragraph of the page: its tag lines (.TP and every .TQ) and
// the text up to the next paragraph or section.
struct Entry {
    std::string tags;
    std::string text;
};

std::vector<Entry> taggedParagraphs(const std::string& page) {
    std::vector<Entry> entries;
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < page.size();) {
        std::size_t end = page.find('\n', start);
        if (end == std::string::npos) end = page.size();
        lines.push_back(page.substr(start, end - start));
        start = end + 1;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != ".TP") continue;
        Entry entry;
        std::size_t j = i + 1;
        for (bool tag = true; tag && j < lines.size(); ++j) {
            entry.tags += lines[j] + "\n";
            tag = j + 1 < lines.size() && lines[j + 1] == ".TQ";
            if (tag) ++j;
        }
        for (; j < lines.size(); ++j) {
            const std::string& line = lines[j];
            if (line == ".TP" || line == ".PP" || line.starts_with(".SH") || line.starts_with(".SS")) break;
            entry.text += line + "\n";
        }
        entries.push_back({plainText(entry.tags), plainText(entry.tags + entry.text)});
    }
    return entries;
}

std::set<std::string> words(const std::string& text) {
    std::set<std::string> found;
    std::string word;
    for (char c : text + " ") {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += c;
        } else if (!word.empty()) {
            found.insert(word);
            word.clear();
        }
    }
    return found;
}

class ManPage : public ::testing::Test {
protected:
    std::string source = readFileBytes(kManPage);
    std::string text = plainText(source);
    std::vector<OptionReference> reference = optionReference();
};

}  // namespace

TEST_F(ManPage, DocumentsEveryOptionOfTheTables) {
    ASSERT_FALSE(source.empty()) << kManPage;
    const std::set<std::string> documented = optionTokens(text);
    for (const OptionReference& option : reference) EXPECT_TRUE(documented.count(option.name)) << option.name;
}

TEST_F(ManPage, NamesNoOptionTheTablesLack) {
    std::set<std::string> known;
    for (const OptionReference& option : reference) known.insert(option.name);
    for (const std::string& token : optionTokens(text)) EXPECT_TRUE(known.count(token)) << token;
}

TEST_F(ManPage, ListsTheKeywordsWithEachOption) {
    const std::vector<Entry> entries = taggedParagraphs(source);
    for (const OptionReference& option : reference) {
        if (option.keywords.empty()) continue;
        auto entry = std::find_if(entries.begin(), entries.end(),
                                  [&](const Entry& e) { return optionTokens(e.tags).count(option.name) != 0; });
        ASSERT_NE(entry, entries.end()) << option.name << " has no paragraph of its own";
        const std::set<std::string> said = words(entry->text);
        for (const std::string& keyword : option.keywords)
            EXPECT_TRUE(said.count(keyword)) << option.name << " does not list " << keyword;
    }
}

TEST_F(ManPage, ExplainsEveryNamePlaceholder) {
    for (std::string_view placeholder : kPlaceholders)
        EXPECT_NE(text.find(placeholder), std::string::npos) << placeholder;
}

// The reader itself must see options where the page writes them, or the
// checks above would pass on a page it cannot read.
TEST(ManPageReader, FindsOptionsOnlyWhereTheyStand) {
    EXPECT_EQ(optionTokens(plainText(R"(.BR \-i ", " \fB\-\-wm\-text=\fITEXT\fR (\-?))")),
              (std::set<std::string>{"-i", "--wm-text", "-?"}));
    EXPECT_TRUE(optionTokens(plainText(R"(built\-in \-100 to 100, 1970\-01\-01, %yyyy%\-%mm% \-\- \-)")).empty());
    const std::vector<Entry> entries = taggedParagraphs(".TP\n.BI \\-\\-a= X\n.TQ\n.B \\-\\-b\nbody one\n.PP\nafter\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(optionTokens(entries[0].tags), (std::set<std::string>{"--a", "--b"}));
    EXPECT_EQ(words(entries[0].text).count("after"), 0u);
    EXPECT_EQ(words(entries[0].text).count("one"), 1u);
}
