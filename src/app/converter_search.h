// The Find a File Converter dialog (window 6): two extensions, "From:" and
// "To:", become a search address on the vendor's site. Window-modal on the
// main window; its events come back through the program's loop.
#pragma once

#include "app/modal_dialogs.h"
#include "ui/window_ids.h"

class QLineEdit;
class QPushButton;
class QWidget;
struct AppState;
struct UiEvent;

struct FindConverterDialog {
    QWidget* frame = nullptr;
    QLineEdit* fromField = nullptr;
    QLineEdit* toField = nullptr;
    QPushButton* searchButton = nullptr;
};

// The Find a File Converter command: builds, fills and shows the dialog and
// disables the main window. Nothing happens while another dialog is open.
void openFindConverter(AppState& state);
// An event of window 6: Search and Enter open the search address when both
// extensions hold a letter or digit, and warn otherwise (the dialog stays);
// Escape and the close box close it.
DialogOutcome handleFindConverterEvent(AppState& state, const UiEvent& event);
void closeFindConverter(AppState& state);
