// The Qt application object of the window mode, -T and -U. It exists only
// for them: a console run never touches the display.
#pragma once

// Creates the application (Fusion style) and registers its deletion as a
// program-end step. Without a display (none named in the environment, or the
// platform plugin cannot open it) the process ends quietly with exit code 0
// instead of aborting.
void openDisplayOrEnd();

// True when the environment names a display or a Qt platform.
bool displayNamed();

// False under Wayland: the compositor places top-level windows, tells
// nobody where, and Qt ignores a move there.
bool windowPositionsKnown();

// The application icon at every size drawn for it, for all windows, and the
// desktop file name that matches the windows to the menu entry.
void setApplicationIcon();

// Run when the platform reports that the connection to the display broke,
// just before it ends the process on its own (under Wayland without running
// any exit handler); the window mode saves there.
void setDisplayLostStep(void (*step)());
