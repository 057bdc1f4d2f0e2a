// The image stages of the conversion pipeline. Every stage has one shape:
// it takes the current image, the settings and the job, and returns the
// image to continue with; a disabled stage or a null image passes through
// unchanged. kStageOrder is the one place that fixes their order.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "engine/image.h"
#include "engine/image_limits.h"
#include "settings/batch_job.h"
#include "settings/settings.h"

using Stage = ImagePtr (*)(ImagePtr image, const ConversionSettings& settings, BatchJob& job);
// Whether the stage hands a 32-bit picture of this size back as it came,
// known before the picture is decoded.
using LeavesAsIs = bool (*)(const ConversionSettings& settings, const BatchJob& job, ImageExtent size);

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

bool rotationLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // rotate.cpp
bool resizeLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // resize.cpp
bool toneMappingLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // tone_map.cpp
bool flipLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // flip.cpp
bool colorCorrectionLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // color_correction.cpp
bool greyscaleLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // greyscale.cpp
bool thresholdLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // threshold.cpp
bool ditherLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // dither.cpp
bool frameLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // frame.cpp
bool watermarkLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // watermark.cpp
bool bitDepthLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size); // bit_depth.cpp

// The bit depth stage's choice of job.targetBitDepth from the output
// format's depths, the source depth and the "automatic" switch.
void decideTargetDepth(BatchJob& job);  // bit_depth.cpp

struct StageRow {
    std::string_view name;
    Stage apply;
    LeavesAsIs leavesAsIs;
};

// Geometry first, so that frame and watermark are laid out on the size
// after rotation and resizing; tone mapping before the colour stages, which
// work on 8 bits per channel; the output depth last.
inline constexpr std::array<StageRow, 11> kStageOrder{{
    {"rotation", applyRotation, rotationLeavesAsIs},
    {"resize", applyResize, resizeLeavesAsIs},
    {"tone mapping", applyToneMapping, toneMappingLeavesAsIs},
    {"flip", applyFlip, flipLeavesAsIs},
    {"colour correction", applyColorCorrection, colorCorrectionLeavesAsIs},
    {"greyscale", applyGreyscale, greyscaleLeavesAsIs},
    {"threshold", applyThreshold, thresholdLeavesAsIs},
    {"dither", applyDither, ditherLeavesAsIs},
    {"frame", applyFrame, frameLeavesAsIs},
    {"watermark", applyWatermark, watermarkLeavesAsIs},
    {"bit depth", applyBitDepth, bitDepthLeavesAsIs},
}};

// Every stage hands a 32-bit picture of this size back as it came: the
// conversion then only changes the format.
bool everyStageLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size);  // stages.cpp

// Runs the given stages in their order, each on the image the previous one
// returned.
ImagePtr runStages(ImagePtr image, std::span<const StageRow> stages, const ConversionSettings& settings,
                   BatchJob& job);  // stages.cpp
