// The image stages of the conversion pipeline. Every stage has one shape:
// it takes the current image, the settings and the job, and returns the
// image to continue with; a disabled stage or a null image passes through
// unchanged. kStageOrder is the one place that fixes their order.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "engine/image.h"
#include "settings/batch_job.h"
#include "settings/settings.h"

using Stage = ImagePtr (*)(ImagePtr image, const ConversionSettings& settings, BatchJob& job);

ImagePtr applyRotation(ImagePtr image, const ConversionSettings& settings, BatchJob& job);         // rotate.cpp
ImagePtr applyResize(ImagePtr image, const ConversionSettings& settings, BatchJob& job);           // resize.cpp
ImagePtr applyToneMapping(ImagePtr image, const ConversionSettings& settings, BatchJob& job);      // tone_map.cpp
ImagePtr applyFlip(ImagePtr image, const ConversionSettings& settings, BatchJob& job);             // flip.cpp
ImagePtr applyColorCorrection(ImagePtr image, const ConversionSettings& settings, BatchJob& job);  // color_correction.cpp
ImagePtr applyGreyscale(ImagePtr image, const ConversionSettings& settings, BatchJob& job);        // greyscale.cpp
ImagePtr applyThreshold(ImagePtr image, const ConversionSettings& settings, BatchJob& job);        // threshold.cpp
ImagePtr applyDither(ImagePtr image, const ConversionSettings& settings, BatchJob& job);           // dither.cpp
ImagePtr applyFrame(ImagePtr image, const ConversionSettings& settings, BatchJob& job);            // frame.cpp
ImagePtr applyWatermark(ImagePtr image, const ConversionSettings& settings, BatchJob& job);        // watermark.cpp
ImagePtr applyBitDepth(ImagePtr image, const ConversionSettings& settings, BatchJob& job);         // bit_depth.cpp

struct StageRow {
    std::string_view name;
    Stage apply;
};

// Geometry first, so that frame and watermark are laid out on the size
// after rotation and resizing; tone mapping before the colour stages, which
// work on 8 bits per channel; the output depth last.
inline constexpr std::array<StageRow, 11> kStageOrder{{
    {"rotation", applyRotation},
    {"resize", applyResize},
    {"tone mapping", applyToneMapping},
    {"flip", applyFlip},
    {"colour correction", applyColorCorrection},
    {"greyscale", applyGreyscale},
    {"threshold", applyThreshold},
    {"dither", applyDither},
    {"frame", applyFrame},
    {"watermark", applyWatermark},
    {"bit depth", applyBitDepth},
}};

// Runs the given stages in their order, each on the image the previous one
// returned.
ImagePtr runStages(ImagePtr image, std::span<const StageRow> stages, const ConversionSettings& settings,
                   BatchJob& job);  // convert.cpp
