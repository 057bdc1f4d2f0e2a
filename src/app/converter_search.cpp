#include "app/converter_search.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>
#include <memory>

#include "app/app_state.h"
#include "app/modal_dialogs.h"
#include "settings/web_links.h"
#include "settings/string_table.h"
#include "ui/choosers.h"
#include "ui/desktop.h"
#include "ui/events.h"
#include "ui/window_events.h"

namespace {

constexpr int kClientWidth = 370;
constexpr int kClientHeight = 60;

QString dialogText(const char* key) {
    return QString::fromStdString(lookupString(stringTable(), "Custom-Converter", key));
}

QLabel* addCaption(QWidget* frame, const char* key, QRect place) {
    auto* label = new QLabel(dialogText(key), frame);
    label->setGeometry(place);
    return label;
}

QLineEdit* addField(QWidget* frame, QRect place) {
    auto* field = new QLineEdit(frame);
    field->setGeometry(place);
    return field;
}

void addShortcut(QWidget* frame, QKeyCombination keys, FindConverterControl command) {
    auto* shortcut = new QShortcut(QKeySequence(keys), frame);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, [command] { postControl(kFindConverterWindow, command, ControlEvent::Click); });
}

void buildFindConverter(FindConverterDialog& dialog, QWidget* owner) {
    QWidget* frame = new QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.frame = frame;
    frame->setWindowModality(Qt::WindowModal);
    frame->setWindowTitle(dialogText("Title"));
    frame->setFixedSize(kClientWidth, kClientHeight);
    // The captions sit a little lower than their fields so that their text
    // lines up with the fields' text.
    addCaption(frame, "From", {10, 23, 40, 20});
    dialog.fromField = addField(frame, {50, 20, 80, 20});
    addCaption(frame, "To", {150, 23, 30, 20});
    dialog.toField = addField(frame, {180, 20, 80, 20});
    dialog.searchButton = new QPushButton(dialogText("Search"), frame);
    dialog.searchButton->setGeometry(280, 18, 80, 25);
    dialog.searchButton->setDefault(true);
    QObject::connect(dialog.searchButton, &QPushButton::clicked,
                     [] { postControl(kFindConverterWindow, kSearchButton, ControlEvent::Click); });
    addShortcut(frame, QKeyCombination(Qt::Key_Return), kSearchButton);
    addShortcut(frame, QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter), kSearchButton);
    addShortcut(frame, QKeyCombination(Qt::Key_Escape), kFindConverterEscape);
    watchWindowEvents(frame, {kFindConverterWindow, false, {}});
}

// Whether the search was made, which ends the dialog.
bool search(FindConverterDialog& dialog) {
    const std::string address =
        converterSearchAddress(dialog.fromField->text().toStdString(), dialog.toField->text().toStdString());
    if (address.empty()) {
        choosers().messageBox(dialog.frame, lookupString(stringTable(), "Msg", "Warning"),
                              lookupString(stringTable(), "Msg", "Empty extensions"), MessageIcon::Warning,
                              MessageButtons::Ok);
        return false;
    }
    dialog.frame->hide();
    openAddress(address);
    return true;
}

}  // namespace

void openFindConverter(AppState& state) {
    if (state.findConverter || !mayOpenDialog(state)) return;
    auto dialog = std::make_shared<FindConverterDialog>();
    buildFindConverter(*dialog, state.main.frame);
    state.findConverter = dialog;
    beginDialog(state, kFindConverterWindow, dialog->frame, dialog->fromField);
}

DialogOutcome handleFindConverterEvent(AppState& state, const UiEvent& event) {
    if (!state.findConverter) return {};  // left over from a dialog already closed
    switch (event.kind) {
        case EventKind::Close: return {.closed = true};
        case EventKind::Control: break;
        case EventKind::Command:
        case EventKind::FilesDropped: return {};
    }
    const auto* control = std::get_if<FindConverterControl>(&event.control);
    if (!control) return {};
    switch (*control) {
        case kSearchButton: return {.closed = search(*state.findConverter)};  // also Enter
        case kFindConverterEscape: return {.closed = true};
        case kFromCaption:
        case kFromField:
        case kToCaption:
        case kToField: break;
    }
    return {};
}

void closeFindConverter(AppState& state) {
    std::shared_ptr<FindConverterDialog> dialog = std::move(state.findConverter);
    if (dialog) delete dialog->frame;
    endDialog(state);
}
