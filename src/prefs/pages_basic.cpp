// The General, Interface, Input, Output and Advanced pages.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <array>

#include "app/app_state.h"
#include "app/main_window.h"
#include "prefs/bound_controls.h"
#include "prefs/preferences.h"
#include "settings/choices.h"
#include "settings/formats.h"
#include "settings/text.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"

namespace {

// The Compression list's entries and the note under it, in the order of
// DdsCompression.
struct CompressionText {
    const char* entry;
    const char* hint;
};
constexpr std::array<CompressionText, kDdsCompressionKeywords.size()> kCompressionTexts{{
    {"Compression Auto", "Compression Auto Hint"},
    {"Compression DXT1", "Compression DXT1 Hint"},
    {"Compression DXT5", "Compression DXT5 Hint"},
    {"Compression BC7", "Compression BC7 Hint"},
    {"Compression None", "Compression None Hint"},
}};

std::vector<std::string> compressionEntries() {
    std::vector<std::string> entries;
    for (const CompressionText& text : kCompressionTexts) entries.push_back(prefText(text.entry));
    return entries;
}

// The list position of the output format the list's selection names.
std::optional<std::size_t> selectedFormat(const QComboBox* list, const std::vector<std::string>& formats) {
    const std::optional<int> data = selectedData(list);
    if (!data || *data < 0 || static_cast<std::size_t>(*data) >= formats.size()) return std::nullopt;
    return static_cast<std::size_t>(*data);
}

void fillInputFormats(QComboBox* list, const ConversionSettings& conversion, const ImageSlots& images) {
    list->setIconSize(QSize(kListIconSize, kListIconSize));
    int selected = 0;
    for (std::size_t index = 0; index < kInputFormatList.size(); ++index) {
        const std::string& format = kInputFormatList[index];
        if (format.empty()) continue;
        if (format == conversion.InputFormat) selected = list->count();
        list->addItem(slotIcon(images.menuIcons, "New", kListIconSize), qt(toUpperText(format)),
                      static_cast<int>(index));
    }
    selectIndex(list, list->count() > 0 ? selected : -1);
}

void fillDdsDepths(QComboBox* list, int32 depth) {
    list->addItem(qt(prefText("Auto")));
    for (int value : listedDepths("dds")) list->addItem(QString::number(value));
    if (depth == 0) {
        selectIndex(list, 0);
        return;
    }
    selectIndex(list, list->findText(QString::number(depth)));
}

void fillThemes(QComboBox* list, const ThemeList& themes, const std::string& current) {
    if (themes.entries.empty()) {
        list->addItem(qt(prefText("None")));
        selectIndex(list, 0);
        return;
    }
    int selected = 0;
    // The archives are listed sorted without regard to case; a theme whose
    // theme.cfg names it not is offered under its key.
    for (const auto& [key, name] : themes.entries) {
        if (key == current) selected = list->count();
        list->addItem(qt(name.empty() ? key : name), qt(key));
    }
    selectIndex(list, selected);
}

}  // namespace

void buildGeneralPage(PreferencesWindow& window, AppState&) {
    RowList rows{window.pages[kGeneralPage]};
    window.language = addList(addRow(rows, "Language"), kSilent, {"English"});
    selectIndex(window.language, 0);
    window.updateRange = boundList(window.bound, addRow(rows, "Check For Updates"), kSilent,
                                   prefTexts({"Every day", "Every week", "Every month", "Every 3 months",
                                              "Every 6 months", "Never"}),
                                   &InterfaceSettings::UpdateRange);
    boundCheck(window.bound, addRow(rows, "Save window position"), kSilent, &InterfaceSettings::SaveWindowPosition);
}

void buildInterfacePage(PreferencesWindow& window, AppState& state) {
    RowList rows{window.pages[kInterfacePage]};
    window.theme = addList(addRow(rows, "UI Theme"), kSilent, {});
    fillThemes(window.theme, state.themes, state.ui.UITheme);
    window.iconSize =
        addList(addRow(rows, "UI Size"), kSilent, prefTexts({"Small", "Medium", "Large", "Extra Large", "Huge"}));
    selectIndex(window.iconSize, state.ui.UISize);
}

void buildInputPage(PreferencesWindow& window, AppState& state) {
    RowList rows{window.pages[kInputPage]};
    window.inputFormat = addList(addRow(rows, "Input Format"), kSilent, {});
    fillInputFormats(window.inputFormat, state.conversion, state.images);
}

void buildOutputPage(PreferencesWindow& window, AppState& state) {
    RowList rows{window.pages[kOutputPage]};
    window.outputFormat = addList(addRow(rows, "Output Format"), kOutputFormatChoice, {});
    {
        const QSignalBlocker block(window.outputFormat);
        window.outputFormat->setIconSize(QSize(kListIconSize, kListIconSize));
        fillOutputFormatList(window.outputFormat, state.conversion, state.images, false);
    }
    window.ddsArea = addArea(rows.area, kSubAreaTop, kSubAreaHeight);
    RowList ddsRows{window.ddsArea};
    window.ddsBpp = addList(addRow(ddsRows, "Bits Per Pixel"), kSilent, {});
    fillDdsDepths(window.ddsBpp, state.conversion.DDSBPP);
    window.ddsCompression = boundList(window.bound, addRow(ddsRows, "Compression"), kDdsCompressionChoice,
                                      compressionEntries(), &ConversionSettings::DDSCompression);
    window.ddsCompressionHint = addNote(ddsRows);
}

void buildAdvancedPage(PreferencesWindow& window, AppState& state) {
    RowList rows{window.pages[kAdvancedPage]};
    window.filenameMask = addTextField(addRow(rows, "Filename Mask"));
    bindSetting(window.bound, TextControl{window.filenameMask}, &ConversionSettings::FilenameMask);
    window.fileTimestamp = boundList(window.bound, addRow(rows, "File Timestamp"), kFileTimestampChoice,
                                     prefTexts({"Current", "Original", "Custom"}), &ConversionSettings::FileTimestamp);
    window.customTimestampRow = addRow(rows, "Custom Timestamp");
    window.customTimestamp = addDateTimePicker(window.customTimestampRow, kCustomTimestampPicker);
    {
        const QSignalBlocker block(window.customTimestamp);
        window.customTimestamp->setDateTime(
            QDateTime::fromSecsSinceEpoch(state.conversion.CustomTimestamp, Qt::UTC));
    }
    window.customTimestampEdited = false;
    window.outFoldersHistory = addList(addRow(rows, "Out Folders History"), kSilent,
                                       prefTexts({"Clean On Exit", "Keep Folders"}));
    selectIndex(window.outFoldersHistory, state.ui.OutFoldersHistory != 0 ? 1 : 0);
    bindPair(window, kOutFoldersPair, addRow(rows, "Out Folders Number"), 1, 50, &InterfaceSettings::OutFoldersNumber);
}

void showOutputArea(PreferencesWindow& window) {
    const std::optional<std::size_t> format = selectedFormat(window.outputFormat, kOutputFormatList);
    window.ddsArea->setVisible(format && kOutputFormatList[*format] == "dds");
}

// A stored value without an entry leaves the list without selection and
// the note empty.
void showCompressionHint(PreferencesWindow& window) {
    const int chosen = window.ddsCompression->currentIndex();
    const bool listed = chosen >= 0 && static_cast<std::size_t>(chosen) < kCompressionTexts.size();
    window.ddsCompressionHint->setText(listed ? qt(prefText(kCompressionTexts[static_cast<std::size_t>(chosen)].hint))
                                              : QString());
}

void enableTimestampRow(PreferencesWindow& window) {
    setRowsEnabled({window.customTimestampRow}, choiceOf<TimestampSource>(window.fileTimestamp->currentIndex()) == TimestampSource::Custom);
}

std::optional<std::string> chosenTheme(const PreferencesWindow& window) {
    if (window.theme->currentIndex() < 0) return std::nullopt;
    const QVariant key = window.theme->currentData();
    // The "None" entry of a machine without themes carries no key.
    if (!key.isValid()) return std::nullopt;
    return key.toString().toStdString();
}

std::optional<int> chosenIconSize(const PreferencesWindow& window) {
    if (window.iconSize->currentIndex() < 0) return std::nullopt;
    return window.iconSize->currentIndex();
}

void readInputOutputPages(const PreferencesWindow& window, AppState& state) {
    if (const std::optional<std::size_t> input = selectedFormat(window.inputFormat, kInputFormatList))
        state.conversion.InputFormat = kInputFormatList[*input];
    if (const std::optional<std::size_t> output = selectedFormat(window.outputFormat, kOutputFormatList))
        state.conversion.OutputFormat = kOutputFormatList[*output];
    const int depth = window.ddsBpp->currentIndex();
    state.conversion.DDSBPP = depth > 0 ? readInteger(window.ddsBpp->itemText(depth).toStdString(),
                                                      NumberSyntax::DecimalOnly)
                                        : 0;
}

void readAdvancedPage(const PreferencesWindow& window, AppState& state) {
    // The picker shows minutes only: untouched, the stored seconds stay.
    if (window.customTimestampEdited)
        state.conversion.CustomTimestamp = static_cast<int32>(window.customTimestamp->dateTime().toSecsSinceEpoch());
    if (window.outFoldersHistory->currentIndex() >= 0)
        state.ui.OutFoldersHistory = static_cast<bool8>(window.outFoldersHistory->currentIndex());
}
