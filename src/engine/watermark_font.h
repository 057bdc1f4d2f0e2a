// The watermark font: created by the controller before a run that draws a
// text watermark, read by applyWatermark, released after the run.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "settings/settings.h"

struct WatermarkFont;
struct WatermarkFontDeleter {
    void operator()(WatermarkFont* font) const noexcept;
};
using WatermarkFontPtr = std::unique_ptr<WatermarkFont, WatermarkFontDeleter>;

// Face Font, size Font Size points at 96 dpi, style from Font Style and
// Font Effect. Null when the face is not installed.
WatermarkFontPtr createWatermarkFont(const ConversionSettings& settings);

// The installed family fontconfig gives for the face: the face itself
// (letter case ignored) or a family its configuration substitutes for that
// name with strong binding ("Arial" gives "Liberation Sans"). Empty when
// the face only reaches a generic fallback.
std::string resolveFontFamily(std::string_view face);

