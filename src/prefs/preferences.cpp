#include "prefs/preferences.h"

#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>
#include <optional>

#include "app/app_state.h"
#include "app/modal_dialogs.h"
#include "settings/string_table.h"
#include "ui/choosers.h"
#include "ui/events.h"
#include "ui/qt_text.h"
#include "ui/window_events.h"

namespace {

// The size the dialog opens at the first time; it may be made larger, and
// keeps a larger size for the rest of the session.
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 350;
constexpr int kPageLeft = 140;
constexpr int kPageTop = 50;
constexpr int kButtonHeight = 25;
constexpr int kButtonWidth = 80;

// Captions in list order.
constexpr std::array<const char*, kPageCount> kPageKeys{"General",    "Interface", "Input",     "Output",  "Transform",
                                                        "Adjustment", "Frame",     "Watermark", "Advanced"};
// The pages in the order they are built and filled.
constexpr std::array<void (*)(PreferencesWindow&, AppState&), kPageCount> kPageBuilders{
    buildGeneralPage,    buildInterfacePage, buildInputPage,     buildOutputPage,  buildTransformPage,
    buildAdjustmentPage, buildFramePage,     buildWatermarkPage, buildAdvancedPage};

QPushButton* addButton(QWidget* frame, const char* key, PrefsControl control, QRect place) {
    auto* button = new QPushButton(qt(lookupString(stringTable(), "Dialog", key)), frame);
    // No default button: Enter must never reset the settings.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(place);
    QObject::connect(button, &QPushButton::clicked,
                     [control] { postControl(kPreferencesWindow, control, ControlEvent::Click); });
    return button;
}

// Places everything for the dialog's size: at 600 x 350 as described, and
// in a larger dialog the category list, the pages and their scroll areas
// take the room, the buttons stay at the bottom corners.
void layoutPreferences(PreferencesWindow& window) {
    const int width = window.frame->width();
    const int height = window.frame->height();
    const int buttonsTop = height - 35;
    window.categories->setGeometry(10, 10, 120, buttonsTop - 20);
    window.header->setGeometry(kPageLeft, 10, width - kPageLeft - 10, 30);
    const QSize page(width - kPageLeft - 10, buttonsTop - 10 - kPageTop);
    for (QWidget* shown : window.pages) {
        shown->setGeometry(kPageLeft, kPageTop, page.width(), page.height());
        for (QScrollArea* area : shown->findChildren<QScrollArea*>(Qt::FindDirectChildrenOnly))
            area->setGeometry(0, area->y(), page.width(), page.height() - area->y());
    }
    if (window.defaultsButton) {
        window.defaultsButton->move(10, buttonsTop);
        window.okButton->move(width - 2 * (kButtonWidth + 10), buttonsTop);
        window.cancelButton->move(width - (kButtonWidth + 10), buttonsTop);
    }
}

void buildFrame(PreferencesWindow& window, QWidget* owner) {
    window.frame = new QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window.frame->setWindowModality(Qt::WindowModal);
    window.frame->setWindowTitle(qt(prefText("Title")));
    window.frame->setMinimumSize(kClientWidth, kClientHeight);
    window.frame->resize(kClientWidth, kClientHeight);

    window.categories = new QTreeWidget(window.frame);
    window.categories->setGeometry(10, 10, 120, 295);
    window.categories->setHeaderHidden(true);
    window.categories->setRootIsDecorated(false);
    window.categories->setSelectionMode(QAbstractItemView::SingleSelection);
    // The selection keeps its colour when the list loses the focus.
    QPalette palette = window.categories->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    window.categories->setPalette(palette);
    QObject::connect(window.categories, &QTreeWidget::itemSelectionChanged,
                     [] { postControl(kPreferencesWindow, kCategoryList, ControlEvent::Change); });

    auto* header = new QFrame(window.frame);
    window.header = header;
    header->setGeometry(140, 10, 450, 30);
    header->setFrameShape(QFrame::Panel);
    header->setFrameShadow(QFrame::Sunken);
    header->setAutoFillBackground(true);
    QPalette white = header->palette();
    white.setColor(QPalette::Window, Qt::white);
    header->setPalette(white);
    window.caption = new QLabel(window.frame);
    window.caption->setGeometry(150, 17, 330, 20);

    for (int page = 0; page < kPageCount; ++page) {
        window.pages[page] = new QWidget(window.frame);
        window.pages[page]->setGeometry(140, 50, kPageWidth, kPageHeight);
        window.pages[page]->hide();
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window.frame);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated,
                     [] { postControl(kPreferencesWindow, kEscapeKey, ControlEvent::Click); });
    PreferencesWindow* shown = &window;
    watchWindowEvents(window.frame, {kPreferencesWindow, false, [shown] { layoutPreferences(*shown); }});
}

// Made after the pages' controls, so the keyboard goes from the category
// list through the page shown to the buttons.
void addButtons(PreferencesWindow& window) {
    window.defaultsButton = addButton(window.frame, "Defaults", kDefaultsButton, {10, 315, kButtonWidth, kButtonHeight});
    window.okButton = addButton(window.frame, "OK", kOkButton, {420, 315, kButtonWidth, kButtonHeight});
    window.cancelButton = addButton(window.frame, "Cancel", kCancelButton, {510, 315, kButtonWidth, kButtonHeight});
}

void fillCategories(PreferencesWindow& window, int startPage) {
    const QSignalBlocker block(window.categories);
    for (const char* key : kPageKeys) new QTreeWidgetItem(window.categories, QStringList(qt(prefText(key))));
    window.categories->setCurrentItem(window.categories->topLevelItem(startPage));
}

void setHeaderFont(QLabel* caption) {
    QFont font("MS Shell Dlg");
    font.setPointSize(10);
    font.setBold(true);
    caption->setFont(font);
}

// OK and Defaults: what the main window rebuilds when the theme or icon
// size changed (a theme change wins).
InterfaceRefresh interfaceChange(const std::string& themeBefore, int sizeBefore, const InterfaceSettings& now) {
    if (now.UITheme != themeBefore) return InterfaceRefresh::Theme;
    if (now.UISize != sizeBefore) return InterfaceRefresh::IconSize;
    return InterfaceRefresh::None;
}

// Tab goes only to controls that can change something: a list with its one
// entry (a unit, "Fixed", the one language) and a read-only field cannot,
// and a scroll area is no control. Lists a chooser adds to stay stops.
void takeNoTabStops(PreferencesWindow& window) {
    for (QScrollArea* area : window.frame->findChildren<QScrollArea*>()) area->setFocusPolicy(Qt::NoFocus);
    for (QLineEdit* field : window.frame->findChildren<QLineEdit*>())
        if (field->isReadOnly()) field->setFocusPolicy(Qt::NoFocus);
    for (QComboBox* list : window.frame->findChildren<QComboBox*>()) {
        const bool growsByChooser = list == window.font || list == window.fontColor || list == window.backColor;
        if (list->count() <= 1 && !growsByChooser) list->setFocusPolicy(Qt::NoFocus);
    }
}

// Rows and areas that depend on a switch, as the filled controls set them.
void showDependentRows(PreferencesWindow& window) {
    showOutputArea(window);
    showCompressionHint(window);
    enableTimestampRow(window);
    enableTransformRows(window);
    enableAdjustmentRows(window);
    showFrameArea(window);
    showWatermarkAreas(window);
    showScaleRows(window);
}

DialogOutcome applyPreferences(AppState& state, const PreferencesWindow& window) {
    const std::string themeBefore = state.ui.UITheme;
    const int sizeBefore = state.ui.UISize;
    state.ui.Language = "en";
    readBoundControls(window.bound, state);
    if (const std::optional<std::string> theme = chosenTheme(window)) state.ui.UITheme = *theme;
    if (const std::optional<int> iconSize = chosenIconSize(window)) state.ui.UISize = *iconSize;
    readInputOutputPages(window, state);
    readAdvancedPage(window, state);
    deriveColorCorrection(state.conversion);
    return {true, true, interfaceChange(themeBefore, sizeBefore, state.ui)};
}

DialogOutcome resetPreferences(AppState& state, const PreferencesWindow& window) {
    const MessageAnswer answer = choosers().messageBox(
        window.frame, lookupString(stringTable(), "Msg", "Reset to Defaults"),
        lookupString(stringTable(), "Msg", "Ask reset to defaults"), MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) return {};
    // What the main window shows is what the record held before the reset,
    // whatever the dialog's lists show now: the pictures are rebuilt even
    // when the lists already showed the default theme and size, which is
    // harmless, where comparing with the lists could leave stale pictures.
    const std::string themeBefore = state.ui.UITheme;
    const int sizeBefore = state.ui.UISize;
    ResetToDefaults(state.conversion, state.ui, false);
    return {true, true, interfaceChange(themeBefore, sizeBefore, state.ui)};
}

int pairOfControl(int control) { return (control - kFirstPairControl) / 2; }

DialogOutcome handleControl(AppState& state, PreferencesWindow& window, ControlId id) {
    const auto* found = std::get_if<PrefsControl>(&id);
    if (!found) return {};
    const PrefsControl control = *found;
    switch (control) {
        case kCategoryList:
            if (QTreeWidgetItem* item = window.categories->currentItem())
                showPreferencesPage(window, window.categories->indexOfTopLevelItem(item));
            return {};
        case kDefaultsButton: return resetPreferences(state, window);
        case kOkButton: return applyPreferences(state, window);
        case kCancelButton:
        case kEscapeKey: return {.closed = true};
        case kOutputFormatChoice: showOutputArea(window); return {};
        case kDdsCompressionChoice: showCompressionHint(window); return {};
        case kFileTimestampChoice: enableTimestampRow(window); return {};
        case kCustomTimestampPicker: window.customTimestampEdited = true; return {};
        case kRotationSwitch:
        case kResizeSwitch: enableTransformRows(window); return {};
        case kThresholdSwitch:
        case kDitherSwitch: enableAdjustmentRows(window); return {};
        case kFrameTypeChoice: showFrameArea(window); return {};
        case kWatermarkTypeChoice: showWatermarkAreas(window); return {};
        case kTextSizeChoice:
        case kImageSizeChoice: showScaleRows(window); return {};
        case kFontColorChooser: chooseListColor(window.fontColor, state.conversion.FontColors, window.frame); return {};
        case kBackColorChooser: chooseListColor(window.backColor, state.conversion.BackColors, window.frame); return {};
        case kFontChooser: chooseWatermarkFont(window, state); return {};
        case kImageChooser: chooseWatermarkImage(window); return {};
        case kGammaSlider: followGammaSlider(window.gamma); return {};
        case kGammaSpin: followGammaSpin(window.gamma, false); return {};
        case kGammaSpinDone: followGammaSpin(window.gamma, true); return {};
    }
    if (control >= kFirstColorFieldControl && control < kFirstColorFieldControl + kColorFieldCount) {
        chooseFieldColor(window.colorFields[control - kFirstColorFieldControl], window.frame);
    } else if (control >= kFirstPairControl && pairOfControl(control) < kPairCount) {
        SliderPair& pair = window.pairs[pairOfControl(control)];
        if ((control - kFirstPairControl) % 2 == 0)
            followSlider(pair);
        else
            followSpin(pair);
    }
    return {};
}

}  // namespace

void openPreferences(AppState& state) {
    if (state.preferences || !mayOpenDialog(state)) return;
    auto window = std::make_shared<PreferencesWindow>();
    buildFrame(*window, state.main.frame);
    if (!window->frame) return;
    const int startPage = std::clamp(state.preferencesStartPage, 0, kPageCount - 1);
    fillCategories(*window, startPage);
    setHeaderFont(window->caption);
    for (auto build : kPageBuilders) build(*window, state);
    fillBoundControls(window->bound, state);
    showDependentRows(*window);
    addButtons(*window);
    takeNoTabStops(*window);
    if (state.preferencesSize.isValid()) window->frame->resize(state.preferencesSize.expandedTo(window->frame->minimumSize()));
    layoutPreferences(*window);
    showPreferencesPage(*window, startPage);
    state.preferencesStartPage = kGeneralPage;

    state.preferences = window;
    beginDialog(state, kPreferencesWindow, window->frame, window->categories);
}

void showPreferencesPage(PreferencesWindow& window, int page) {
    if (page < 0 || page >= kPageCount) return;
    window.caption->setText(qt(prefText(kPageKeys[page])));
    for (int other = 0; other < kPageCount; ++other)
        if (other != page) window.pages[other]->hide();
    window.pages[page]->show();
}

DialogOutcome handlePreferencesEvent(AppState& state, const UiEvent& event) {
    if (!state.preferences) return {};  // left over from a dialog already closed
    switch (event.kind) {
        case EventKind::Close: return {.closed = true};
        case EventKind::Control: return handleControl(state, *state.preferences, event.control);
        case EventKind::Command:
        case EventKind::FilesDropped: break;
    }
    return {};
}

void bindPair(PreferencesWindow& window, PairId id, QWidget* row, int low, int high, SettingMember setting, int offset) {
    window.pairs[id] =
        addSliderPair(row, kFirstPairControl + 2 * id, kFirstPairControl + 2 * id + 1, low, high, offset);
    bindSetting(window.bound, PairControl{&window.pairs[id]}, setting);
}

void bindColorField(PreferencesWindow& window, ColorFieldId id, QWidget* row, SettingMember setting) {
    window.colorFields[id] = addColorField(row, kFirstColorFieldControl + id);
    bindSetting(window.bound, ColorFieldControl{&window.colorFields[id]}, setting);
}

void closePreferences(AppState& state) {
    std::shared_ptr<PreferencesWindow> window = std::move(state.preferences);
    if (window) state.preferencesSize = window->frame->size();
    if (window) delete window->frame;
    endDialog(state);
}
