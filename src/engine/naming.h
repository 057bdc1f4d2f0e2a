// Output file naming: the name template with its 18 placeholders, shared by
// the output path and the text watermark, and the temporary save name.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "settings/batch_job.h"
#include "settings/settings.h"

// The placeholders in the fixed order in which they are processed.
inline constexpr std::array<std::string_view, 18> kPlaceholders{
    "%filename%", "%filename[u]%", "%filename[l]%", "%filename[t]%", "%ext%", "%ext[u]%",
    "%ext[t]%", "%yyyy%", "%mm%", "%dd%", "%hh%", "%ii%", "%ss%", "%bpp%", "%width%",
    "%height%", "%rnd%", "%n%"};

// Value of placeholder number `index` (into kPlaceholders) for the file in hand.
std::string placeholderValue(std::size_t index, const BatchJob& job);
// The text with every occurrence of the placeholder, in any letter case,
// replaced by its value.
std::string replacePlaceholder(std::string_view text, std::size_t index, const BatchJob& job);
// The Filename Mask lower-cased (empty: "%filename%.%ext%"), each placeholder
// that occurs replaced in table order.
std::string expandNameTemplate(const BatchJob& job, const ConversionSettings& settings);
// outputFolder, then inputSubfolder when Keep Subfolders is on, then the name.
std::string buildOutputPath(const BatchJob& job, const ConversionSettings& settings);
// The name without its last extension and dot.
std::string stripExtension(std::string_view name);

// "tovrel" followed by fifteen random lower-case letters.
std::string makeUniqueName();
// outputFolder + a unique name + "." + outputExtension that does not exist yet.
std::string buildTempPath(const BatchJob& job);
