#include "engine/color_text.h"

#include <cstdio>
#include <string>

#include "settings/text.h"

namespace {
// One channel: a pair of characters read as a hexadecimal number, leading
// digits only ("1Z" is 1, "ZZ" is 0).
std::uint8_t channel(std::string_view pair) {
    return static_cast<std::uint8_t>(readInteger("$" + std::string(pair)) & 0xFF);
}
}  // namespace

RgbColor colorFromText(std::string_view text) {
    if (codePointCount(text) != 6 || text.size() != 6) return {};
    return {channel(text.substr(0, 2)), channel(text.substr(2, 2)), channel(text.substr(4, 2))};
}

std::uint32_t hexToColor(std::string_view text) {
    RgbColor c = colorFromText(text);
    return c.red + c.green * 256u + c.blue * 65536u;
}

std::string colorToHex(std::uint32_t color) {
    char text[7];
    std::snprintf(text, sizeof text, "%02X%02X%02X", color & 0xFFu, (color >> 8) & 0xFFu, (color >> 16) & 0xFFu);
    return text;
}
