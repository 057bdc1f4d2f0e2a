// What every dialog owned by the main window shares: it sits centred on the
// main window, and while it is open the main window takes no input.
#pragma once

class QWidget;
struct MainWindow;

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
