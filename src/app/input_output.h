// The input file, the output folder with its history, and what the main
// window's fields, dialogs and drops do with them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct AppState;
struct InterfaceSettings;

// Output-folder history rules (the "Recent Out Folders" text, TAB-separated,
// most recent first). Every folder text ends with exactly one "/".

// The folder with its trailing separators reduced to one; "" stays "".
std::string asFolderText(std::string_view folder);
// The history may hold no TAB, and a line break would not survive the
// configuration file: such a folder can be used but never stored.
bool isStorableFolder(std::string_view folder);
// How many folders the list and the history hold: "Out Folders Number",
// at least 1 (a hand-edited 0 would otherwise leave no folder to convert
// into). The stored value is kept as it is.
int historyLimit(const InterfaceSettings& ui);
// The history's folders as they are shown: of its first `limit` fields the
// ones that are not blank, each folder once (letter case ignored).
std::vector<std::string> historyFolders(std::string_view history, int limit);
// The i-th field of the history (from 0), trimmed and as a folder text;
// "" when there is no such field.
std::string recentOutputFolder(std::string_view history, int index);
// Puts the folder at the head of the history, dropping an entry that names
// the same folder in another letter case and the oldest beyond the limit.
// False (history unchanged) for an empty or unstorable folder.
bool addRecentOutputFolder(InterfaceSettings& ui, std::string_view folder);

// Rebuilds list 5 from the history and selects the job's output folder
// (the first entry when it is not listed). A folder that cannot be stored
// is shown at the head, so the list always shows the folder a run will use.
void fillOutputFolderList(AppState& state);

// Takes the path as the input file (see the batch rule); in the window it
// also fills the input field and, while no output folder is shown, makes
// the file's folder the output folder. False when refused.
bool addInputFile(AppState& state, const std::string& path);
// The open-file dialog; true when a file was taken.
bool selectInputFile(AppState& state);
// The folder dialog.
void selectOutputFolder(AppState& state);
// A drop of local paths: the first one is offered as the input file, the
// others are ignored.
void takeDroppedFiles(AppState& state, const std::vector<std::string>& paths);
// The type filter of the open-file dialog, in Qt's form.
std::string inputFileFilter();
