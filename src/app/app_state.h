// What the window mode holds for its whole life: the settings records and
// the job (owned by main), the image slots and themes, the main window, and
// the loop's flags.
#pragma once

#include <QSize>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "images/image_slots.h"
#include "ui/window_ids.h"
#include "settings/batch_job.h"
#include "settings/settings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QStatusBar;
class QToolBar;
class QToolButton;
class QWidget;
struct AboutDialog;
struct FindConverterDialog;
struct PreferencesWindow;
struct TextureViewer;

// The main window (window 0, app/main_window.h).
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

struct AppState {
    AppState(ConversionSettings& conversionSettings, InterfaceSettings& interfaceSettings, BatchJob& batchJob)
        : conversion(conversionSettings), ui(interfaceSettings), job(batchJob) {}

    ConversionSettings& conversion;
    InterfaceSettings& ui;
    BatchJob& job;

    std::string programFolder;  // ends with "/"
    std::string configPath;     // "" when no configuration folder could be made
    ImageSlots images;
    ThemeList themes;
    MainWindow main;

    bool quitRequested = false;
    // Window number of the open dialog; while one is open the main window's
    // close, command and drop events are ignored.
    WindowId openDialog = kNoDialog;
    // The About and Find a File Converter dialogs while they are open.
    std::shared_ptr<AboutDialog> about;
    std::shared_ptr<FindConverterDialog> findConverter;

    // The page the next opening of the preferences shows (Options... asks
    // for Output) and the open preferences dialog.
    int preferencesStartPage = 0;
    std::shared_ptr<PreferencesWindow> preferences;
    // The size the preferences dialog was given, for its next opening.
    QSize preferencesSize;

    // The texture viewers that are open, and the instance number the next
    // one gets (events name their viewer by it).
    std::vector<std::shared_ptr<TextureViewer>> viewers;
    int nextViewerInstance = 1;
    // The file the last conversion of this session wrote and the PNG it
    // was made from; "" until a conversion has written one.
    std::string lastWrittenTexture;
    std::string lastTextureSource;

    // The start-up's update check; replaceable so a test can see whether it ran.
    void (*scheduledUpdateCheck)(AppState&) = nullptr;
};
