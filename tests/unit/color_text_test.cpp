#include <gtest/gtest.h>

#include "engine/color_text.h"
#include "settings/text.h"

TEST(ColorText, ReadsSixHexDigitsElseBlack) {
    struct Case { const char* text; RgbColor expected; } cases[] = {
        {"FF8000", {255, 128, 0}}, {"ff8000", {255, 128, 0}}, {"000000", {0, 0, 0}},
        {"0000FF", {0, 0, 255}}, {"FFF", {}}, {"FF80000", {}}, {"", {}}, {"#FF800", {0, 248, 0}},
        {"1Z2Z3Z", {1, 2, 3}}, {"\xC3\xA9\xC3\xA9\xC3\xA9", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(colorFromText(c.text), c.expected) << c.text;
    EXPECT_EQ(hexToColor("FF8000"), 255u + 128u * 256u);
}

TEST(ColorText, ColourValueWritesUpperCaseRedFirst) {
    struct Case { std::uint32_t color; const char* text; } cases[] = {
        {255u + 128u * 256u, "FF8000"}, {0u, "000000"}, {0xFFFFFFu, "FFFFFF"}, {0x0A0B0Cu, "0C0B0A"},
        {0xFF000000u | 0x010203u, "030201"},  // bits above blue are not a colour
    };
    for (const auto& c : cases) EXPECT_EQ(colorToHex(c.color), c.text);
    for (const char* text : {"12ab34", "C0C0C0"}) EXPECT_EQ(colorToHex(hexToColor(text)), asciiUpper(text));
}
