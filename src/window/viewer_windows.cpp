#include "window/viewer_windows.h"

#include <QWidget>
#include <algorithm>
#include <sys/stat.h>

#include "app/app_state.h"
#include "settings/paths.h"
#include "settings/string_table.h"
#include "settings/text.h"
#include "ui/choosers.h"
#include "viewer/texture_viewer.h"

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool isTexturePath(const std::string& path) { return toLowerText(extensionPart(path)) == "dds"; }

void openViewerWindow(AppState& state, const std::string& path, const std::string& pngPath) {
    std::shared_ptr<TextureViewer> viewer = openTextureViewer(path, pngPath, state.nextViewerInstance, state.main.frame);
    ++state.nextViewerInstance;
    if (viewer) state.viewers.push_back(std::move(viewer));
}

void viewTexture(AppState& state) {
    if (isRegularFile(state.lastWrittenTexture)) {
        openViewerWindow(state, state.lastWrittenTexture, state.lastTextureSource);
        return;
    }
    const std::optional<std::string> chosen =
        choosers().openFile(state.main.frame, lookupString(stringTable(), "Viewer", "Choose"),
                            lookupString(stringTable(), "Viewer", "Filter"), folderPart(state.lastWrittenTexture));
    if (chosen && !chosen->empty()) openViewerWindow(state, *chosen, {});
}

void dispatchViewerEvent(AppState& state, const UiEvent& event) {
    auto viewer = std::find_if(state.viewers.begin(), state.viewers.end(),
                               [&event](const auto& open) { return open->instance == event.instance; });
    if (viewer == state.viewers.end()) return;  // left over from a viewer that has closed
    if (handleViewerEvent(**viewer, event)) state.viewers.erase(viewer);
}

void closeViewers(AppState& state) { state.viewers.clear(); }
