// The product's format lists: one input family ("png") and one output
// format ("dds"), and the output-format table with the allowed depths.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/text.h"

struct OutputFormatEntry {
    std::string extension;
    std::string description;
    std::string depths;  // allowed bit depths, comma-separated
};

inline const std::vector<std::string> kInputFormatList{"png"};
inline const std::vector<std::string> kOutputFormatList{"dds"};
inline const std::vector<OutputFormatEntry> kOutputFormatTable{{"dds", "DirectDraw Surface", "32"}};

// The allowed depths of an output format, read from its comma-separated
// list as decimal fields (at most 127); empty for an unknown format.
inline std::vector<int> listedDepths(std::string_view extension) {
    constexpr std::size_t kMaxFields = 127;
    std::vector<int> depths;
    for (const OutputFormatEntry& entry : kOutputFormatTable) {
        if (entry.extension != extension) continue;
        std::string_view rest = entry.depths;
        while (!rest.empty() && depths.size() < kMaxFields) {
            const std::size_t comma = rest.find(',');
            depths.push_back(readInteger(rest.substr(0, comma), NumberSyntax::DecimalOnly));
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
    }
    return depths;
}
