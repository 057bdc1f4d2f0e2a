// The product's format lists: one input family ("png") and one output
// format ("dds"), and the output-format table with the allowed depths.
#pragma once

#include <string>
#include <vector>

struct OutputFormatEntry {
    std::string extension;
    std::string description;
    std::string depths;  // allowed bit depths, comma-separated
};

inline const std::vector<std::string> kInputFormatList{"png"};
inline const std::vector<std::string> kOutputFormatList{"dds"};
inline const std::vector<OutputFormatEntry> kOutputFormatTable{{"dds", "DirectDraw Surface", "32"}};
