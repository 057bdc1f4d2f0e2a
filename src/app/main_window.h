// The main window (window 0): a small form with the input file, the output
// folder history, the output format and the Convert button, inside a menu
// bar, a toolbar and a status bar.
#pragma once

#include <string>
#include <vector>

#include <QRect>
#include <QSize>

#include "app/app_state.h"

enum class InterfaceRefresh : int;

// Creates window 0, hidden, at the configured place and size. False when the
// window could not be made.
bool buildMainWindow(AppState& state);
void buildMenus(AppState& state);
void buildToolbar(AppState& state);
void buildFieldButtons(AppState& state);
// Places the controls for the current client size.
void layoutMainWindow(MainWindow& window);
// The smallest client width and the one client height that show every
// control whole: the described 510 x 260, more where the toolbar at a large
// icon size needs it.
QSize clientBounds(const MainWindow& window);
void applyClientBounds(MainWindow& window);
// The second half of the start-up: lists, new session, show, update check.
void finishMainWindow(AppState& state);
// The New command: a fresh job, an empty input field, "Ready".
void newSession(AppState& state);
void fillOutputFormatList(QComboBox* list, const ConversionSettings& conversion, const ImageSlots& images,
                          bool withDescriptions);
// After settings changed: rebuilds what `refresh` asks for (a theme: menus,
// toolbar, field buttons and the themed pictures; an icon size: the toolbar
// only), then shows the record's output format in list 7.
void applyInterfaceChanges(AppState& state, InterfaceRefresh refresh);
// The Convert button and the entries of lists 5 and 7 take the current
// pictures; the selections stay.
void refreshThemedControls(AppState& state);
void setStatusText(MainWindow& window, const std::string& text);
// Deletes window 0 and everything in it (program end, before the application).
void destroyMainWindow(MainWindow& window);

// Where the frame really goes. The stored values may be anything a hand-edited
// file holds, so they are first brought into a range no arithmetic overflows;
// the client width is then cut to what a screen can show, and a frame whose
// title bar shows no usable part on any screen is centred on the primary
// screen. screens[0] is the primary screen's available geometry.
struct FramePlacement {
    int x = 0;
    int y = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};
// The stored client width brought into [kMinClientWidth, kCoordinateLimit].
int storedClientWidth(int width);
FramePlacement placeMainWindow(int x, int y, int clientWidth, int clientHeight, int menuBarHeight,
                               const std::vector<QRect>& screens);

inline constexpr int kMinClientWidth = 510;
// The only height the window takes, unless a large toolbar needs more.
inline constexpr int kClientHeight = 260;
// Coordinates and widths beyond this are cut to it: far larger than any
// desktop, far from the limits of int.
inline constexpr int kCoordinateLimit = 1 << 24;
// A title bar shows a usable part when this much of its width (or all of a
// narrower one) lies on a screen, at least half its height.
inline constexpr int kUsableTitleWidth = 120;
