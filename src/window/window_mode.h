// The window mode: start-up, the one event loop, and the shutdown steps
// that store the window geometry and the settings.
#pragma once

#include "app/app_state.h"
#include "ui/events.h"

#include <string>

class QWidget;

// Runs the window mode and ends the process (exit code 0). A file to open
// (not "") goes into Input File once the window shows, as Add Input File
// would put it there.
[[noreturn]] void startWindowMode(ConversionSettings& conversion, InterfaceSettings& ui, BatchJob& job,
                                  const std::string& fileToOpen);

// Loads what the main window shows: configuration, strings, pictures, theme.
void loadWindowResources(AppState& state);

// The start-up's update check, on the program's message boxes.
void runScheduledUpdateCheck(AppState& state);
// Message boxes and the browser for the update check.
void connectUpdateDialogs(QWidget* parent);

void runEventLoop(AppState& state);
void dispatchEvent(AppState& state, const UiEvent& event);

// What the platform says about the main window at exit.
struct WindowShape {
    bool maximized = false;
    bool minimized = false;
    int clientWidth = 0;
    int clientHeight = 0;
    int frameX = 0;
    int frameY = 0;
    // Wayland: the compositor places windows and tells nobody where.
    bool positionKnown = true;
};
WindowShape currentWindowShape(const MainWindow& window);
// Maximized: only IsMaximized = 1; minimized: nothing; otherwise the real
// geometry with IsMaximized = 0 (X and Y kept when the position is unknown).
void storeWindowGeometry(InterfaceSettings& ui, const WindowShape& shape);
// Geometry, history rule, then the configuration file.
void runShutdownSteps(AppState& state);
