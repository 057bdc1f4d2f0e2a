// The setting options: one row per option, read by the command-line parser
// and the profile reader alike. The run options (-I, -O, ...) are the
// parser's own and are not here, so a profile cannot name them.
#pragma once

#include <string_view>
#include <vector>

#include "settings/field_ref.h"
#include "settings/settings.h"

enum class ValueRule {
    Keyword,  // looked up in the row's keyword table; unknown gives 0
    Number,   // readInteger with "$" hex and "%" binary
    Decimal,  // readDecimal
    Text,     // stored as given (the command line joins and strips quotes first)
    Flag,     // no value; stores flagValue
};

// Where an option name is recognised. The frame opacity has one name on
// the command line and another in profiles.
enum OptionPlace : unsigned { kOnCommandLine = 1, kInProfile = 2, kEverywhere = 3 };

// A switch that an option turns on once its value has passed its check
// (--WIDTH turns resizing on, --WM-IMAGE makes the watermark a picture).
struct SwitchEffect {
    uint8 ConversionSettings::*field = nullptr;
    uint8 value = 0;
};

struct SettingOption {
    const char* name;  // upper case, with the leading "--"
    ValueRule rule;
    FieldPtr<ConversionSettings> field;
    int keywordTable = -1;  // KeywordTableId for ValueRule::Keyword
    SwitchEffect sets;
    int flagValue = 1;  // what a flag stores (--NO-SUBFOLDERS stores 0)
    unsigned places = kEverywhere;
};

const std::vector<SettingOption>& settingOptions();

// The row named `upperName` (already upper case) that is recognised at
// `place`, or nullptr.
const SettingOption* findSettingOption(std::string_view upperName, OptionPlace place);

// Stores the value by the row's rule and sets its switch. Flags ignore the
// value.
void applySettingOption(const SettingOption& option, std::string_view value, ConversionSettings& settings);
