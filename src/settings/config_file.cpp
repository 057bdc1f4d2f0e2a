#include "settings/config_file.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "settings/config_fields.h"
#include "settings/formats.h"
#include "settings/file_kind.h"
#include "settings/ini_text.h"
#include "settings/paths.h"
#include "settings/product.h"
#include "settings/text.h"

namespace {

// The layout version every save writes; older files are migrated on load.
constexpr int32 kConfigLayout = 19;

bool listHolds(const std::vector<std::string>& list, const char* format) {
    return std::find(list.begin(), list.end(), format) != list.end();
}

// Keys that older layouts used for the colour modes.
constexpr std::pair<const char*, const char*> kPsdColorModel{"Input", "PSD Color Model"};
constexpr std::pair<const char*, const char*> kTiffColorModel{"Output", "TIFF Color Model"};

std::string lookupName(std::string_view group, std::string_view key) {
    return asciiLower(group) + '\n' + asciiLower(key);
}

// The values the loader asks for, found in one pass over the file: for each
// group and key (letter case ignored) the first line that has them. Only
// these are kept, so a huge file of other lines costs no more than its text.
struct WantedValues {
    std::unordered_map<std::string, std::optional<std::string>> byName;

    std::optional<std::string> find(std::string_view group, std::string_view key) const {
        const auto found = byName.find(lookupName(group, key));
        return found == byName.end() ? std::nullopt : found->second;
    }
};

WantedValues findWantedValues(std::string_view bytes) {
    WantedValues wanted;
    for (const ConfigField& row : configFields()) wanted.byName[lookupName(row.group, row.key)];
    for (const auto& [group, key] : {kPsdColorModel, kTiffColorModel}) wanted.byName[lookupName(group, key)];
    std::string name;
    forEachIniKey(bytes, [&](std::string_view group, std::string_view key, std::string_view value) {
        name = lookupName(group, key);
        const auto found = wanted.byName.find(name);
        if (found != wanted.byName.end() && !found->second) found->second = std::string(value);
    });
    return wanted;
}

void loadFields(const WantedValues& values, ConversionSettings& conversion, InterfaceSettings& interface) {
    for (const ConfigField& row : configFields())
        if (std::optional<std::string> value = values.find(row.group, row.key))
            assignConfigField(row, *value, conversion, interface);
}

// A non-zero value of an older colour-mode key wins over the newer key.
void migrateColorModels(const WantedValues& values, ConversionSettings& conversion) {
    int32 psd = 0, tiff = 0;
    if (auto value = values.find(kPsdColorModel.first, kPsdColorModel.second)) assignConfigText(psd, *value);
    if (auto value = values.find(kTiffColorModel.first, kTiffColorModel.second)) assignConfigText(tiff, *value);
    if (psd != 0) conversion.PSDColorMode = psd;
    if (tiff != 0) conversion.TIFFColorMode = tiff;
}

void migrate(const WantedValues& values, ConversionSettings& conversion, int32 layout) {
    if (layout < 11 && conversion.FilenameMask.find("%ext%") == std::string::npos)
        conversion.FilenameMask += ".%ext%";
    // RAW depths 2 and 3 were inserted into the list at layout 14.
    if (layout < 14 && conversion.RAWLoadAs != 0) conversion.RAWLoadAs += 2;
    if (layout < 19) migrateColorModels(values, conversion);
}

bool rowIsWritten(const ConfigField& row, const InterfaceSettings& interface) {
    switch (row.rule) {
        case WriteRule::Always: return true;
        case WriteRule::WithWindowPosition: return interface.SaveWindowPosition != 0;
        case WriteRule::InputFormat: return listHolds(kInputFormatList, row.format);
        case WriteRule::OutputFormat: return listHolds(kOutputFormatList, row.format);
    }
    return false;
}

// Per-format keys follow the group's other keys, in the order of the
// product's format list and then of the table.
std::vector<const ConfigField*> rowsOfGroup(std::string_view group) {
    std::vector<const ConfigField*> rows;
    for (const ConfigField& row : configFields())
        if (row.group == group && row.format[0] == '\0') rows.push_back(&row);
    for (const auto* list : {&kInputFormatList, &kOutputFormatList})
        for (const std::string& format : *list)
            for (const ConfigField& row : configFields())
                if (row.group == group && row.format == format) rows.push_back(&row);
    return rows;
}

// The first free name of config.ini.bak, config.ini.bak.1, .2, ... that the
// file could be kept under.
bool keepUnderNewBackupName(const std::string& path) {
    constexpr int kMostBackups = 1000;
    for (int number = 0; number < kMostBackups; ++number) {
        const std::string backup = path + ".bak" + (number == 0 ? std::string() : "." + std::to_string(number));
        if (fileKind(backup) != FileKind::Missing) continue;
        if (keepUnreadableFile(path, backup)) return true;
        if (fileKind(backup) == FileKind::Missing) return false;  // failed for another reason than the name
    }
    return false;
}

}  // namespace

std::string configFilePath() {
    std::string product = kProductName;
    std::string maker = product.substr(0, product.find(' '));
    std::string folder = prepareConfigFolder(maker, kConfigProductFolder);
    // Without a folder there is no file: never a config.ini relative to the
    // current folder.
    return folder.empty() ? std::string() : folder + kConfigFileName;
}

void LoadConfiguration(const std::string& path, ConversionSettings& conversion, InterfaceSettings& interface) {
    const std::optional<std::string> bytes = readIniBytes(path);
    if (!bytes) {
        ResetToDefaults(conversion, interface, false);
        return;
    }
    ConversionSettings loadedConversion;
    InterfaceSettings loadedInterface;
    ResetToDefaults(loadedConversion, loadedInterface, false);
    // Defaults that differ for a key missing from an existing file.
    loadedInterface.CFG = 0;
    loadedInterface.X = 100;
    loadedInterface.Y = 100;
    const WantedValues values = findWantedValues(*bytes);
    loadFields(values, loadedConversion, loadedInterface);
    migrate(values, loadedConversion, loadedInterface.CFG);
    conversion = std::move(loadedConversion);
    interface = std::move(loadedInterface);
}

std::string configurationText(const ConversionSettings& conversion, const InterfaceSettings& interface) {
    InterfaceSettings written = interface;
    written.CFG = kConfigLayout;
    std::string text = startIniText();
    for (const char* group : configGroups()) {
        appendIniGroup(text, group);
        for (const ConfigField* row : rowsOfGroup(group)) {
            if (rowIsWritten(*row, written)) appendIniKey(text, row->key, configFieldText(*row, conversion, written));
        }
        appendIniComment(text, "");
    }
    return text;
}

bool SaveConfiguration(const std::string& path, const ConversionSettings& conversion,
                       const InterfaceSettings& interface) {
    if (path.empty()) return false;
    const std::optional<std::string> target = linkTarget(path);
    if (!target) return false;
    const FileKind kind = fileKind(*target);
    if (kind == FileKind::Missing) return replaceFileContent(*target, configurationText(conversion, interface));
    // Only a regular file the user may read and write is replaced: a device,
    // a FIFO or a folder under the name, a read-only file or one the user
    // cannot read all stay as they are, and nothing is saved.
    if (kind != FileKind::Regular || !mayReadAndWrite(*target)) return false;
    // A file the loader could not read (too large, damaged) gave the
    // defaults; saving them over it would lose every setting it holds, so it
    // is kept under a backup name first, never over an earlier backup.
    if (!readIniBytes(*target) && !keepUnderNewBackupName(*target)) return false;
    return replaceFileContent(*target, configurationText(conversion, interface));
}
