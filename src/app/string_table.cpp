// Placeholder table with the console run's texts until the full block is built.
#include "app/string_table.h"

#include <map>

#include "settings/text.h"

struct StringTable {
    std::map<std::string, std::string> entries;
};

StringTable& stringTable() {
    static StringTable table{{{"GENERAL/PREPARING", "Preparing..."},
                              {"GENERAL/IMPORTING", "Importing..."},
                              {"GENERAL/CONVERTING", "Converting..."},
                              {"MSG/IMPORT COMPLETE", "Import complete, new files added: %s1%"},
                              {"MSG/EMPTY INPUT FILES", "No input file(s) found. Please, add valid file(s) and try again!"},
                              {"MSG/CONVERSION COMPLETE", "Conversion complete"},
                              {"MSG/CONVERSION IS NOT COMPLETE", "Conversion stopped"},
                              {"MSG/FILES CONVERTED", "Files converted: %s1% of %s2%"}}};
    return table;
}

std::string lookupString(StringTable& table, std::string_view group, std::string_view key) {
    auto it = table.entries.find(asciiUpper(group) + "/" + asciiUpper(key));
    return it == table.entries.end() ? "%NO_STRING_ERROR%" : it->second;
}

std::string FillPlaceholders(std::string_view text, std::string_view s1, std::string_view s2, std::string_view s3,
                             std::string_view s4) {
    std::string out(text);
    const std::string_view values[] = {s1, s2, s3, s4};
    for (int i = 0; i < 4; ++i) {
        if (values[i].empty()) continue;
        std::string lower = "%s" + std::to_string(i + 1) + "%";
        std::string upper = "%S" + std::to_string(i + 1) + "%";
        out = replaceAll(replaceAll(out, lower, values[i]), upper, values[i]);
    }
    return out;
}
