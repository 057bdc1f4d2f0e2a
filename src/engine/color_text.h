// The colour-text rule shared by the rotation background, the frame bands
// and the watermark colours: exactly six characters RRGGBB in hexadecimal
// (either letter case); any other text means black.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct RgbColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const RgbColor&) const = default;
};

RgbColor colorFromText(std::string_view text);
// red + green x 256 + blue x 65536, as the preferences dialog stores colours.
std::uint32_t hexToColor(std::string_view text);
// The six upper-case hexadecimal digits of such a value, red first.
std::string colorToHex(std::uint32_t color);
