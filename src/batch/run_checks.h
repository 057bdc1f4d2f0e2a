// The checks both front ends make before a run and the preparation of the
// job. Each check answers with a code; the console and the window map the
// code to their own texts.
#pragma once

#include <string_view>

#include "engine/watermark_font.h"
#include "settings/batch_job.h"
#include "settings/settings.h"

enum class RunCheck {
    Ok,
    InvalidInput,
    EmptyOutputFolder,
    IncorrectOutputFolder,
    InvalidOutputFolder,
    InvalidConversionType,
    InvalidBitDepth,
    InvalidCompression,
    InvalidWidth,
    InvalidHeight,
    InvalidBrightness,
    InvalidContrast,
    InvalidGamma,
    EmptyWatermarkImage,
    InvalidWatermarkImage,
    InvalidWatermarkFont,
};

// The product's own words for a failed check, as the console prints them
// after "Error: "; empty for Ok.
std::string_view runCheckWords(RunCheck check);

// One value each: true when the setting may be used.
bool validBitDepth(const ConversionSettings& settings);
bool validCompression(const ConversionSettings& settings);
bool validWidth(const ConversionSettings& settings);
bool validHeight(const ConversionSettings& settings);
bool validBrightness(const ConversionSettings& settings);
bool validContrast(const ConversionSettings& settings);
bool validGamma(const ConversionSettings& settings);

// An existing folder (the path ends in "/").
RunCheck checkOutputFolderExists(const std::string& folder);
// The number settings in the order the console reports them: DDS bit
// depth and compression; width and height when resizing; brightness, contrast and gamma
// when the colour correction is on.
RunCheck checkSettingValues(const ConversionSettings& settings);
// The picture watermark's file, when that watermark is chosen.
RunCheck checkWatermarkImage(const ConversionSettings& settings);

// Makes the text watermark's font (kept in `font` until the run is over;
// the job points at it), sets the job's bit depth and readies the DDS
// writer. InvalidWatermarkFont when the font cannot be made.
RunCheck prepareRun(BatchJob& job, const ConversionSettings& settings, WatermarkFontPtr& font);
