#include "app/main_window.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>

#include "app/app_state.h"
#include "app/modal_dialogs.h"
#include "app/input_output.h"
#include "settings/batch_job.h"
#include "settings/formats.h"
#include "settings/paths.h"
#include "settings/product.h"
#include "settings/string_table.h"
#include "settings/text.h"
#include "ui/display.h"
#include "ui/elided_paths.h"
#include "ui/events.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"
#include "ui/window_events.h"

namespace {

// The fields' box holds the lists and the Convert button (bottom at 120);
// the notice sits 70 above the client's bottom edge.
constexpr int kBoxContentHeight = 122;
constexpr int kNoticeFromBottom = 70;
constexpr int kBoxSpacing = 40;  // the box's height is the client's less the bars and this

constexpr int kMenuIconSize = 16;
constexpr int kButtonImageSize = 64;
constexpr int kFieldButtonSize = 24;

std::string menuText(const char* key) { return lookupString(stringTable(), "Menu", key); }

// Every command of the main window, declared once: its number, picture,
// text key (menu text and tooltip) and keyboard shortcut. Menus, toolbar,
// field buttons and shortcut keys list command numbers and read the rest
// here.
struct CommandRow {
    CommandId command;
    const char* icon;
    const char* textKey;
    std::optional<QKeyCombination> keys;
};

const std::array<CommandRow, 14>& commandRows() {
    static const std::array<CommandRow, 14> rows{{
        {kCommandNew, "New", "New", QKeyCombination(Qt::CTRL, Qt::Key_N)},
        {kCommandAddInputFile, "Add", "Select Input File", {}},
        {kCommandSelectOutputFolder, "OutFolder", "Select Output Folder", {}},
        {kCommandOutputFormatOptions, "OutFormat", "Output Format Options", {}},
        {kCommandExit, "Exit", "Exit", QKeyCombination(Qt::ALT, Qt::Key_X)},
        {kCommandConvert, "Convert", "Convert", QKeyCombination(Qt::Key_F5)},
        {kCommandFindConverter, "CustomConverter", "Custom Converter", {}},
        {kCommandViewTexture, "ViewTexture", "View Texture", QKeyCombination(Qt::CTRL, Qt::Key_T)},
        {kCommandPreferences, "Preferences", "Preferences", {}},
        {kCommandUserManual, "Help", "Manual", QKeyCombination(Qt::Key_F1)},
        {kCommandSendFeedback, "Email", "Send Feedback", {}},
        {kCommandVisitHomepage, "Web", "Visit Homepage", {}},
        {kCommandCheckForUpdates, "Updates", "Check For New Version", {}},
        {kCommandAbout, "About", "About", {}},
    }};
    return rows;
}

const CommandRow& commandRow(CommandId command) {
    const auto& rows = commandRows();
    return *std::find_if(rows.begin(), rows.end(), [command](const CommandRow& row) { return row.command == command; });
}

// A separator in a menu or the toolbar.
constexpr CommandId kSeparator = kCommandNone;

struct MenuTable {
    const char* titleKey;
    std::vector<CommandId> commands;
};

const std::vector<MenuTable>& menuTables() {
    static const std::vector<MenuTable> tables{
        {"File",
         {kCommandNew, kSeparator, kCommandAddInputFile, kCommandSelectOutputFolder, kSeparator, kCommandExit}},
        {"Converter",
         {kCommandConvert, kCommandViewTexture, kSeparator, kCommandFindConverter, kSeparator, kCommandPreferences}},
        {"Help",
         {kCommandUserManual, kSeparator, kCommandSendFeedback, kCommandVisitHomepage, kCommandCheckForUpdates,
          kSeparator, kCommandAbout}},
    };
    return tables;
}

constexpr std::array<CommandId, 12> kToolbarCommands{
    kCommandNew,        kCommandAddInputFile, kCommandSelectOutputFolder, kSeparator,
    kCommandPreferences, kSeparator,          kCommandConvert,            kSeparator,
    kCommandUserManual, kCommandSendFeedback, kCommandVisitHomepage,      kCommandCheckForUpdates,
};

struct FieldButtonRow {
    CommandId command;
    int y;
};

constexpr std::array<FieldButtonRow, 3> kFieldButtons{{
    {kCommandAddInputFile, 19},
    {kCommandSelectOutputFolder, 59},
    {kCommandOutputFormatOptions, 99},
}};

// The text a menu shows after TAB for a shortcut: "Ctrl+N", "F5".
std::string shortcutText(QKeyCombination keys) {
    return QKeySequence(keys).toString(QKeySequence::PortableText).toStdString();
}

QLabel* addLabel(QWidget* parent, const std::string& text, QRect place) {
    auto* label = new QLabel(qt(text), parent);
    label->setGeometry(place);
    return label;
}

QComboBox* addImageList(QWidget* parent, MainControl control, QRect place) {
    auto* list = new QComboBox(parent);
    list->setEditable(false);
    list->setIconSize(QSize(kListIconSize, kListIconSize));
    list->setGeometry(place);
    QObject::connect(list, &QComboBox::activated,
                     [control](int) { postControl(kMainWindow, control, ControlEvent::Change); });
    return list;
}

void addShortcuts(QWidget* frame) {
    for (const CommandRow& row : commandRows()) {
        if (!row.keys) continue;
        auto* shortcut = new QShortcut(QKeySequence(*row.keys), frame);
        shortcut->setContext(Qt::WindowShortcut);
        CommandId command = row.command;
        QObject::connect(shortcut, &QShortcut::activated, [command] { postCommand(kMainWindow, command); });
    }
}

std::string vendorNoticeText() { return std::string(kMakerNotice) + " \xE2\x80\x93 " + vendorHostName(); }

std::vector<QRect> availableScreens() {
    std::vector<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) screens.push_back(primary->availableGeometry());
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) screens.push_back(screen->availableGeometry());
    return screens;
}

void buildStatusBar(MainWindow& window) {
    window.statusBar = new QStatusBar(window.client);
    window.statusText = new QLabel(window.statusBar);
    window.statusBar->addWidget(window.statusText, 1);
    window.statusBarHeight = window.statusBar->sizeHint().height();
}

void buildContainer(AppState& state) {
    MainWindow& window = state.main;
    window.container = new QWidget(window.client);
    // The stored size may be anything a hand-edited file holds; the window
    // takes only one height, and layoutMainWindow fits the box to the client.
    window.container->setGeometry(0, window.toolbarHeight + window.topOffset, storedClientWidth(state.ui.Width),
                                  kClientHeight - 130);
    QWidget* box = window.container;
    window.inputLabel = addLabel(box, lookupString(stringTable(), "General", "Input File"), {10, 5, 350, 20});
    window.inputField = new QLineEdit(box);
    window.inputField->setGeometry(10, 20, 350, 20);
    showPathElided(window.inputField);
    buildFieldButtons(state);
    window.folderLabel = addLabel(box, lookupString(stringTable(), "General", "Output Folder"), {10, 45, 350, 20});
    window.folderList = addImageList(box, kFolderListControl, {10, 60, 350, 21});
    showPathsElided(window.folderList);
    window.formatLabel = addLabel(box, lookupString(stringTable(), "General", "Output Format"), {10, 85, 350, 20});
    window.formatList = addImageList(box, kFormatListControl, {10, 100, 350, 21});
    window.convertButton = new QToolButton(box);
    window.convertButton->setGeometry(400, 20, 100, 100);
    window.convertButton->setIconSize(QSize(kButtonImageSize, kButtonImageSize));
    window.convertButton->setIcon(slotIcon(state.images.buttonImages, "Convert", kButtonImageSize));
    window.convertButton->setToolTip(qt(menuText("Convert")));
    QObject::connect(window.convertButton, &QToolButton::clicked,
                     [] { postControl(kMainWindow, kConvertButtonControl, ControlEvent::Click); });
}

}  // namespace

int storedClientWidth(int width) { return std::clamp(width, kMinClientWidth, kCoordinateLimit); }

namespace {

int widthOnScreen(int width, const QRect& screen) {
    return std::clamp(width, kMinClientWidth, std::max(kMinClientWidth, screen.width()));
}

bool titleBarUsable(int x, int y, int width, int titleHeight, const QRect& screen) {
    const QRect shown = screen.intersected(QRect(x, y, width, titleHeight));
    return shown.width() >= std::min(width, kUsableTitleWidth) && shown.height() * 2 >= titleHeight;
}

}  // namespace

FramePlacement placeMainWindow(int x, int y, int clientWidth, int clientHeight, int menuBarHeight,
                               const std::vector<QRect>& screens) {
    (void)clientHeight;  // the window takes only one height
    x = std::clamp(x, -kCoordinateLimit, kCoordinateLimit);
    y = std::clamp(y, -kCoordinateLimit, kCoordinateLimit);
    FramePlacement placed{x, y, storedClientWidth(clientWidth), kClientHeight};
    if (screens.empty()) return placed;
    const int titleHeight = std::max(menuBarHeight, 1);
    for (const QRect& screen : screens) {
        const int width = widthOnScreen(placed.clientWidth, screen);
        if (titleBarUsable(x, y, width, titleHeight, screen)) {
            placed.clientWidth = width;
            return placed;
        }
    }
    const QRect& primary = screens.front();
    placed.clientWidth = widthOnScreen(placed.clientWidth, primary);
    placed.x = primary.x() + (primary.width() - placed.clientWidth) / 2;
    placed.y = primary.y() + (primary.height() - placed.clientHeight - menuBarHeight) / 2;
    return placed;
}

void buildMenus(AppState& state) {
    MainWindow& window = state.main;
    for (QMenu* old : window.menuBar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) delete old;
    window.menuBar->clear();
    for (const MenuTable& table : menuTables()) {
        QMenu* menu = window.menuBar->addMenu(qt(menuText(table.titleKey)));
        for (CommandId command : table.commands) {
            if (command == kSeparator) {
                menu->addSeparator();
                continue;
            }
            const CommandRow& row = commandRow(command);
            std::string text = menuText(row.textKey);
            if (row.keys) text += "\t" + shortcutText(*row.keys);
            QAction* action = menu->addAction(slotIcon(state.images.menuIcons, row.icon, kMenuIconSize), qt(text));
            QObject::connect(action, &QAction::triggered, [command] { postCommand(kMainWindow, command); });
        }
    }
    window.menuBarHeight = window.menuBar->sizeHint().height();
}

void buildToolbar(AppState& state) {
    MainWindow& window = state.main;
    delete window.toolbar;
    const int size = iconSizeForUiSize(state.ui.UISize);
    window.toolbar = new QToolBar(window.client);
    window.toolbar->setMovable(false);
    window.toolbar->setFloatable(false);
    window.toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    window.toolbar->setIconSize(QSize(size, size));
    for (CommandId command : kToolbarCommands) {
        if (command == kSeparator) {
            window.toolbar->addSeparator();
            continue;
        }
        const CommandRow& row = commandRow(command);
        QAction* action = window.toolbar->addAction(slotIcon(state.images.toolbarIcons, row.icon, size),
                                                    qt(menuText(row.textKey)));
        action->setToolTip(qt(menuText(row.textKey)));
        QObject::connect(action, &QAction::triggered, [command] { postCommand(kMainWindow, command); });
    }
    window.toolbarHeight = window.toolbar->sizeHint().height();
    window.toolbar->setGeometry(0, 0, window.client->width(), window.toolbarHeight);
    window.toolbar->show();
}

void buildFieldButtons(AppState& state) {
    MainWindow& window = state.main;
    for (std::size_t i = 0; i < kFieldButtons.size(); ++i) {
        delete window.fieldButtons[i];
        const FieldButtonRow& place = kFieldButtons[i];
        const CommandRow& row = commandRow(place.command);
        auto* button = new QToolButton(window.container);
        button->setAutoRaise(true);
        button->setIconSize(QSize(kMenuIconSize, kMenuIconSize));
        button->setIcon(slotIcon(state.images.menuIcons, row.icon, kMenuIconSize));
        button->setToolTip(qt(menuText(row.textKey)));
        button->setGeometry(window.container->width() - 146, place.y, kFieldButtonSize, kFieldButtonSize);
        CommandId command = row.command;
        QObject::connect(button, &QToolButton::clicked, [command] { postCommand(kMainWindow, command); });
        button->show();
        window.fieldButtons[i] = button;
    }
}

bool buildMainWindow(AppState& state) {
    MainWindow& window = state.main;
    window.frame = new QWidget(nullptr, Qt::Window);
    window.frame->setWindowTitle(qt(titleWithVersion()));
    window.menuBar = new QMenuBar(window.frame);
    window.client = new QWidget(window.frame);
    auto* layout = new QVBoxLayout(window.frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(window.menuBar);
    layout->addWidget(window.client);
    // Wider, never taller or shorter: the bounds hold the client area, the
    // layout carries them to the frame (menu bar added).
    layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    window.client->setMinimumSize(kMinClientWidth, kClientHeight);
    window.client->setMaximumHeight(kClientHeight);

    buildMenus(state);
    buildToolbar(state);
    buildStatusBar(window);
    buildContainer(state);
    window.vendorNotice = addLabel(window.client, vendorNoticeText(), {10, kClientHeight - kNoticeFromBottom, 350, 20});
    addShortcuts(window.frame);

    const FramePlacement placed = placeMainWindow(state.ui.X, state.ui.Y, state.ui.Width, state.ui.Height,
                                                  window.menuBarHeight, availableScreens());
    const QSize bounds = clientBounds(window);
    const int width = std::max(placed.clientWidth, bounds.width());
    window.client->setMinimumSize(bounds);
    window.client->setMaximumHeight(bounds.height());
    if (windowPositionsKnown()) window.frame->move(placed.x, placed.y);
    window.frame->resize(width, bounds.height() + window.menuBarHeight);
    window.client->resize(width, bounds.height());
    layoutMainWindow(window);
    return true;
}

QSize clientBounds(const MainWindow& window) {
    const int toolbarWidth = window.toolbar ? window.toolbar->sizeHint().width() : 0;
    const int boxFits = window.menuBarHeight + window.toolbarHeight + window.statusBarHeight + kBoxSpacing +
                        kBoxContentHeight;
    const int noticeFits = window.toolbarHeight + window.topOffset + kBoxContentHeight + kNoticeFromBottom;
    return {std::max(kMinClientWidth, toolbarWidth), std::max({kClientHeight, boxFits, noticeFits})};
}

void applyClientBounds(MainWindow& window) {
    if (!window.client) return;
    const QSize bounds = clientBounds(window);
    window.client->setMinimumSize(bounds);
    window.client->setMaximumHeight(bounds.height());
    window.client->resize(std::max(window.client->width(), bounds.width()), bounds.height());
}

void layoutMainWindow(MainWindow& window) {
    if (!window.client || !window.container) return;
    const int w = window.client->width();
    const int h = window.client->height();
    if (window.toolbar) window.toolbar->setGeometry(0, 0, w, window.toolbarHeight);
    if (window.statusBar) window.statusBar->setGeometry(0, h - window.statusBarHeight, w, window.statusBarHeight);
    const QRect box = window.container->geometry();
    window.container->setGeometry(box.x(), window.toolbarHeight + window.topOffset, w,
                                  h - window.menuBarHeight - window.toolbarHeight - window.statusBarHeight - kBoxSpacing);
    if (window.vendorNotice) window.vendorNotice->move(window.vendorNotice->x(), h - kNoticeFromBottom);
    for (QWidget* field : {static_cast<QWidget*>(window.inputField), static_cast<QWidget*>(window.folderList),
                           static_cast<QWidget*>(window.formatList)}) {
        const QRect place = field->geometry();
        field->setGeometry(place.x(), place.y(), w - 160, place.height());
    }
    for (std::size_t i = 0; i < window.fieldButtons.size(); ++i)
        if (QToolButton* button = window.fieldButtons[i])
            button->setGeometry(w - 146, kFieldButtons[i].y, kFieldButtonSize, kFieldButtonSize);
    const QRect convert = window.convertButton->geometry();
    window.convertButton->setGeometry(w - 110, convert.y(), convert.width(), convert.height());
    window.frame->update();
}

void fillOutputFormatList(QComboBox* list, const ConversionSettings& conversion, const ImageSlots& images,
                          bool withDescriptions) {
    list->clear();
    int selected = 0;
    for (std::size_t index = 0; index < kOutputFormatList.size(); ++index) {
        const std::string& format = kOutputFormatList[index];
        if (format.empty()) continue;
        std::string text = toUpperText(format);
        if (withDescriptions)
            for (const OutputFormatEntry& entry : kOutputFormatTable)
                if (entry.extension == format) text += " (" + entry.description + ")";
        if (format == conversion.OutputFormat) selected = list->count();
        list->addItem(slotIcon(images.menuIcons, "New", kMenuIconSize), qt(text), static_cast<int>(index));
    }
    list->setCurrentIndex(list->count() > 0 ? selected : -1);
}

void refreshThemedControls(AppState& state) {
    MainWindow& window = state.main;
    if (window.convertButton)
        window.convertButton->setIcon(slotIcon(state.images.buttonImages, "Convert", kButtonImageSize));
    const std::pair<QComboBox*, const char*> lists[] = {{window.folderList, "FavFolder"}, {window.formatList, "New"}};
    for (const auto& [list, icon] : lists) {
        if (!list) continue;
        const QIcon picture = slotIcon(state.images.menuIcons, icon, kMenuIconSize);
        for (int i = 0; i < list->count(); ++i) list->setItemIcon(i, picture);
    }
}

void applyInterfaceChanges(AppState& state, InterfaceRefresh refresh) {
    MainWindow& window = state.main;
    switch (refresh) {
        case InterfaceRefresh::IconSize: {
            // Built-in pictures at the new size first, so a theme without
            // them does not leave pictures drawn for the old size.
            ImageSlots fresh;
            loadBuiltinImages(fresh, state.ui);
            state.images.toolbarIcons = std::move(fresh.toolbarIcons);
            applyTheme(state.programFolder, state.ui, state.themes, state.images, false, false, true);
            buildToolbar(state);
            break;
        }
        case InterfaceRefresh::Theme:
            // A picture the new theme lacks is the built-in one at once, as
            // after the next start, never the old theme's stale picture.
            loadBuiltinImages(state.images, state.ui);
            applyTheme(state.programFolder, state.ui, state.themes, state.images, true, true, true);
            buildMenus(state);
            buildToolbar(state);
            buildFieldButtons(state);
            refreshThemedControls(state);
            break;
        case InterfaceRefresh::None: break;
    }
    if (refresh != InterfaceRefresh::None) applyClientBounds(window);
    if (refresh != InterfaceRefresh::None && window.client) postLayoutRequest(window.client);
    if (window.formatList) {
        const QSignalBlocker block(window.formatList);
        for (int i = 0; i < window.formatList->count(); ++i) {
            const int index = window.formatList->itemData(i).toInt();
            if (index >= 0 && static_cast<std::size_t>(index) < kOutputFormatList.size() &&
                kOutputFormatList[static_cast<std::size_t>(index)] == state.conversion.OutputFormat)
                window.formatList->setCurrentIndex(i);
        }
    }
    if (window.folderList && window.folderList->count() != historyLimit(state.ui)) fillOutputFolderList(state);
}

void setStatusText(MainWindow& window, const std::string& text) {
    if (window.statusText) window.statusText->setText(qt(text));
}

void newSession(AppState& state) {
    fillOutputFolderList(state);
    resetBatchJob(state.job);
    state.programFolder = programFolder();
    MainWindow& window = state.main;
    window.inputField->clear();
    window.folderList->setCurrentIndex(-1);
    setStatusText(window, lookupString(stringTable(), "General", "Ready"));
    window.inputField->setFocus();
}

void finishMainWindow(AppState& state) {
    MainWindow& window = state.main;
    // The job reset of the new session clears the run mode: ask first
    // whether this is the screenshot run, which must not reach the network.
    const bool screenshotRun = state.job.runMode == RunMode::Screenshot;
    watchWindowEvents(window.frame, {kMainWindow, true, {}});
    MainWindow* bound = &window;
    watchWindowEvents(window.client, {kMainWindow, false, [bound] { layoutMainWindow(*bound); }});
    // Drops belong to the window: a field taking one itself would splice a
    // file manager's text into it. With no control accepting drops, every
    // drop on the window, fields included, reaches its drop rule.
    for (QWidget* control : window.client->findChildren<QWidget*>()) control->setAcceptDrops(false);
    if (state.ui.RecentOutFolders.empty()) window.folderList->insertItem(0, QString());
    fillOutputFormatList(window.formatList, state.conversion, state.images, true);
    newSession(state);
    if (state.ui.IsMaximized == 1)
        window.frame->showMaximized();
    else
        window.frame->show();
    postLayoutRequest(window.client);
    if (!screenshotRun && state.scheduledUpdateCheck) state.scheduledUpdateCheck(state);
}

void destroyMainWindow(MainWindow& window) {
    delete window.frame;
    window = MainWindow{};
}
