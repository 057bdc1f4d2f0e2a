#include "app/modal_dialogs.h"

#include <QMenuBar>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "app/app_state.h"

void centreOnOwner(QWidget* dialog, QWidget* owner) {
    const QRect outer = owner->frameGeometry();
    const QSize size = dialog->frameGeometry().size();
    const QRect screen = owner->screen() ? owner->screen()->availableGeometry() : QRect();
    int x = outer.x() + (outer.width() - size.width()) / 2;
    int y = outer.y() + (outer.height() - size.height()) / 2;
    if (!screen.isNull()) {
        x = std::clamp(x, screen.x(), std::max(screen.x(), screen.right() + 1 - size.width()));
        y = std::clamp(y, screen.y(), std::max(screen.y(), screen.bottom() + 1 - size.height()));
    }
    dialog->move(x, y);
}

void setMainWindowEnabled(MainWindow& main, bool enabled) {
    if (main.menuBar) main.menuBar->setEnabled(enabled);
    if (main.client) main.client->setEnabled(enabled);
}

void showModalDialog(MainWindow& main, QWidget* dialog, QWidget* focus) {
    dialog->show();
    centreOnOwner(dialog, main.frame);
    setMainWindowEnabled(main, false);
    dialog->activateWindow();
    if (focus) focus->setFocus();
}

bool mayOpenDialog(const AppState& state) { return state.openDialog == kNoDialog && state.main.frame; }

void beginDialog(AppState& state, WindowId dialog, QWidget* frame, QWidget* focus) {
    state.openDialog = dialog;
    showModalDialog(state.main, frame, focus);
}

void endDialog(AppState& state) {
    state.openDialog = kNoDialog;
    returnFocusToMainWindow(state.main);
}

void returnFocusToMainWindow(MainWindow& main) {
    setMainWindowEnabled(main, true);
    if (!main.frame) return;
    main.frame->activateWindow();
    main.frame->setFocus();
}
