// The end of a session inside the window mode: a running conversion is
// stopped as the stop question stops it and its dialog goes without OK, a
// message box that is open is dismissed, the main loop ends; a file handed
// over by a second start waits until no dialog is open.
#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QWidget>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

#include "app/conversion_run.h"
#include "app/main_window.h"
#include "batch/worker.h"
#include "cli/single_instance.h"
#include "local_http_server.h"
#include "prefs/preferences.h"
#include "settings/config_file.h"
#include "settings/product.h"
#include "test_support.h"
#include "ui/choosers.h"
#include "ui/events.h"
#include "ui/session_end.h"
#include "update/update_check.h"
#include "window/open_requests.h"
#include "window/window_mode.h"
#include "window_test_support.h"

namespace {

struct SessionEndTest : ::testing::Test, WindowRecords {
    void SetUp() override {
        prepareRecords();
        state.scheduledUpdateCheck = nullptr;
        clearSessionEndRequest();
        ASSERT_TRUE(buildMainWindow(state));
        finishMainWindow(state);
        QApplication::processEvents();
    }
    void TearDown() override {
        clearSessionEndRequest();
        destroyMainWindow(state.main);
        clearEvents();
    }
};

// Processes events until the condition holds, at most two seconds.
template <typename Condition>
bool pumpUntil(Condition done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done() && std::chrono::steady_clock::now() < limit) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST_F(SessionEndTest, ARunningConversionIsStoppedAndItsDialogGoesWithoutOk) {
    std::atomic<bool> sawStop{false};
    QTimer::singleShot(50, [] { requestSessionEnd(); });
    const auto start = std::chrono::steady_clock::now();
    runProgressDialog(state, 1, [&sawStop](BatchProgress& progress) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (progress.running && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sawStop = !progress.running;
        std::lock_guard lock(progress.mutex);
        progress.fileCount = 0;
    });
    EXPECT_TRUE(sawStop);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(state.main.frame->findChild<QWidget*>("progressDialog"), nullptr);
    EXPECT_EQ(state.openDialog, kNoDialog);
    // The main loop ends at once.
    runEventLoop(state);
}

TEST_F(SessionEndTest, AnOpenMessageBoxIsDismissed) {
    QTimer::singleShot(50, [] { requestSessionEnd(); });
    const auto start = std::chrono::steady_clock::now();
    const MessageAnswer answer = qtChoosers().messageBox(state.main.frame, "Warning", "Do you want to break?",
                                                         MessageIcon::Warning, MessageButtons::YesNo);
    EXPECT_EQ(answer, MessageAnswer::No);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // One opened after the request is dismissed as well.
    EXPECT_EQ(qtChoosers().messageBox(state.main.frame, "Warning", "Next", MessageIcon::Warning, MessageButtons::Ok),
              MessageAnswer::Ok);
}

TEST_F(SessionEndTest, TheLoopEndsWhilePreferencesAreOpenAndTheirEditsGo) {
    const std::string before = configurationText(state.conversion, state.ui);
    openPreferences(state);
    ASSERT_EQ(state.openDialog, kPreferencesWindow);
    // Unconfirmed edits, as a Cancel would drop them.
    const QList<QSpinBox*> spins = state.preferences->frame->findChildren<QSpinBox*>();
    ASSERT_FALSE(spins.isEmpty());
    for (QSpinBox* spin : spins) spin->setValue(spin->value() == spin->minimum() ? spin->maximum() : spin->minimum());
    requestSessionEnd();
    runEventLoop(state);  // returns: the preferences do not hold the session
    EXPECT_EQ(configurationText(state.conversion, state.ui), before);
    closePreferences(state);
}

TEST_F(SessionEndTest, TheApplicationsQuitEventEndsTheSession) {
    watchSessionEnd();
    QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
    EXPECT_TRUE(pumpUntil([] { return sessionEndRequested(); }));
}

// The update check waits for the version file with the window's events
// running, so the end of the session (a signal, or the session manager's
// Quit) leaves it at once instead of after the exchange's ten seconds, and
// the user is told nothing about a check nobody waits for.
TEST_F(SessionEndTest, TheUpdateCheckIsLeftAtOnceWhenTheSessionEnds) {
    watchSessionEnd();
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"SIGTERM", [] { std::raise(SIGTERM); }},
        {"the session manager's Quit", [] { QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit)); }},
    };
    for (const auto& [name, endSession] : endings) {
        SCOPED_TRACE(name);
        clearSessionEndRequest();
        LocalHttpServer silent("", LocalHttpServer::Reply::Silence);
        setenv("TOVREL_UPDATE_URL", silent.address().c_str(), 1);
        std::vector<std::string> told;
        // The window's own table, its boxes replaced by a record of them.
        connectUpdateDialogs(state.main.frame);
        UpdateDialogs dialogs = updateDialogs();
        dialogs.askYesNo = [&told](const std::string& title, const std::string&) {
            told.push_back(title);
            return true;
        };
        dialogs.showError = [&told](const std::string& title, const std::string&) { told.push_back(title); };
        dialogs.showInformation = dialogs.showError;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!silent.requestReceived()) return;
            watch.stop();
            endSession();
        });
        watch.start(10);
        state.ui.UpdateRange = 0;
        state.ui.UpdateDate = 0;
        const auto start = std::chrono::steady_clock::now();
        scheduledUpdateCheck(state.ui, 1000000, dialogs);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_TRUE(sessionEndRequested());
        EXPECT_EQ(told, std::vector<std::string>{"Check for Updates"});
        EXPECT_EQ(state.ui.UpdateDate, 1000000);
        EXPECT_TRUE(silent.requestReceived());
    }
    setenv("TOVREL_UPDATE_URL", "http://127.0.0.1:9/files/tovrel.dat", 1);
}

TEST_F(SessionEndTest, AHandedOverFileWaitsUntilNoDialogIsOpen) {
    TempFolder runtime;
    chmod(runtime.path.c_str(), 0700);
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedValue = saved ? saved : "";
    setenv("XDG_RUNTIME_DIR", runtime.path.c_str(), 1);
    listenForOpenRequests(state);
    const std::string picture = runtime.path + "handed.png";
    writeFileBytes(picture, readFileBytes(pngSuitePath("basn6a08.png")));

    state.openDialog = kPreferencesWindow;
    ASSERT_TRUE(handOverToRunningWindow(titleWithVersion(), picture));
    ASSERT_TRUE(pumpUntil([] { return hasPendingEvent(); }));
    takeOpenRequest(state);
    EXPECT_EQ(state.main.inputField->text().toStdString(), "");
    EXPECT_TRUE(state.job.files.empty());

    state.openDialog = kNoDialog;
    takeOpenRequest(state);
    EXPECT_EQ(state.main.inputField->text().toStdString(), picture);
    EXPECT_EQ(state.job.outputFolder, runtime.path);
    // Taken once.
    state.main.inputField->clear();
    takeOpenRequest(state);
    EXPECT_EQ(state.main.inputField->text().toStdString(), "");

    stopOpenRequests();
    if (saved) setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
