#include "settings/config_file.h"

#include <algorithm>
#include <optional>

#include "settings/config_fields.h"
#include "settings/formats.h"
#include "settings/file_kind.h"
#include "settings/ini_text.h"
#include "settings/paths.h"
#include "settings/product.h"

namespace {

// The layout version every save writes; older files are migrated on load.
constexpr int32 kConfigLayout = 19;

bool listHolds(const std::vector<std::string>& list, const char* format) {
    return std::find(list.begin(), list.end(), format) != list.end();
}

void loadFields(const IniLines& lines, ConversionSettings& conversion, InterfaceSettings& interface) {
    for (const ConfigField& row : configFields())
        if (std::optional<std::string> value = findIniValue(lines, row.group, row.key))
            assignConfigField(row, *value, conversion, interface);
}

// Keys that older layouts used for the colour modes; a non-zero value wins
// over the newer key.
void migrateColorModels(const IniLines& lines, ConversionSettings& conversion) {
    int32 psd = 0, tiff = 0;
    if (auto value = findIniValue(lines, "Input", "PSD Color Model")) assignConfigText(psd, *value);
    if (auto value = findIniValue(lines, "Output", "TIFF Color Model")) assignConfigText(tiff, *value);
    if (psd != 0) conversion.PSDColorMode = psd;
    if (tiff != 0) conversion.TIFFColorMode = tiff;
}

void migrate(const IniLines& lines, ConversionSettings& conversion, int32 layout) {
    if (layout < 11 && conversion.FilenameMask.find("%ext%") == std::string::npos)
        conversion.FilenameMask += ".%ext%";
    // RAW depths 2 and 3 were inserted into the list at layout 14.
    if (layout < 14 && conversion.RAWLoadAs != 0) conversion.RAWLoadAs += 2;
    if (layout < 19) migrateColorModels(lines, conversion);
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
    std::optional<IniLines> lines = readIniFile(path);
    if (!lines) {
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
    loadFields(*lines, loadedConversion, loadedInterface);
    migrate(*lines, loadedConversion, loadedInterface.CFG);
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
    if (!readIniFile(*target) && !keepUnderNewBackupName(*target)) return false;
    return replaceFileContent(*target, configurationText(conversion, interface));
}
