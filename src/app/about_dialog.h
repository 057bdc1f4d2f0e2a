// The About dialog (window 8): the banner, the title with its version, the
// vendor notice and two links, the home page and the support mailbox.
// Window-modal on the main window; its events come back through the
// program's loop.
#pragma once

#include "app/modal_dialogs.h"
#include "ui/window_ids.h"

class QLabel;
class QPushButton;
class QWidget;
struct AppState;
struct UiEvent;

struct AboutDialog {
    QWidget* frame = nullptr;
    QLabel* banner = nullptr;
    QLabel* title = nullptr;
    QLabel* notice = nullptr;
    QLabel* webLink = nullptr;
    QLabel* mailLink = nullptr;
    QPushButton* okButton = nullptr;
};

// The About command: builds and shows the dialog and disables the main
// window. Nothing happens while another dialog is open.
void openAbout(AppState& state);
// An event of window 8: OK, Enter, Escape and the close box close the
// dialog; a link opens its address and leaves the dialog open.
DialogOutcome handleAboutEvent(AppState& state, const UiEvent& event);
void closeAbout(AppState& state);
