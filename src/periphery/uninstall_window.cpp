#include "periphery/uninstall_window.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

#include "settings/string_table.h"
#include "settings/web_links.h"
#include "cli/end_program.h"
#include "ui/display.h"
#include "ui/events.h"
#include "ui/window_events.h"

namespace {

// The window runs its own loop and reads only its own events.

QString uninstallText(const char* key) { return QString::fromStdString(lookupString(stringTable(), "Uninstall", key)); }

QWidget*& uninstallWindow() {
    static QWidget* window = nullptr;
    return window;
}

void closeUninstallWindow() {
    delete uninstallWindow();
    uninstallWindow() = nullptr;
}

}  // namespace

void showUninstallFeedback() {
    openDisplayOrEnd();
    addProgramEndStep(closeUninstallWindow);
    // A title bar with its system menu and close box only: the window has one size.
    auto* window = new QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                            Qt::WindowCloseButtonHint);
    uninstallWindow() = window;
    window->setWindowTitle(uninstallText("Title"));
    window->setFixedSize(300, 100);
    auto* box = new QCheckBox(uninstallText("Uninstall Text"), window);
    box->setGeometry(30, 20, 250, 20);
    box->setChecked(true);
    auto* next = new QPushButton(uninstallText("Next"), window);
    next->setGeometry(200, 60, 80, 25);
    QObject::connect(next, &QPushButton::clicked,
                     [] { postControl(kUninstallWindow, kUninstallNextButton, ControlEvent::Click); });
    watchWindowEvents(window, {kUninstallWindow, false, {}});
    window->move(322, 193);
    window->show();
    window->activateWindow();
    window->setFocus();

    for (bool done = false; !done;) {
        const UiEvent event = waitForNextEvent();
        if (event.window != kUninstallWindow) continue;
        switch (event.kind) {
            case EventKind::Close: done = true; break;
            case EventKind::Control:
                if (event.control != ControlId(kUninstallNextButton)) break;
                if (box->isChecked()) QDesktopServices::openUrl(QUrl(QString::fromStdString(uninstallPageAddress())));
                done = true;
                break;
            case EventKind::Command:
            case EventKind::FilesDropped: break;
        }
    }
    endProgram();
}
