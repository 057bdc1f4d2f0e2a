#include "window/window_mode.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/about_dialog.h"
#include "app/conversion_run.h"
#include "app/converter_search.h"
#include "app/input_output.h"
#include "app/main_window.h"
#include "settings/web_links.h"
#include "prefs/preferences.h"
#include "settings/string_table.h"
#include "ui/choosers.h"
#include "ui/path_text.h"
#include "cli/end_program.h"
#include "cli/single_instance.h"
#include "settings/config_file.h"
#include "settings/defaults.h"
#include "settings/formats.h"
#include "settings/paths.h"
#include "ui/desktop.h"
#include "ui/display.h"
#include "ui/session_end.h"
#include "window/open_requests.h"
#include "window/viewer_windows.h"
#include "viewer/texture_viewer.h"
#include "update/update_check.h"

namespace {

std::unique_ptr<AppState>& runningState() {
    static std::unique_ptr<AppState> state;
    return state;
}

// Set while the event loop runs: an exit() then comes from outside the
// program's own way out.
std::atomic<bool> savesAtExit{false};

// The connection to the display broke (the X server or the compositor went
// away with the session): Qt says so and ends the process, with exit() on
// X11 and _exit() under Wayland. The window mode shuts down as at Exit, and
// ends here, before the objects of a window system that is gone are torn
// down.
void shutDownWithLostDisplay() {
    if (!savesAtExit.exchange(false) || !runningState()) return;
    finishRunningConversion();
    runShutdownSteps(*runningState());
    stopOpenRequests();
    releaseSingleInstance();
    std::fflush(nullptr);
    std::_Exit(0);
}

// Qt objects go before the application object, which a program-end step
// registered earlier deletes.
void closeWindows() {
    if (!runningState()) return;
    closeViewers(*runningState());
    destroyMainWindow(runningState()->main);
}

// The default position centres the window on the screen the user really
// has; it must be known before the configuration (or its defaults) is read.
void tellDefaultsTheDesktop() {
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect desktop = primary->availableGeometry();
        setPrimaryDesktopSize(desktop.width(), desktop.height());
    }
}

void dispatchCommand(AppState& state, CommandId command) {
    switch (command) {
        case kCommandNew: newSession(state); break;
        case kCommandExit: state.quitRequested = true; break;
        case kCommandAddInputFile: selectInputFile(state); break;
        case kCommandSelectOutputFolder: selectOutputFolder(state); break;
        case kCommandConvert: startConversion(state); break;
        case kCommandUserManual: openLocalFile(manualPath(state.programFolder)); break;
        case kCommandSendFeedback: openAddress(feedbackMailAddress()); break;
        case kCommandVisitHomepage: openAddress(productPageAddress()); break;
        case kCommandCheckForUpdates: checkForUpdates(); break;
        case kCommandFindConverter: openFindConverter(state); break;
        case kCommandAbout: openAbout(state); break;
        case kCommandViewTexture: viewTexture(state); break;
        case kCommandPreferences: openPreferences(state); break;
        case kCommandOutputFormatOptions:
            state.preferencesStartPage = kOutputPage;
            openPreferences(state);
            break;
        case kCommandNone: break;
    }
}

void dispatchControl(AppState& state, ControlId id) {
    const auto* control = std::get_if<MainControl>(&id);
    if (!control) return;
    MainWindow& window = state.main;
    switch (*control) {
        case kFolderListControl:
            state.job.outputFolder = asFolderText(fileSystemPath(window.folderList->currentText()));
            break;
        case kFormatListControl: {
            const int index = window.formatList->currentData().toInt();
            if (window.formatList->currentIndex() >= 0 && index >= 0 &&
                static_cast<std::size_t>(index) < kOutputFormatList.size())
                state.conversion.OutputFormat = kOutputFormatList[static_cast<std::size_t>(index)];
            break;
        }
        case kConvertButtonControl: startConversion(state); break;
        case kInputFieldControl: break;
    }
}

void dispatchMainWindowEvent(AppState& state, const UiEvent& event) {
    // The window manager still delivers the close box of a disabled window,
    // and queued commands may arrive after a dialog opened: while a dialog
    // exists only the dialog may end it.
    if (state.openDialog != kNoDialog && event.kind != EventKind::Control) return;
    switch (event.kind) {
        case EventKind::Close: state.quitRequested = true; break;
        case EventKind::Command: dispatchCommand(state, event.command); break;
        case EventKind::Control: dispatchControl(state, event.control); break;
        case EventKind::FilesDropped: takeDroppedFiles(state, event.paths); break;
    }
}

// What a dialog's event left to do: changed settings are saved and shown,
// then the dialog closes.
void finishDialogEvent(AppState& state, const DialogOutcome& outcome, void (*close)(AppState&)) {
    if (outcome.settingsChanged) SaveConfiguration(state.configPath, state.conversion, state.ui);
    if (outcome.settingsChanged) applyInterfaceChanges(state, outcome.refresh);
    if (outcome.closed) close(state);
}

}  // namespace

void dispatchEvent(AppState& state, const UiEvent& event) {
    switch (event.window) {
        case kPreferencesWindow: finishDialogEvent(state, handlePreferencesEvent(state, event), closePreferences); break;
        case kFindConverterWindow:
            finishDialogEvent(state, handleFindConverterEvent(state, event), closeFindConverter);
            break;
        case kAboutWindow: finishDialogEvent(state, handleAboutEvent(state, event), closeAbout); break;
        case kMainWindow: dispatchMainWindowEvent(state, event); break;
        // Not modal: a viewer's events are taken whatever dialog is open.
        case kViewerWindow: dispatchViewerEvent(state, event); break;
        // Left over from a window whose own loop has ended.
        case kProgressWindow:
        case kUninstallWindow:
        case kNoWindow: break;
    }
}

void runScheduledUpdateCheck(AppState& state) {
    scheduledUpdateCheck(state.ui, localDateValueNow(), updateDialogs());
}

void connectUpdateDialogs(QWidget* parent) {
    UpdateDialogs& dialogs = updateDialogs();
    dialogs.askYesNo = [parent](const std::string& title, const std::string& text) {
        return choosers().messageBox(parent, title, text, MessageIcon::Question, MessageButtons::YesNo) ==
               MessageAnswer::Yes;
    };
    dialogs.showError = [parent](const std::string& title, const std::string& text) {
        choosers().messageBox(parent, title, text, MessageIcon::Error, MessageButtons::Ok);
    };
    dialogs.showInformation = [parent](const std::string& title, const std::string& text) {
        choosers().messageBox(parent, title, text, MessageIcon::Information, MessageButtons::Ok);
    };
    dialogs.openUrl = openAddress;
    dialogs.waitForFetch = waitUnlessSessionEnds;
}

void runEventLoop(AppState& state) {
    // The end of the session ends the loop even while a dialog is open: its
    // unconfirmed changes go, as a Cancel would have them go.
    while (!state.quitRequested && !sessionEndRequested()) {
        dispatchEvent(state, waitForNextEvent());
        takeOpenRequest(state);
    }
}

void loadWindowResources(AppState& state) {
    state.programFolder = programFolder();
    loadStringTable();
    loadBuiltinImages(state.images, state.ui);
    listThemes(state.programFolder, state.themes);
    applyTheme(state.programFolder, state.ui, state.themes, state.images, true, true, true);
}

WindowShape currentWindowShape(const MainWindow& window) {
    return {window.frame->isMaximized(), window.frame->isMinimized(), window.client->width(),
            window.client->height(), window.frame->x(), window.frame->y(), windowPositionsKnown()};
}

void storeWindowGeometry(InterfaceSettings& ui, const WindowShape& shape) {
    if (shape.maximized) {
        ui.IsMaximized = 1;
        return;
    }
    if (shape.minimized) return;
    ui.IsMaximized = 0;
    ui.Width = shape.clientWidth;
    ui.Height = shape.clientHeight;
    if (!shape.positionKnown) return;
    ui.X = shape.frameX;
    ui.Y = shape.frameY;
}

void runShutdownSteps(AppState& state) {
    if (state.main.frame) storeWindowGeometry(state.ui, currentWindowShape(state.main));
    if (state.ui.OutFoldersHistory == 0) state.ui.RecentOutFolders.clear();
    SaveConfiguration(state.configPath, state.conversion, state.ui);
}

void startWindowMode(ConversionSettings& conversion, InterfaceSettings& ui, BatchJob& job,
                     const std::string& fileToOpen) {
    markViewerTiming("window mode entered");
    openDisplayOrEnd();
    markViewerTiming("display open");
    watchSessionEnd();
    runningState().reset(new AppState{conversion, ui, job});
    AppState& state = *runningState();
    state.scheduledUpdateCheck = runScheduledUpdateCheck;
    addProgramEndStep(closeWindows);
    listenForOpenRequests(state);

    tellDefaultsTheDesktop();
    state.configPath = configFilePath();
    LoadConfiguration(state.configPath, conversion, ui);
    loadWindowResources(state);
    markViewerTiming("resources loaded");
    if (!buildMainWindow(state)) endProgram();
    connectUpdateDialogs(state.main.frame);
    finishMainWindow(state);
    markViewerTiming("main window ready");
    if (!fileToOpen.empty()) openFileAsked(state, fileToOpen);

    state.quitRequested = false;
    savesAtExit = true;
    setDisplayLostStep(shutDownWithLostDisplay);
    std::atexit(shutDownWithLostDisplay);
    runEventLoop(state);
    savesAtExit = false;
    runShutdownSteps(state);
    endProgram();
}
