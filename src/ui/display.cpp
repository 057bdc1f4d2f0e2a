#include "ui/display.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "art/builtin_art.h"
#include "cli/end_program.h"
#include "ui/pictures.h"

namespace {

std::unique_ptr<QApplication>& application() {
    static std::unique_ptr<QApplication> app;
    return app;
}

bool openingDisplay = false;
void (*displayLostStep)() = nullptr;

// What the X11 and Wayland platform plugins say as they give up on a
// connection that broke.
bool reportsLostDisplay(const QString& message) {
    return message.startsWith(QLatin1String("The X11 connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection"));
}

// While the platform plugin starts, its complaints are not the user's
// business, and a failure to connect must not abort with a core file.
void quietWhileOpening(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (openingDisplay) {
        if (type == QtFatalMsg) {
            std::fflush(nullptr);
            std::_Exit(0);
        }
        return;
    }
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (displayLostStep && reportsLostDisplay(message)) {
        // Under Wayland the event thread and the main thread may both find
        // the broken connection; the second waits here while the first saves
        // and ends the process.
        static std::mutex oneAtATime;
        const std::lock_guard lock(oneAtATime);
        displayLostStep();
    }
    if (type == QtFatalMsg) std::abort();
}

bool named(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

void deleteApplication() { application().reset(); }

}  // namespace

// Every window carries the application icon at each size drawn for it, so
// the window manager and the task switcher pick a sharp one; the desktop
// file name lets the desktop match the windows to the menu entry.
void setApplicationIcon() {
    QIcon icon;
    for (const BuiltinPicture& picture : builtinPictures()) {
        if (!picture.name.starts_with("app/")) continue;
        const auto decoded = decodePng({picture.png, picture.size}, kMaxIconSide);
        if (decoded) icon.addPixmap(pixmapFromPicture(*decoded));
    }
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName("tovrel");
}

void setDisplayLostStep(void (*step)()) { displayLostStep = step; }

bool displayNamed() { return named("DISPLAY") || named("WAYLAND_DISPLAY") || named("QT_QPA_PLATFORM"); }

bool windowPositionsKnown() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

void openDisplayOrEnd() {
    if (application()) return;
    if (!displayNamed()) endProgram();
    static int argc = 1;
    static char name[] = "tovrel";
    static char* argv[] = {name, nullptr};
    qInstallMessageHandler(quietWhileOpening);
    openingDisplay = true;
    application() = std::make_unique<QApplication>(argc, argv);
    openingDisplay = false;
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    setApplicationIcon();
    // The program decides when it ends, through its own loops.
    QApplication::setQuitOnLastWindowClosed(false);
    addProgramEndStep(deleteApplication);
}
