#include "window/open_requests.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/input_output.h"
#include "cli/end_program.h"
#include "cli/single_instance.h"
#include "settings/product.h"
#include "ui/events.h"
#include "window/viewer_windows.h"

namespace {

int listener = -1;
std::optional<std::string> pendingFile;

void closeListener() {
    stopListeningForHandover(titleWithVersion(), listener);
    listener = -1;
}

void raiseMainWindow(QWidget* frame) {
    if (!frame) return;
    if (frame->isMinimized()) frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
    frame->show();
    frame->raise();
    frame->activateWindow();
}

}  // namespace

void listenForOpenRequests(AppState& state) {
    if (listener >= 0) return;
    listener = listenForHandover(titleWithVersion());
    if (listener < 0) return;
    addProgramEndStep(closeListener);
    auto* notifier = new QSocketNotifier(listener, QSocketNotifier::Read, QCoreApplication::instance());
    AppState* running = &state;
    QObject::connect(notifier, &QSocketNotifier::activated, [running] {
        std::optional<std::string> path = receiveHandover(listener);
        if (!path) return;
        pendingFile = std::move(path);
        raiseMainWindow(running->main.frame);
        postCommand(kNoWindow, kCommandNone);  // wakes the loop to take it
    });
}

void openFileAsked(AppState& state, const std::string& path) {
    if (isTexturePath(path))
        openViewerWindow(state, path, {});
    else
        addInputFile(state, path);
}

void takeOpenRequest(AppState& state) {
    // A texture opens its viewer at once: a viewer leaves the job alone.
    if (!pendingFile || (state.openDialog != kNoDialog && !isTexturePath(*pendingFile))) return;
    const std::string path = std::move(*pendingFile);
    pendingFile.reset();
    openFileAsked(state, path);
}

void stopOpenRequests() { closeListener(); }
