// One conversion case built from arbitrary bytes: the first
// kCaseHeaderSize bytes choose the settings (rotation, resize, flips and
// colour stages, frame, text or picture watermark, name template, output
// timestamp, DDS compression); the rest is the input file. Shared by the fuzz target and
// the regression test that replays its findings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

inline constexpr std::size_t kCaseHeaderSize = 40;

struct ConvertCase {
    ConversionSettings settings;
    std::string_view file;  // the bytes after the header
};

// Header bytes past the end of the input read as 0.
ConvertCase decodeConvertCase(const std::uint8_t* data, std::size_t size);

// The chosen settings on one line, for triage.
std::string describeConvertCase(const ConvertCase& convertCase);

struct ConvertCaseResult {
    bool converted = false;
    // Entries of the output folder that should not be there: anything
    // after a failure, anything but the output file after a success.
    std::vector<std::string> leftovers;
};

// Writes the file to folder + "in.png" (also the picture watermark),
// converts it into folder + "out/" as a console run would (DDS writer set
// up, watermark font created, output timestamp applied), then empties
// "out/". `folder` ends with "/".
ConvertCaseResult runConvertCase(const ConvertCase& convertCase, const std::string& folder);
