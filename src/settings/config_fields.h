// The field table of the configuration file: one row per key, in the order
// the keys are written, naming the record field each key holds.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "settings/field_ref.h"
#include "settings/settings.h"

enum class WriteRule {
    Always,
    WithWindowPosition,  // Window keys: only when Save Window Position is on
    InputFormat,         // written only when `format` is in the input-format list
    OutputFormat,        // written only when `format` is in the output-format list
};

struct ConfigField {
    const char* group;
    const char* key;
    std::variant<FieldPtr<InterfaceSettings>, FieldPtr<ConversionSettings>> field;
    WriteRule rule = WriteRule::Always;
    const char* format = "";  // the format family of a per-format key
};

const std::vector<ConfigField>& configFields();

// The groups in the order they are written.
const std::vector<const char*>& configGroups();

// The configuration text of a row's field in the records.
std::string configFieldText(const ConfigField& row, const ConversionSettings& conversion,
                            const InterfaceSettings& interface);
// Stores a value read from the file into the row's field.
void assignConfigField(const ConfigField& row, std::string_view text, ConversionSettings& conversion,
                       InterfaceSettings& interface);
