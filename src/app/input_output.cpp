#include "app/input_output.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>
#include <map>

#include "app/app_state.h"
#include "batch/input_files.h"
#include "settings/formats.h"
#include "settings/paths.h"
#include "settings/string_table.h"
#include "settings/text.h"
#include "ui/choosers.h"
#include "ui/path_text.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"
#include "ui/window_events.h"

namespace {

std::string dialogText(const char* key) { return lookupString(stringTable(), "Dialog", key); }

std::vector<std::string> historyFields(std::string_view history) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = history.find('\t', start);
        fields.push_back(trimSpaces(history.substr(start, tab == std::string_view::npos ? tab : tab - start)));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

bool sameFolderIgnoringCase(std::string_view a, std::string_view b) { return toUpperText(a) == toUpperText(b); }

bool listed(const std::vector<std::string>& folders, std::string_view folder) {
    return std::any_of(folders.begin(), folders.end(),
                       [folder](const std::string& f) { return sameFolderIgnoringCase(f, folder); });
}

std::string joinedByTabs(const std::vector<std::string>& folders) {
    std::string text;
    for (const std::string& folder : folders) text += (text.empty() ? "" : "\t") + folder;
    return text;
}

// "*.png *.PNG" for the extensions: the dialog matches names exactly.
std::string patternsFor(const std::vector<std::string>& extensions) {
    std::string patterns;
    for (const std::string& extension : extensions) {
        const std::string lower = toLowerText(extension);
        const std::string upper = toUpperText(extension);
        patterns += (patterns.empty() ? "" : " ") + ("*." + lower);
        if (upper != lower) patterns += " *." + upper;
    }
    return patterns;
}

}  // namespace

std::string asFolderText(std::string_view folder) {
    if (folder.empty()) return {};
    while (folder.size() > 1 && folder.ends_with("//")) folder.remove_suffix(1);
    return withTrailingSlash(folder);
}

bool isStorableFolder(std::string_view folder) { return folder.find_first_of("\t\r\n") == std::string_view::npos; }

int historyLimit(const InterfaceSettings& ui) { return std::max(1, static_cast<int>(ui.OutFoldersNumber)); }

std::vector<std::string> historyFolders(std::string_view history, int limit) {
    // Only the first `limit` fields count; empty ones among them are skipped,
    // not replaced by later fields.
    std::vector<std::string> folders;
    for (int index = 0; index < limit; ++index) {
        const std::string folder = recentOutputFolder(history, index);
        if (!folder.empty() && !listed(folders, folder)) folders.push_back(folder);
    }
    return folders;
}

std::string recentOutputFolder(std::string_view history, int index) {
    const std::vector<std::string> fields = historyFields(history);
    if (index < 0 || static_cast<std::size_t>(index) >= fields.size()) return {};
    return asFolderText(fields[static_cast<std::size_t>(index)]);
}

bool addRecentOutputFolder(InterfaceSettings& ui, std::string_view folder) {
    const std::string head = asFolderText(folder);
    if (head.empty() || !isStorableFolder(head)) return false;
    std::vector<std::string> folders{head};
    for (const std::string& older : historyFolders(ui.RecentOutFolders, historyLimit(ui))) {
        if (static_cast<int>(folders.size()) >= historyLimit(ui)) break;
        if (!sameFolderIgnoringCase(older, head)) folders.push_back(older);
    }
    ui.RecentOutFolders = joinedByTabs(folders);
    return true;
}

void fillOutputFolderList(AppState& state) {
    std::vector<std::string> folders = historyFolders(state.ui.RecentOutFolders, historyLimit(state.ui));
    const std::string& chosen = state.job.outputFolder;
    if (!chosen.empty() && !isStorableFolder(chosen)) folders.insert(folders.begin(), chosen);
    // With nothing to show the list keeps its entries (the one empty entry
    // of a first start).
    if (folders.empty()) return;
    QComboBox* list = state.main.folderList;
    const QSignalBlocker quiet(list);
    list->clear();
    int selected = 0;
    const QIcon icon = slotIcon(state.images.menuIcons, "FavFolder", kListIconSize);
    for (const std::string& folder : folders) {
        if (folder == chosen) selected = list->count();
        list->addItem(icon, shownPath(folder));
    }
    list->setCurrentIndex(selected);
}

bool addInputFile(AppState& state, const std::string& path) {
    if (!addInputFile(state.job, path)) return false;
    if (state.job.cliMode) return true;
    MainWindow& window = state.main;
    window.inputField->setText(shownPath(path));
    if (window.folderList->currentText().isEmpty()) {
        const std::string folder = asFolderText(state.job.inputArgument.empty() ? folderPart(path)
                                                                                : state.job.inputArgument);
        addRecentOutputFolder(state.ui, folder);
        state.job.outputFolder = folder;
        fillOutputFolderList(state);
    }
    return true;
}

std::string inputFileFilter() {
    const std::vector<std::string> accepted = acceptedInputExtensions();
    std::map<std::string, std::vector<std::string>> byDescription;
    for (const InputFormatRow& row : kInputFormatTable)
        if (std::find(accepted.begin(), accepted.end(), row.extension) != accepted.end()) {
            std::vector<std::string>& group = byDescription[std::string(row.description)];
            group.insert(group.begin(), std::string(row.extension));  // the one added last comes first
        }
    std::string filter = dialogText("All Supported Files") + " (" + patternsFor(accepted) + ")";
    for (const auto& [description, extensions] : byDescription)
        filter += ";;" + description + " (" + patternsFor(extensions) + ")";
    return filter + ";;" + dialogText("All Files") + " (*)";
}

bool selectInputFile(AppState& state) {
    const std::optional<std::string> chosen = choosers().openFile(state.main.frame, dialogText("Select Input Files"),
                                                                  inputFileFilter(), state.job.inputPath);
    const bool taken = chosen && addInputFile(state, *chosen);
    state.job.inputPath.clear();
    postLayoutRequest(state.main.client);
    return taken;
}

void selectOutputFolder(AppState& state) {
    const QString shown = state.main.folderList->currentText();
    const std::string start = shown.isEmpty() ? state.job.outputFolder : folderPart(fileSystemPath(shown));
    const std::optional<std::string> chosen =
        choosers().chooseFolder(state.main.frame, dialogText("Select Output Folder"), start);
    if (chosen && fileSizeQuery(*chosen) == -2) {
        const std::string folder = asFolderText(*chosen);
        addRecentOutputFolder(state.ui, folder);
        state.job.outputFolder = folder;
        fillOutputFolderList(state);
    }
    postLayoutRequest(state.main.client);
}

void takeDroppedFiles(AppState& state, const std::vector<std::string>& paths) {
    if (!paths.empty()) addInputFile(state, paths.front());
}
