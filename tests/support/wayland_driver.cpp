// Loaded into the real tovrel (LD_PRELOAD) by the Wayland end-to-end test:
// a headless compositor has no way to type or click, so this plays the
// user's part from inside the process, through the same widgets, actions
// and shortcuts a user reaches. Each step waits for the window it needs;
// every step done is a line in $TOVREL_DRIVER_LOG.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

QWidget* visibleWindow(const QString& titleStart) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle().startsWith(titleStart)) return widget;
    return nullptr;
}

QWidget* mainWindow() { return visibleWindow(QStringLiteral("Korvane PNG to DDS 2.8")); }

void note(const char* step) {
    if (const char* log = std::getenv("TOVREL_DRIVER_LOG")) {
        if (std::FILE* file = std::fopen(log, "a")) {
            std::fprintf(file, "%s\n", step);
            std::fclose(file);
        }
    }
}

// A key as the user presses it in the window: the window is the active one
// (a headless compositor has no keyboard to give it the focus).
void pressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(window);
    QT_WARNING_POP
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key, modifiers);
}

bool clickButton(QWidget* window, const QString& text) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->isVisible() && button->isEnabled() && button->text() == text) {
            button->click();
            return true;
        }
    return false;
}

// One step: true when done; tried again on the next tick otherwise.
using Step = std::function<bool()>;

// OK in the window of that title, once it shows.
Step okIn(const QString& title, const char* step) {
    return [title, step] {
        QWidget* window = visibleWindow(title);
        if (!window || !clickButton(window, QStringLiteral("OK"))) return false;
        note(step);
        return true;
    };
}

// The key in the main window, once the window of that title has gone.
Step keyOnMainWindowAfter(const QString& title, Qt::Key key, Qt::KeyboardModifiers modifiers, const char* step) {
    return [title, key, modifiers, step] {
        QWidget* main = mainWindow();
        if (!main || visibleWindow(title)) return false;
        pressKey(main, key, modifiers);
        note(step);
        return true;
    };
}

std::vector<Step> script() {
    return {
        [] {
            QWidget* main = mainWindow();
            if (!main) return false;
            for (QAction* action : main->findChildren<QAction*>())
                if (action->text().startsWith(QStringLiteral("Preferences")) && action->isEnabled()) {
                    action->trigger();
                    note("preferences opened");
                    return true;
                }
            return false;
        },
        okIn(QStringLiteral("Preferences"), "preferences confirmed"),
        keyOnMainWindowAfter(QStringLiteral("Preferences"), Qt::Key_F5, Qt::NoModifier, "F5 pressed"),
        okIn(QStringLiteral("Conversion complete"), "conversion complete"),
        keyOnMainWindowAfter(QStringLiteral("Conversion complete"), Qt::Key_X, Qt::AltModifier, "Alt+X pressed"),
    };
}

// The first line of the log says that the main window shows (and a second
// one whether the program moved it); the user's part follows only with
// TOVREL_DRIVER_PLAY set.
std::vector<Step> stepsToRun() {
    std::vector<Step> steps{[] {
        QWidget* main = mainWindow();
        if (!main) return false;
        note("main window shown");
        // The compositor places the window and ignores a program's move:
        // the program must not try one.
        if (main->testAttribute(Qt::WA_Moved)) note("main window moved by the program");
        return true;
    }};
    if (std::getenv("TOVREL_DRIVER_PLAY"))
        for (Step& step : script()) steps.push_back(std::move(step));
    return steps;
}

void startDriving() {
    auto* timer = new QTimer(QCoreApplication::instance());
    auto steps = std::make_shared<std::vector<Step>>(stepsToRun());
    auto next = std::make_shared<std::size_t>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, steps, next] {
        if (*next < steps->size() && (*steps)[*next]()) ++*next;
        if (*next == steps->size()) timer->stop();
    });
    timer->start(200);
}

}  // namespace

// Runs inside the QApplication's constructor: only the window mode makes one.
Q_COREAPP_STARTUP_FUNCTION(startDriving)
