#include "settings/profile.h"

#include "settings/ini_text.h"
#include "settings/options.h"
#include "settings/text.h"

bool LoadProfile(const std::string& path, ConversionSettings& settings) {
    if (path.empty()) return false;
    std::optional<IniLines> lines = readIniFile(path);
    if (!lines) return false;
    for (const IniLine& line : groupKeyLines(*lines, "CLI"))
        if (const SettingOption* option = findSettingOption(toUpperText(line.name), kInProfile))
            applySettingOption(*option, line.value, settings);
    return true;
}
