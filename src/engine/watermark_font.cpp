// Placeholder until the watermark is built: every face is accepted.
#include "engine/watermark_font.h"

struct WatermarkFont {};

void WatermarkFontDeleter::operator()(WatermarkFont* font) const noexcept { delete font; }

WatermarkFontPtr createWatermarkFont(const ConversionSettings&) { return WatermarkFontPtr(new WatermarkFont); }
