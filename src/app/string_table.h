// Every user-visible text of the window mode, and the few the console run
// prints from the same vocabulary, looked up by group and key.
#pragma once

#include <string>
#include <string_view>

struct StringTable;  // defined in string_table.cpp

// The process-wide table, built from the built-in English block on first use.
StringTable& stringTable();
// Text for (group, key), matched without regard to case, or
// "%NO_STRING_ERROR%" when either is missing.
std::string lookupString(StringTable& table, std::string_view group, std::string_view key);
// Replaces %s1% .. %s4% (any case of the s) in that order; an empty value
// leaves its placeholder in place.
std::string FillPlaceholders(std::string_view text, std::string_view s1 = {}, std::string_view s2 = {},
                             std::string_view s3 = {}, std::string_view s4 = {});
