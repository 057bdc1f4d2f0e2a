#include <gtest/gtest.h>

#include <cmath>

#include "settings/text.h"

TEST(NumberReader, ReadsEachSyntax) {
    struct Case { const char* text; int expected; } cases[] = {
        {"800", 800}, {"  -15", -15}, {"+7", 7}, {"$1F", 31}, {"%101", 5}, {"12px", 12},
        {"abc", 0}, {"", 0}, {"$", 0}, {"-$10", -16}, {"\t42", 42},
        {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(readInteger(c.text), c.expected) << c.text;
    EXPECT_EQ(readInteger("$1F", NumberSyntax::DecimalOnly), 0);
}

TEST(DecimalReader, ReadsNumbersAndWords) {
    EXPECT_DOUBLE_EQ(readDecimal("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(readDecimal("-0.25x"), -0.25);
    EXPECT_DOUBLE_EQ(readDecimal("abc"), 0.0);
    EXPECT_TRUE(std::isinf(readDecimal("+Infinity")) && readDecimal("+Infinity") > 0);
    EXPECT_TRUE(std::isinf(readDecimal("-Infinity")) && readDecimal("-Infinity") < 0);
    EXPECT_TRUE(std::isnan(readDecimal("NaN")));
    EXPECT_DOUBLE_EQ(readDecimal("inf"), 0.0);
}

TEST(TextCase, MapsPerCodePoint) {
    EXPECT_EQ(toUpperText("my Pic \xC3\xA9t\xC3\xA9"), "MY PIC \xC3\x89T\xC3\x89");
    EXPECT_EQ(toLowerText("HELLO \xC3\x89"), "hello \xC3\xA9");
    EXPECT_EQ(toTitleText("hELLO"), "Hello");
    EXPECT_EQ(toUpperText("a\xFF" "b"), "A\xFF" "B");  // invalid byte kept
}

TEST(TextTrim, CleanTextRemovesControlCharacters) {
    EXPECT_EQ(cleanText("  a\tb\r\nc  "), "abc");
    EXPECT_EQ(cleanText(""), "");
    EXPECT_EQ(trimSpaces("  x y  "), "x y");
    EXPECT_EQ(trimSpacesAndTabs("\t x \t"), "x");
}

TEST(TextCodePoints, CountsAndCuts) {
    EXPECT_EQ(codePointCount("\xC3\xA9t\xC3\xA9"), 3u);
    EXPECT_EQ(firstCodePoints("\xC3\xA9t\xC3\xA9", 2), "\xC3\xA9t");
}
