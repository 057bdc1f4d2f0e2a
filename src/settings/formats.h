// The product's formats in one place: the input-format table and the input
// families taken (one: "png"), the accepted extensions derived from them,
// the one output format ("dds") and the output-format table with the
// allowed depths.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "settings/text.h"

struct OutputFormatEntry {
    std::string extension;
    std::string description;
    std::string depths;  // allowed bit depths, comma-separated
};

struct InputFormatRow {
    std::string_view extension;  // lower case
    std::string_view family;     // the extension naming the format family
    std::string_view description;
};

inline constexpr std::array<InputFormatRow, 1> kInputFormatTable{{
    {"png", "png", "Portable Network Graphics"},
}};

inline const std::vector<std::string> kInputFormatList{"png"};
inline const std::vector<std::string> kOutputFormatList{"dds"};
inline const std::vector<OutputFormatEntry> kOutputFormatTable{{"dds", "DirectDraw Surface", "32"}};

// Every extension of the input-format table whose family is in the
// input-format list.
inline std::vector<std::string> acceptedInputExtensions() {
    std::vector<std::string> accepted;
    for (const InputFormatRow& row : kInputFormatTable)
        if (std::find(kInputFormatList.begin(), kInputFormatList.end(), row.family) != kInputFormatList.end())
            accepted.emplace_back(row.extension);
    return accepted;
}

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
