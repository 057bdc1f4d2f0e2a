// The inside of the watermark font, for the text renderer only: a pango
// font description resolved through fontconfig, and the layouts drawn
// with it.
#pragma once

#include <glib-object.h>
#include <memory>
#include <mutex>
#include <pango/pangocairo.h>
#include <string>
#include <string_view>

#include "engine/handle.h"
#include "engine/watermark_font.h"

using FontDescriptionPtr = Handle<PangoFontDescription, pango_font_description_free>;
using LayoutPtr = Handle<PangoLayout, g_object_unref>;

struct WatermarkFont {
    std::string family;  // the installed family the face resolved to
    int pixelSize = 0;
    bool underline = false;
    bool strikeOut = false;
    FontDescriptionPtr description;
};

// Largest font size accepted, in points: its pixel size is the largest
// canvas side, so no glyph of an accepted font is beyond drawing.
inline constexpr int kMaxFontPoints = 24575;

// Points to pixels at 96 dots per inch, halves rounded away from zero as
// the Windows multiply-divide does (14 points are 19 pixels).
long long fontPixelSize(long long points);

// A single-paragraph layout in the font for drawing on `context`; plain
// text is drawn without antialiasing, with whole-pixel glyph advances.
// Callers hold watermarkFontLock() while they use it.
LayoutPtr createWatermarkLayout(cairo_t* context, const WatermarkFont& font, bool antialiased);

// The text renderer shares one pango font map; only one thread may use it.
std::unique_lock<std::mutex> watermarkFontLock();
