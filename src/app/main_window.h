// The main window (window 0): a small form with the input file, the output
// folder history, the output format and the Convert button, inside a menu
// bar, a toolbar and a status bar.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <QRect>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QStatusBar;
class QToolBar;
class QToolButton;
class QWidget;
struct AppState;
enum class InterfaceRefresh : int;
struct ConversionSettings;
struct ImageSlots;

struct MainWindow {
    QWidget* frame = nullptr;   // the top-level window: menu bar above the client area
    QMenuBar* menuBar = nullptr;
    QWidget* client = nullptr;  // the area below the menu bar; stored Width x Height
    QToolBar* toolbar = nullptr;
    QStatusBar* statusBar = nullptr;
    QLabel* statusText = nullptr;

    QWidget* container = nullptr;  // control 0
    QLabel* inputLabel = nullptr;  // 1
    QLineEdit* inputField = nullptr;  // 2
    QLabel* folderLabel = nullptr;    // 4
    QComboBox* folderList = nullptr;  // 5
    QLabel* formatLabel = nullptr;    // 6
    QComboBox* formatList = nullptr;  // 7
    QToolButton* convertButton = nullptr;  // 8
    QLabel* vendorNotice = nullptr;        // 11
    std::array<QToolButton*, 3> fieldButtons{};  // field toolbars 1 to 3

    // Measured after building; 0 for an element that does not exist.
    int menuBarHeight = 0;
    int toolbarHeight = 0;
    int statusBarHeight = 0;
    int topOffset = 0;
};

// Creates window 0, hidden, at the configured place and size. False when the
// window could not be made.
bool buildMainWindow(AppState& state);
void buildMenus(AppState& state);
void buildToolbar(AppState& state);
void buildFieldButtons(AppState& state);
// Places the controls for the current client size.
void layoutMainWindow(MainWindow& window);
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
inline constexpr int kClientHeight = 260;  // the only height the window takes
// Coordinates and widths beyond this are cut to it: far larger than any
// desktop, far from the limits of int.
inline constexpr int kCoordinateLimit = 1 << 24;
// A title bar shows a usable part when this much of its width (or all of a
// narrower one) lies on a screen, at least half its height.
inline constexpr int kUsableTitleWidth = 120;
