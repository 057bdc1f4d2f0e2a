#include <gtest/gtest.h>

#include "engine/color_text.h"

TEST(ColorText, ReadsSixHexDigitsElseBlack) {
    struct Case { const char* text; RgbColor expected; } cases[] = {
        {"FF8000", {255, 128, 0}}, {"ff8000", {255, 128, 0}}, {"000000", {0, 0, 0}},
        {"0000FF", {0, 0, 255}}, {"FFF", {}}, {"FF80000", {}}, {"", {}}, {"#FF800", {0, 248, 0}},
        {"1Z2Z3Z", {1, 2, 3}}, {"\xC3\xA9\xC3\xA9\xC3\xA9", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(colorFromText(c.text), c.expected) << c.text;
    EXPECT_EQ(hexToColor("FF8000"), 255u + 128u * 256u);
}
