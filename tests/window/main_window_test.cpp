// The main window built in-process: layout numbers, menus, toolbar, field
// buttons, shortcuts, the loop's dispatch and the shutdown rules.
#include <QGuiApplication>
#include <QScreen>
#include <climits>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "window/screenshot.h"
#include "window/window_mode.h"
#include "settings/config_file.h"
#include "test_support.h"
#include "ui/choosers.h"
#include "ui/elided_paths.h"
#include "ui/events.h"
#include "window_test_support.h"

namespace {

int updateChecks = 0;
void countUpdateCheck(AppState&) { ++updateChecks; }

struct MainWindowTest : ::testing::Test, WindowRecords {

    void SetUp() override {
        prepareRecords();
        state.scheduledUpdateCheck = countUpdateCheck;
        updateChecks = 0;
    }
    void TearDown() override {
        destroyMainWindow(state.main);
        clearEvents();
    }

    void open(int width = 510) {
        ui.Width = width;
        ASSERT_TRUE(buildMainWindow(state));
        finishMainWindow(state);
        QApplication::processEvents();
    }

    // Resizes the frame; the client area follows through the layout.
    void resizeFrame(int width, int height) {
        state.main.frame->resize(width, height);
        QApplication::processEvents();
    }
    int frameHeight() const { return state.main.frame->height(); }

    std::vector<UiEvent> takeEvents() {
        std::vector<UiEvent> events;
        while (hasPendingEvent()) events.push_back(waitForNextEvent());
        return events;
    }
};

struct LayoutCase {
    int width;
    int fieldWidth;
    int fieldButtonX;
    int convertX;
};

TEST_F(MainWindowTest, LayoutFollowsTheWidth) {
    open();
    for (const LayoutCase& c : {LayoutCase{510, 350, 364, 400}, LayoutCase{800, 640, 654, 690},
                                LayoutCase{510, 350, 364, 400}}) {
        SCOPED_TRACE(c.width);
        resizeFrame(c.width, frameHeight());
        MainWindow& w = state.main;
        ASSERT_EQ(w.client->width(), c.width);
        EXPECT_EQ(w.inputField->geometry(), QRect(10, 20, c.fieldWidth, 20));
        EXPECT_EQ(w.folderList->geometry(), QRect(10, 60, c.fieldWidth, 21));
        EXPECT_EQ(w.formatList->geometry(), QRect(10, 100, c.fieldWidth, 21));
        const int ys[] = {19, 59, 99};
        for (int i = 0; i < 3; ++i) EXPECT_EQ(w.fieldButtons[i]->geometry(), QRect(c.fieldButtonX, ys[i], 24, 24));
        EXPECT_EQ(w.convertButton->geometry(), QRect(c.convertX, 20, 100, 100));
        EXPECT_EQ(w.container->geometry(),
                  QRect(0, w.toolbarHeight, c.width, 260 - w.menuBarHeight - w.toolbarHeight - w.statusBarHeight - 40));
        // Labels do not move.
        EXPECT_EQ(w.inputLabel->geometry(), QRect(10, 5, 350, 20));
        EXPECT_EQ(w.vendorNotice->geometry(), QRect(10, 190, 350, 20));
        EXPECT_EQ(w.statusBar->geometry().bottom(), 259);
    }
}

TEST_F(MainWindowTest, AWindowOpenedAtEveryIconSizeShowsEveryControl) {
    for (int size = 0; size <= 4; ++size) {
        SCOPED_TRACE(size);
        TearDown();
        ui.UISize = size;
        loadWindowResources(state);
        open();
        expectEveryMainControlWhole(state.main);
        EXPECT_EQ(state.main.client->minimumWidth(), state.main.client->width());
        const int height = state.main.client->height();
        resizeFrame(300, frameHeight() + 300);
        EXPECT_EQ(state.main.client->height(), height) << "one height";
        expectEveryMainControlWhole(state.main);
    }
}

// A long path keeps its start and its last names in sight, cut in the
// middle, and the whole path is the tooltip; the program still reads it
// whole. The drawing is compared with a control that holds the cut text.
TEST_F(MainWindowTest, LongPathsAreCutInTheMiddleWithTheWholePathAsTooltip) {
    open();
    MainWindow& w = state.main;
    const QString folder = "/home/artist/" + QString("textures of the old mod/").repeated(4) + "last folder/";
    const QString file = folder + "wall.png";
    w.inputField->setText(file);
    w.folderList->addItem(folder);
    w.folderList->setCurrentIndex(w.folderList->count() - 1);
    w.convertButton->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(w.inputField->toolTip(), file);
    EXPECT_EQ(w.folderList->toolTip(), folder);
    EXPECT_EQ(w.inputField->text(), file);

    const QString shown = pathShownIn(w.inputField);
    EXPECT_TRUE(shown.startsWith("/home/"));
    EXPECT_TRUE(shown.endsWith("last folder/wall.png")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_EQ(pathThatFits("/short.png", w.inputField->fontMetrics(), 300), "/short.png");

    QLineEdit field(w.container);
    field.setGeometry(w.inputField->geometry());
    field.setText(shown);
    field.setCursorPosition(0);
    EXPECT_EQ(w.inputField->grab().toImage(), field.grab().toImage()) << "the field draws the cut path";

    QComboBox list(w.container);
    list.setIconSize(w.folderList->iconSize());
    list.setGeometry(w.folderList->geometry());
    QStyleOptionComboBox option;
    option.initFrom(&list);
    const QRect label = list.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list);
    list.addItem(w.folderList->itemIcon(w.folderList->currentIndex()), pathThatFits(folder, list.fontMetrics(), label.width()));
    EXPECT_TRUE(list.itemText(0).endsWith("last folder/"));
    EXPECT_EQ(w.folderList->grab().toImage(), list.grab().toImage()) << "the list draws the cut path";
}

TEST_F(MainWindowTest, WiderButNeverTallerOrShorter) {
    open();
    const int frameH = frameHeight();
    EXPECT_EQ(state.main.client->height(), 260);
    for (int height : {frameH + 200, frameH - 100}) {
        resizeFrame(800, height);
        EXPECT_EQ(state.main.client->height(), 260);
    }
    resizeFrame(300, frameH);
    EXPECT_EQ(state.main.client->width(), 510);
}

TEST_F(MainWindowTest, NothingOverlapsInTheClientArea) {
    open();
    MainWindow& w = state.main;
    const QRect toolbar = w.toolbar->geometry();
    const QRect container = w.container->geometry();
    const QRect notice = w.vendorNotice->geometry();
    const QRect status = w.statusBar->geometry();
    EXPECT_LE(toolbar.bottom(), container.top() - 1);
    EXPECT_LT(container.top() + w.convertButton->geometry().bottom(), notice.top());
    EXPECT_LT(notice.bottom(), status.top());
}

struct MenuItem {
    std::string text;  // "" for a separator
    bool hasIcon;
};

std::vector<MenuItem> itemsOf(QMenu* menu) {
    std::vector<MenuItem> items;
    for (QAction* action : menu->actions())
        items.push_back({action->isSeparator() ? "" : action->text().toStdString(), !action->icon().isNull()});
    return items;
}

TEST_F(MainWindowTest, MenusHoldTheirTextsShortcutTextsAndIcons) {
    open();
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected{
        {"File", {"New\tCtrl+N", "", "Add Input File...", "Select Output Folder...", "", "Exit\tAlt+X"}},
        {"Converter", {"Convert\tF5", "View Texture...\tCtrl+T", "", "Find a File Converter...", "", "Preferences..."}},
        {"Help",
         {"User Manual...\tF1", "", "Send Feedback", "Visit the Program's Homepage", "Check For a New Version", "",
          "About..."}},
    };
    const QList<QAction*> menus = state.main.menuBar->actions();
    ASSERT_EQ(menus.size(), 3);
    for (std::size_t m = 0; m < expected.size(); ++m) {
        EXPECT_EQ(menus[m]->text().toStdString(), expected[m].first);
        std::vector<MenuItem> items = itemsOf(menus[m]->menu());
        ASSERT_EQ(items.size(), expected[m].second.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].text, expected[m].second[i]);
            EXPECT_EQ(items[i].hasIcon, !items[i].text.empty()) << items[i].text;
        }
    }
}

TEST_F(MainWindowTest, MenuItemsPostTheirCommands) {
    open();
    std::vector<int> commands;
    for (QAction* menu : state.main.menuBar->actions())
        for (QAction* item : menu->menu()->actions())
            if (!item->isSeparator()) item->trigger();
    for (const UiEvent& event : takeEvents()) {
        EXPECT_EQ(event.kind, EventKind::Command);
        EXPECT_EQ(event.window, kMainWindow);
        commands.push_back(event.command);
    }
    EXPECT_EQ(commands, (std::vector<int>{0, 5, 7, 3, 14, 25, 16, 17, 18, 21, 22, 23, 24}));
}

TEST_F(MainWindowTest, ToolbarButtonsTooltipsAndIconSize) {
    for (auto [uiSize, pixels] : {std::pair{0, 16}, {2, 32}, {4, 64}, {7, 16}}) {
        SCOPED_TRACE(uiSize);
        TearDown();
        ui.UISize = uiSize;
        loadWindowResources(state);
        open();
        QToolBar* toolbar = state.main.toolbar;
        EXPECT_EQ(toolbar->iconSize(), QSize(pixels, pixels));
        std::vector<std::string> tips;
        for (QAction* action : toolbar->actions()) {
            tips.push_back(action->isSeparator() ? "" : action->toolTip().toStdString());
            if (!action->isSeparator()) {
                EXPECT_FALSE(action->icon().isNull());
                EXPECT_FALSE(action->icon().availableSizes().empty());
                EXPECT_EQ(action->icon().availableSizes().front(), QSize(pixels, pixels));
            }
        }
        EXPECT_EQ(tips, (std::vector<std::string>{"New", "Add Input File...", "Select Output Folder...", "",
                                                  "Preferences...", "", "Convert", "", "User Manual...",
                                                  "Send Feedback", "Visit the Program's Homepage",
                                                  "Check For a New Version"}));
        EXPECT_GT(state.main.toolbarHeight, pixels);
    }
}

TEST_F(MainWindowTest, FieldButtonsCarryIconTooltipAndCommand) {
    open();
    const std::vector<std::pair<std::string, int>> expected{
        {"Add Input File...", 5}, {"Select Output Folder...", 7}, {"Options...", 8}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QToolButton* button = state.main.fieldButtons[i];
        EXPECT_EQ(button->toolTip().toStdString(), expected[i].first);
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_EQ(button->iconSize(), QSize(16, 16));
        EXPECT_TRUE(button->autoRaise());
        button->click();
        std::vector<UiEvent> events = takeEvents();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].command, expected[i].second);
    }
}

TEST_F(MainWindowTest, WindowTextsAndConvertPicture) {
    open();
    MainWindow& w = state.main;
    EXPECT_EQ(w.frame->windowTitle().toStdString(), "Korvane PNG to DDS 2.8");
    EXPECT_EQ(w.statusText->text().toStdString(), "Ready");
    EXPECT_EQ(w.inputLabel->text().toStdString(), "Input File:");
    EXPECT_EQ(w.folderLabel->text().toStdString(), "Output Folder:");
    EXPECT_EQ(w.formatLabel->text().toStdString(), "Output Format:");
    EXPECT_FALSE(w.vendorNotice->text().isEmpty());
    EXPECT_EQ(w.convertButton->iconSize(), QSize(64, 64));
    EXPECT_FALSE(w.convertButton->icon().isNull());
    ASSERT_EQ(w.formatList->count(), 1);
    EXPECT_EQ(w.formatList->currentText().toStdString(), "DDS (DirectDraw Surface)");
    EXPECT_EQ(w.formatList->currentData().toInt(), 0);
    // No history yet: one empty entry, nothing selected.
    EXPECT_EQ(w.folderList->count(), 1);
    EXPECT_EQ(w.folderList->currentIndex(), -1);
}

TEST_F(MainWindowTest, ShortcutsReachTheQueue) {
    open();
    QWidget* frame = state.main.frame;
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    clearEvents();
    QTest::keyClick(frame->windowHandle(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(frame->windowHandle(), Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(frame->windowHandle(), Qt::Key_F5);
    QTest::keyClick(frame->windowHandle(), Qt::Key_F1);
    QTest::keyClick(frame->windowHandle(), Qt::Key_T, Qt::ControlModifier);
    std::vector<int> commands;
    for (const UiEvent& event : takeEvents())
        if (event.kind == EventKind::Command) commands.push_back(event.command);
    EXPECT_EQ(commands, (std::vector<int>{0, 3, 14, 18, 25}));
}

TEST_F(MainWindowTest, TheCloseBoxPostsACloseAndKeepsTheWindow) {
    open();
    EXPECT_FALSE(state.main.frame->close());
    std::vector<UiEvent> events = takeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, EventKind::Close);
    EXPECT_TRUE(state.main.frame->isVisible());
}

TEST_F(MainWindowTest, DispatchOfCloseCommandsAndControls) {
    open();
    struct Case {
        const char* name;
        UiEvent event;
        WindowId openDialog;
        bool quits;
    };
    const std::vector<Case> cases{
        {"close", {EventKind::Close, kMainWindow, {}, ControlEvent::Click, kCommandNone, {}}, kNoDialog, true},
        {"exit", {EventKind::Command, kMainWindow, {}, ControlEvent::Click, kCommandExit, {}}, kNoDialog, true},
        {"close with a dialog open", {EventKind::Close, kMainWindow, {}, ControlEvent::Click, kCommandNone, {}}, kPreferencesWindow, false},
        {"exit with a dialog open", {EventKind::Command, kMainWindow, {}, ControlEvent::Click, kCommandExit, {}}, kAboutWindow, false},
        {"unknown command", {EventKind::Command, kMainWindow, {}, ControlEvent::Click, static_cast<CommandId>(99), {}}, kNoDialog, false},
        {"a dialog's close", {EventKind::Close, kAboutWindow, {}, ControlEvent::Click, kCommandNone, {}}, kAboutWindow, false},
        {"drop", {EventKind::FilesDropped, kMainWindow, {}, ControlEvent::Click, kCommandNone, {"/a.png", "/b.png"}}, kNoDialog, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.quitRequested = false;
        state.openDialog = c.openDialog;
        dispatchEvent(state, c.event);
        EXPECT_EQ(state.quitRequested, c.quits);
    }
    state.openDialog = kNoDialog;
    // Every command of the table is safe to dispatch now; the dialogs they
    // open are cancelled and the boxes answered (the update check meets a
    // closed local port and has no boxes in this test).
    const ChooserTable saved = choosers();
    choosers().openFile = [](QWidget*, const std::string&, const std::string&, const std::string&) {
        return std::optional<std::string>();
    };
    choosers().chooseFolder = [](QWidget*, const std::string&, const std::string&) {
        return std::optional<std::string>();
    };
    choosers().messageBox = [](QWidget*, const std::string&, const std::string&, MessageIcon, MessageButtons) {
        return MessageAnswer::Ok;
    };
    for (CommandId command : {kCommandNew, kCommandAddInputFile, kCommandSelectOutputFolder, kCommandOutputFormatOptions,
                              kCommandConvert, kCommandFindConverter, kCommandPreferences, kCommandCheckForUpdates,
                              kCommandAbout}) {
        state.quitRequested = false;
        dispatchEvent(state, {EventKind::Command, kMainWindow, {}, ControlEvent::Click, command, {}});
        EXPECT_FALSE(state.quitRequested) << command;
    }
    choosers() = saved;
}

TEST_F(MainWindowTest, NewEmptiesTheInputAndSaysReady) {
    open();
    MainWindow& w = state.main;
    w.inputField->setText("/somewhere/picture.png");
    w.statusText->setText("Conversion complete");
    job.runMode = RunMode::Debug;
    dispatchEvent(state, {EventKind::Command, kMainWindow, {}, ControlEvent::Click, kCommandNew, {}});
    EXPECT_TRUE(w.inputField->text().isEmpty());
    EXPECT_EQ(w.statusText->text().toStdString(), "Ready");
    EXPECT_EQ(job.runMode, RunMode::Normal);
}

TEST_F(MainWindowTest, ListControlsStoreFolderAndFormat) {
    open();
    MainWindow& w = state.main;
    w.folderList->addItem("/data/out/");
    w.folderList->setCurrentIndex(1);
    dispatchEvent(state, {EventKind::Control, kMainWindow, kFolderListControl, ControlEvent::Change, kCommandNone, {}});
    EXPECT_EQ(job.outputFolder, "/data/out/");
    conversion.OutputFormat = "xyz";
    dispatchEvent(state, {EventKind::Control, kMainWindow, kFormatListControl, ControlEvent::Change, kCommandNone, {}});
    EXPECT_EQ(conversion.OutputFormat, "dds");
}

TEST_F(MainWindowTest, TheScreenshotRunNeverStartsTheUpdateCheck) {
    job.runMode = RunMode::Screenshot;
    open();
    EXPECT_EQ(updateChecks, 0);
    TearDown();
    job.runMode = RunMode::Normal;
    open();
    EXPECT_EQ(updateChecks, 1);
}

// The window system hands a drop to the innermost widget that accepts drops;
// only the frame may, so a drop on the input field or the folder list goes
// through the window's drop rule instead of into the field's text.
TEST_F(MainWindowTest, OnlyTheWindowTakesDrops) {
    open();
    EXPECT_TRUE(state.main.frame->acceptDrops());
    const QList<QWidget*> controls = state.main.frame->findChildren<QWidget*>();
    ASSERT_FALSE(controls.isEmpty());
    for (QWidget* control : controls) EXPECT_FALSE(control->acceptDrops()) << control->metaObject()->className();
    EXPECT_FALSE(state.main.inputField->acceptDrops());
    EXPECT_FALSE(state.main.folderList->acceptDrops());
}

TEST_F(MainWindowTest, SavedGeometryIsUsedWhenItFitsTheScreen) {
    ui.X = 30;
    ui.Y = 40;
    open(600);
    EXPECT_EQ(state.main.frame->pos(), QPoint(30, 40));
    EXPECT_EQ(state.main.client->size(), QSize(600, 260));
}

// Values a hand-edited file may hold: the window is built without any
// arithmetic overflowing (the sanitizer build checks that) and its title bar
// ends up on the screen.
TEST_F(MainWindowTest, HostileStoredGeometryLeavesTheWindowOnTheScreen) {
    struct Case {
        const char* name;
        int x, y, width, height;
    };
    const Case cases[]{
        {"height at the int minimum", 10, 10, 510, INT_MIN},
        {"height at the int maximum", 10, 10, 510, INT_MAX},
        {"width at the int minimum", 10, 10, INT_MIN, 260},
        {"width at the int maximum", 10, 10, INT_MAX, 260},
        {"X and Y at the int maximum", INT_MAX, INT_MAX, 510, 260},
        {"X and Y at the int minimum", INT_MIN, INT_MIN, 510, 260},
        {"one pixel on the screen", 2147483139, 10, 510, 260},
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        ui.X = c.x;
        ui.Y = c.y;
        ui.Width = c.width;
        ui.Height = c.height;
        ASSERT_TRUE(buildMainWindow(state));
        finishMainWindow(state);
        QApplication::processEvents();
        const QRect frame(state.main.frame->pos(), state.main.frame->size());
        EXPECT_TRUE(screen.contains(frame.topLeft())) << frame.x() << "," << frame.y();
        EXPECT_EQ(state.main.client->height(), 260);
        EXPECT_LE(state.main.client->width(), std::max(kMinClientWidth, screen.width()));
    }
}

struct ShapeCase {
    const char* name;
    WindowShape shape;
    int isMaximized, x, y, width, height;
};

TEST(ShutdownRules, WindowGeometryByState) {
    const std::vector<ShapeCase> cases{
        {"normal", {false, false, 700, 260, 12, 34}, 0, 12, 34, 700, 260},
        {"maximized keeps the normal geometry", {true, false, 1280, 260, 0, 0}, 1, 5, 6, 600, 260},
        {"minimized changes nothing", {false, true, 0, 0, -32000, -32000}, 7, 5, 6, 600, 260},
        {"under Wayland the size only", {false, false, 700, 260, 0, 0, false}, 0, 5, 6, 700, 260},
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        InterfaceSettings ui;
        ui.IsMaximized = 7;
        ui.X = 5;
        ui.Y = 6;
        ui.Width = 600;
        ui.Height = 260;
        storeWindowGeometry(ui, c.shape);
        EXPECT_EQ(ui.IsMaximized, c.isMaximized);
        EXPECT_EQ(ui.X, c.x);
        EXPECT_EQ(ui.Y, c.y);
        EXPECT_EQ(ui.Width, c.width);
        EXPECT_EQ(ui.Height, c.height);
    }
}

TEST_F(MainWindowTest, ShutdownWritesTheConfigurationAndEmptiesADisabledHistory) {
    TempFolder folder;
    for (auto [history, expectedLine] : {std::pair{0, "Recent Out Folders = \r\n"},
                                         std::pair{1, "Recent Out Folders = /a/\t/b/\r\n"}}) {
        SCOPED_TRACE(history);
        TearDown();
        ui.OutFoldersHistory = static_cast<bool8>(history);
        ui.RecentOutFolders = "/a/\t/b/";
        state.configPath = folder.path + "config.ini";
        open(640);
        runShutdownSteps(state);
        const std::string written = readFileBytes(state.configPath);
        EXPECT_NE(written.find(expectedLine), std::string::npos);
        EXPECT_NE(written.find("Width = 640\r\n"), std::string::npos);
        EXPECT_NE(written.find("IsMaximized = 0\r\n"), std::string::npos);
    }
}

struct PlacementCase {
    const char* name;
    int x, y, width;
    std::vector<QRect> screens;
    FramePlacement expected;
};

TEST(WindowPlacement, ClampedAndCentredWhenOffScreen) {
    const QRect primary(0, 0, 1280, 1024);
    const QRect right(1280, 0, 800, 600);
    const int menu = 20;
    const std::vector<PlacementCase> cases{
        {"fits", 100, 50, 600, {primary}, {100, 50, 600, 260}},
        {"left of every screen", -3000, 10, 510, {primary}, {385, 372, 510, 260}},
        {"below every screen", 10, 5000, 510, {primary}, {385, 372, 510, 260}},
        {"wider than the screen", 0, 0, 5000, {primary}, {0, 0, 1280, 260}},
        {"narrower than allowed", 0, 0, 100, {primary}, {0, 0, 510, 260}},
        {"on the second screen", 1300, 100, 700, {primary, right}, {1300, 100, 700, 260}},
        {"second screen gone", 1300, 100, 700, {primary}, {290, 372, 700, 260}},
        {"too wide for the second screen", 1300, 100, 1000, {primary, right}, {1300, 100, 800, 260}},
        {"X near the int limit shows one pixel", 2147483139, 100, 510, {primary}, {385, 372, 510, 260}},
        {"far left and very wide", -5000, 10, 100000, {primary}, {0, 372, 1280, 260}},
        {"X and Y at the int limit", INT_MAX, INT_MAX, 510, {primary}, {385, 372, 510, 260}},
        {"X and Y at the int minimum", INT_MIN, INT_MIN, 510, {primary}, {385, 372, 510, 260}},
        {"width at the int minimum", 100, 50, INT_MIN, {primary}, {100, 50, 510, 260}},
        {"width at the int maximum", 0, 0, INT_MAX, {primary}, {0, 0, 1280, 260}},
        {"title bar above the screen", 100, -200, 600, {primary}, {340, 372, 600, 260}},
        {"a sliver at the right edge", 1275, 100, 510, {primary}, {385, 372, 510, 260}},
        {"half the title bar on screen", -255, 100, 510, {primary}, {-255, 100, 510, 260}},
        {"no screen: cut to the limits", INT_MAX, INT_MIN, INT_MAX, {},
         {kCoordinateLimit, -kCoordinateLimit, kCoordinateLimit, 260}},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        FramePlacement placed = placeMainWindow(c.x, c.y, c.width, 400, menu, c.screens);
        EXPECT_EQ(placed.x, c.expected.x);
        EXPECT_EQ(placed.y, c.expected.y);
        EXPECT_EQ(placed.clientWidth, c.expected.clientWidth);
        EXPECT_EQ(placed.clientHeight, c.expected.clientHeight);
    }
}

TEST(Screenshot, ThumbnailHeightRoundsHalvesAwayFromZero) {
    struct Case {
        int width, height, expected;
    };
    for (const Case& c : {Case{510, 282, 100}, Case{40, 1, 5}, Case{360, 1, 1}, Case{180, 100, 100},
                          Case{520, 310, 107}, Case{0, 10, 0}}) {
        EXPECT_EQ(thumbnailHeight(c.width, c.height), c.expected) << c.width << " x " << c.height;
    }
}

TEST(Screenshot, AMissingFolderGivesNothing) {
    TempFolder folder;
    ConversionSettings conversion;
    InterfaceSettings ui;
    BatchJob job;
    takeScreenshot(folder.path + "missing/", conversion, ui, job);
    EXPECT_TRUE(listFolder(folder.path).empty());
}

}  // namespace

