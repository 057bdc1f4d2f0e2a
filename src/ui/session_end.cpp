#include "ui/session_end.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "ui/events.h"

namespace {

constexpr int kDismissMillis = 50;
// How often a wait looks at the work it waits for.
constexpr int kWaitCheckMillis = 20;
constexpr int kSessionSignals[] = {SIGTERM, SIGHUP, SIGINT};

int signalPipe[2] = {-1, -1};
bool requested = false;
QTimer* dismissTimer = nullptr;

// Async-signal-safe: one write, errno kept. A full pipe already holds a
// wake-up, so a failed write loses nothing.
void onSessionSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
    errno = saved;
}

void drainSignalPipe() {
    char bytes[64];
    while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
}

// A chooser or message box runs its own loop, which the program's loops
// cannot end; rejecting it lets the code that opened it go on, as if the
// user had cancelled. Repeated while the request stands, since that code
// may open the next one.
void dismissModalDialogs() {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
}

void startDismissing() {
    dismissTimer = new QTimer(qApp);
    QObject::connect(dismissTimer, &QTimer::timeout, dismissModalDialogs);
    dismissTimer->start(kDismissMillis);
    dismissModalDialogs();
}

// Qt needs an object to filter events; it only forwards them. The session
// manager's "die" reaches the application as a Quit event, which the
// program's own loops would not otherwise notice.
class QuitWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit) requestSessionEnd();
        return false;
    }
};

void installSignalHandlers() {
    if (pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        drainSignalPipe();
        requestSessionEnd();
    });
    struct sigaction action {};
    action.sa_handler = onSessionSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSessionSignals) sigaction(signal, &action, nullptr);
}

}  // namespace

void watchSessionEnd() {
    if (signalPipe[0] >= 0 || !qApp) return;
    installSignalHandlers();
#if QT_CONFIG(sessionmanager)
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, [](QSessionManager&) { requestSessionEnd(); });
#endif
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { requestSessionEnd(); });
    qApp->installEventFilter(new QuitWatcher(qApp));
}

void requestSessionEnd() {
    if (requested) return;
    requested = true;
    // Any event wakes the waiting loop; one for no window is dispatched to
    // nobody.
    postCommand(kNoWindow, kCommandNone);
    if (qApp) startDismissing();
}

bool sessionEndRequested() { return requested; }

void clearSessionEndRequest() {
    requested = false;
    delete dismissTimer;
    dismissTimer = nullptr;
}

bool waitUnlessSessionEnds(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (requested || done()) loop.quit();
    });
    check.start(kWaitCheckMillis);
    // The application's quit ends every running loop, this one too: look
    // again why it ended.
    while (!requested && !done()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    return !requested;
}
