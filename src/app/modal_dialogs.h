// What every dialog owned by the main window shares: it sits centred on the
// main window, and while it is open the main window takes no input.
#pragma once

#include "ui/window_ids.h"

class QWidget;
struct AppState;
struct MainWindow;

// What the main window rebuilds after settings changed.
enum class InterfaceRefresh : int { None = 0, Theme = 1, IconSize = 2 };

// What a dialog's event leaves for the loop: the loop saves and applies
// changed settings, then closes the dialog.
struct DialogOutcome {
    bool closed = false;
    bool settingsChanged = false;
    InterfaceRefresh refresh = InterfaceRefresh::None;
};

// The one way every dialog of the main window opens and closes: only while
// no other dialog is open, the loop knowing which one is, the main window
// shut off meanwhile and given the keyboard back afterwards.
bool mayOpenDialog(const AppState& state);
void beginDialog(AppState& state, WindowId dialog, QWidget* frame, QWidget* focus);
void endDialog(AppState& state);

// Centred on the owner's frame, kept on the owner's screen. Call it once the
// dialog is shown, when its frame is known.
void centreOnOwner(QWidget* dialog, QWidget* owner);
// The frame stays enabled (disabling it would disable the dialog, its
// child); its menu bar and client area follow `enabled`, and the
// window-modal dialog blocks the rest, the window manager's close included.
void setMainWindowEnabled(MainWindow& main, bool enabled);
// Shows the dialog the way every dialog of the main window opens: on
// screen, centred on the main window, the main window shut off, the dialog
// active with `focus` (when given) holding the keyboard.
void showModalDialog(MainWindow& main, QWidget* dialog, QWidget* focus);
// After a dialog closed: the main window is usable again and has the focus.
void returnFocusToMainWindow(MainWindow& main);
