// The watermark's parts: the text expansion, the text box and the picture,
// each rendered as a 32-bit straight-alpha bitmap of its natural size that
// applyWatermark (stages.h) rotates, places and composites.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/image.h"
#include "settings/batch_job.h"
#include "settings/settings.h"

struct WatermarkFont;

// Text with the name-template placeholders replaced (every occurrence, any
// letter case) when it holds two or more percent signs; which placeholders
// are replaced is decided by the text as configured, not by the values.
std::string expandWatermarkText(const ConversionSettings& settings, const BatchJob& job);

// The text cut into lines at every "%EOL%", in any letter case.
std::vector<std::string> splitWatermarkLines(std::string_view text);

// The text box: lines, padding, leading, alignment, colours, opacities and
// antialiasing from the settings. Null when the box is empty or too large.
ImagePtr renderTextWatermark(std::string_view text, const WatermarkFont& font, const ConversionSettings& settings);

// The picture of Image (PNG, JPEG or BMP, recognised by content) on a
// transparent canvas with Image Opacity and the Image Greyscale filter.
// Null when the file is missing or not such a picture.
ImagePtr renderPictureWatermark(const ConversionSettings& settings);
