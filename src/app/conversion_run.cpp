#include "app/conversion_run.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/input_output.h"
#include "app/modal_dialogs.h"
#include "batch/input_files.h"
#include "batch/run_checks.h"
#include "batch/worker.h"
#include "engine/convert.h"
#include "engine/watermark_font.h"
#include "settings/choices.h"
#include "settings/formats.h"
#include "settings/paths.h"
#include "settings/string_table.h"
#include "settings/text.h"
#include "ui/choosers.h"
#include "ui/events.h"
#include "ui/path_text.h"
#include "ui/qt_text.h"
#include "ui/session_end.h"
#include "ui/window_events.h"

namespace {

// The dialog looks at the worker on every pass of its loop, and a pass
// ends at the latest after this long without an event.
constexpr int kPollMillis = 15;
constexpr int kDefaultCharWidth = 7;
constexpr int kLineWidth = 280;
constexpr int kFirstTimedTotal = 5;  // the remaining time is shown from five files on

std::string msgText(const char* key) { return lookupString(stringTable(), "Msg", key); }
std::string dialogText(const char* key) { return lookupString(stringTable(), "Dialog", key); }
std::string number(long long value) { return std::to_string(value); }

// ---- the checks -----------------------------------------------------------

// How the window shows a failed check: a message of the string table
// (with %s1% filled from the state) or, where the table has none, the
// product's own words; some also set the status bar to "Conversion stopped".
struct CheckMessage {
    RunCheck check;
    const char* messageKey;  // null: the product's words for the check
    std::string (*detail)(const AppState&);  // %s1% of the message; may be null
    bool marksStopped;
};

const CheckMessage kCheckMessages[] = {
    {RunCheck::InvalidInput, "Empty input files", nullptr, true},
    {RunCheck::EmptyOutputFolder, "Empty output folder", nullptr, true},
    {RunCheck::InvalidOutputFolder, "Invalid output folder", [](const AppState& s) { return s.job.outputFolder; }, true},
    {RunCheck::InvalidBitDepth, nullptr, nullptr, true},
    {RunCheck::InvalidCompression, nullptr, nullptr, true},
    {RunCheck::InvalidWidth, "Invalid width", nullptr, true},
    {RunCheck::InvalidHeight, "Invalid height", nullptr, true},
    {RunCheck::InvalidBrightness, nullptr, nullptr, true},
    {RunCheck::InvalidContrast, nullptr, nullptr, true},
    {RunCheck::InvalidGamma, nullptr, nullptr, true},
    {RunCheck::EmptyWatermarkImage, "Empty watermark image", nullptr, false},
    {RunCheck::InvalidWatermarkImage, "Invalid watermark image", [](const AppState& s) { return s.conversion.Image; }, false},
    {RunCheck::InvalidWatermarkFont, "Invalid watermark font", [](const AppState& s) { return s.conversion.Font; }, false},
};

void setStopped(AppState& state) { setStatusText(state.main, msgText("Conversion is not complete")); }

void showCheckFailure(AppState& state, RunCheck check) {
    for (const CheckMessage& message : kCheckMessages) {
        if (message.check != check) continue;
        if (message.marksStopped) setStopped(state);
        const std::string text = message.messageKey ? msgText(message.messageKey) : std::string(runCheckWords(check));
        showWarning(state, message.detail ? FillPlaceholders(text, message.detail(state)) : text);
        return;
    }
}

// The checks in the window's order; the first that fails is the answer.
RunCheck checkWindowRun(const AppState& state) {
    if (state.job.files.empty()) return RunCheck::InvalidInput;
    for (RunCheck check : {checkOutputFolderExists(state.job.outputFolder), checkSettingValues(state.conversion),
                           checkWatermarkImage(state.conversion)})
        if (check != RunCheck::Ok) return check;
    return RunCheck::Ok;
}

// No selection in list 7 means the first output format.
std::string selectedOutputFormat(const QComboBox* list) {
    const int index = list->currentIndex() >= 0 ? list->currentData().toInt() : 0;
    if (index < 0 || static_cast<std::size_t>(index) >= kOutputFormatList.size()) return kOutputFormatList.front();
    return kOutputFormatList[static_cast<std::size_t>(index)];
}

// ---- the progress dialog --------------------------------------------------

struct ProgressDialog {
    std::unique_ptr<QWidget> window;
    QLabel* file = nullptr;
    QLabel* time = nullptr;
    QProgressBar* bar = nullptr;
    QPushButton* ok = nullptr;
};

// What the dialog has shown of the run so far.
struct RunView {
    std::int32_t total = 0;
    bool showTime = false;
    int charWidth = kDefaultCharWidth;
    std::int32_t lastShown = 0;
    bool stopped = false;
    bool ended = false;  // the worker has ended and the result is shown
};

// The worker thread with the flag it sets as its very last step; joined on
// every way out, so a thread is never left running or dropped joinable.
struct WorkerThread {
    std::thread thread;
    std::atomic<bool> finished{false};
    ~WorkerThread() {
        if (thread.joinable()) thread.join();
    }
};

QLabel* addPlainLabel(QWidget* parent, const char* name, QRect place) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);  // a file name is never markup
    label->setGeometry(place);
    return label;
}

ProgressDialog buildProgressDialog(AppState& state, const RunView& view) {
    ProgressDialog dialog;
    dialog.window = std::make_unique<QWidget>(state.main.frame, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QWidget* window = dialog.window.get();
    window->setObjectName("progressDialog");
    window->setWindowTitle(qt(dialogText("Convert Progress")));
    window->setWindowModality(Qt::WindowModal);
    window->setFixedSize(300, 130);
    dialog.file = addPlainLabel(window, "progressFile", {10, 13, 280, 20});
    dialog.time = addPlainLabel(window, "progressTime", {10, 33, 280, 20});
    dialog.time->setText(qt(FillPlaceholders(dialogText("Time Remaining"), dialogText("Time Unknown"))));
    dialog.time->setVisible(view.showTime);
    dialog.bar = new QProgressBar(window);
    dialog.bar->setObjectName("progressBar");
    dialog.bar->setTextVisible(false);
    dialog.bar->setRange(0, view.total + 1);
    dialog.bar->setValue(0);
    dialog.bar->setGeometry(10, view.showTime ? 60 : 50, 280, 20);
    dialog.ok = new QPushButton(qt(dialogText("OK")), window);
    dialog.ok->setObjectName("progressOk");
    dialog.ok->setGeometry(110, 95, 80, 25);
    dialog.ok->setDefault(true);
    dialog.ok->setEnabled(false);
    QObject::connect(dialog.ok, &QPushButton::clicked,
                     [] { postControl(kProgressWindow, kProgressOkButton, ControlEvent::Click); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, [] { postClose(kProgressWindow); });
    watchWindowEvents(window, {kProgressWindow, false, {}});
    return dialog;
}

// Average width of a character of the dialog's font.
int measureCharWidth(const QWidget* window) {
    const int width = QFontMetrics(window->font()).horizontalAdvance(QStringLiteral("abc123:\\-")) / 9;
    return width > 0 ? width : kDefaultCharWidth;
}

std::string countText(std::int32_t index, std::int32_t total) {
    return FillPlaceholders(msgText("Progress"), number(index), number(total));
}

std::string fileLine(const std::string& path, int charWidth) {
    if (static_cast<long long>(codePointCount(path)) * charWidth <= kLineWidth) return path;
    return shortenPath(path, kLineWidth / charWidth);
}

void showFileInHand(ProgressDialog& dialog, RunView& view, const ProgressSnapshot& now) {
    if (now.currentIndex <= view.lastShown) return;
    view.lastShown = now.currentIndex;
    dialog.window->setWindowTitle(qt(dialogText("Convert Progress") + " " + countText(view.lastShown, view.total)));
    dialog.file->setText(qt(fileLine(now.currentFile, view.charWidth)));
    if (view.showTime && now.lastFileMillis != 0) {
        const std::int64_t left = now.lastFileMillis * (view.total - now.currentIndex + 1);
        dialog.time->setText(qt(FillPlaceholders(dialogText("Time Remaining"), formatDuration(left))));
    }
    dialog.bar->setValue(view.lastShown);
}

// The run is over: a run is "stopped" only when the user stopped it and a
// file was left unconverted, and one that converted nothing is not
// complete. The index is read once more, since a fast run may end before
// any pass saw it.
void showResult(AppState& state, ProgressDialog& dialog, RunView& view, BatchProgress& progress) {
    view.ended = true;
    view.lastShown = std::max(view.lastShown, readProgress(progress).currentIndex);
    const std::int32_t converted = convertedCount(progress);
    const bool stoppedByUser = view.stopped && converted < view.total;
    const bool complete = !stoppedByUser && converted > 0;
    const std::string outcome = msgText(complete ? "Conversion complete" : "Conversion is not complete");
    setStatusText(state.main, outcome);
    dialog.window->setWindowTitle(qt(outcome + " " + countText(view.lastShown, view.total)));
    if (stoppedByUser) {
        dialog.file->setText(qt(outcome));
    } else {
        dialog.file->setText(qt(FillPlaceholders(msgText("Files converted"), number(converted), number(view.total))));
        dialog.time->setText(qt(FillPlaceholders(dialogText("Time Remaining"), formatDuration(0))));
        dialog.bar->setValue(view.total + 1);
    }
    dialog.ok->setEnabled(true);
    dialog.ok->setFocus();
}

void pollWorker(AppState& state, ProgressDialog& dialog, RunView& view, WorkerThread& worker,
                BatchProgress& progress) {
    if (view.ended) return;
    if (!worker.finished) {
        showFileInHand(dialog, view, readProgress(progress));
        return;
    }
    worker.thread.join();
    showResult(state, dialog, view, progress);
}

// The close box and Escape: while the worker runs they ask whether to
// stop; the worker runs on meanwhile (stopping only ever takes effect
// between files). True when the dialog ends.
bool askToClose(AppState& state, RunView& view, BatchProgress& progress) {
    if (view.ended) return true;
    if (confirmStop(state)) {
        view.stopped = true;
        stopWorker(progress);
    }
    return false;
}

// True when the event ends the dialog. Events of other windows are dropped:
// the main window is disabled while the dialog is open.
bool handleProgressEvent(AppState& state, RunView& view, BatchProgress& progress, const UiEvent& event) {
    if (event.window != kProgressWindow) return false;
    switch (event.kind) {
        case EventKind::Close: return askToClose(state, view, progress);
        case EventKind::Control: return event.control == ControlId(kProgressOkButton) && view.ended;
        case EventKind::Command:
        case EventKind::FilesDropped: return false;
    }
    return false;
}

// The run in progress, for finishRunningConversion.
struct ActiveRun {
    BatchProgress* progress = nullptr;
    WorkerThread* worker = nullptr;
};
ActiveRun activeRun;

struct ActiveRunScope {
    ActiveRunScope(BatchProgress& progress, WorkerThread& worker) { activeRun = {&progress, &worker}; }
    ~ActiveRunScope() { activeRun = {}; }
    ActiveRunScope(const ActiveRunScope&) = delete;
    ActiveRunScope& operator=(const ActiveRunScope&) = delete;
};

void runDialogLoop(AppState& state, ProgressDialog& dialog, RunView& view, const ProgressWork& work) {
    BatchProgress progress;
    prepareProgress(progress);
    WorkerThread worker;
    const ActiveRunScope active(progress, worker);
    worker.thread = std::thread([&work, &progress, &worker] {
        work(progress);
        worker.finished = true;
    });
    for (bool done = false; !done;) {
        const std::optional<UiEvent> event = waitForNextEventWithin(kPollMillis);
        // The session ends: stopped as a Yes to the stop question stops it,
        // and once the worker is done the dialog goes without waiting for OK.
        if (sessionEndRequested() && !view.stopped) {
            view.stopped = true;
            stopWorker(progress);
        }
        // Every pass looks at the worker, so a steady stream of events
        // cannot keep the result from showing.
        pollWorker(state, dialog, view, worker, progress);
        if (event) done = handleProgressEvent(state, view, progress, *event);
        if (view.ended && sessionEndRequested()) done = true;
    }
}

}  // namespace

void finishRunningConversion() {
    if (!activeRun.worker || !activeRun.worker->thread.joinable()) return;
    stopWorker(*activeRun.progress);
    while (!activeRun.worker->finished) std::this_thread::sleep_for(std::chrono::milliseconds(kPollMillis));
}

void showWarning(AppState& state, const std::string& text) {
    choosers().messageBox(state.main.frame, msgText("Warning"), replaceAll(text, "\r\n", "\n"), MessageIcon::Warning,
                          MessageButtons::Ok);
}

bool confirmStop(AppState& state) {
    return choosers().messageBox(state.main.frame, msgText("Warning"), msgText("Ask break conversion"),
                                 MessageIcon::Warning, MessageButtons::YesNo) == MessageAnswer::Yes;
}

std::string shortenPath(std::string_view text, int maxLength) {
    const std::size_t length = codePointCount(text);
    if (text.empty() || maxLength < 0 || length <= static_cast<std::size_t>(maxLength)) return std::string(text);
    const std::size_t half = static_cast<std::size_t>(std::max(0, (maxLength - 3) / 2));
    const std::string head = firstCodePoints(text, half);
    const std::string skipped = firstCodePoints(text, length - half);
    return head + "..." + std::string(text.substr(skipped.size()));
}

std::string formatDuration(std::int64_t milliseconds) {
    if (milliseconds < 1000) return "00:00:00";
    std::int64_t seconds = milliseconds / 1000;
    const std::int64_t days = seconds / 86400;
    seconds %= 86400;
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return days >= 1 ? number(days) + "d:" + text : std::string(text);
}

void runProgressDialog(AppState& state, std::int32_t total, const ProgressWork& work) {
    RunView view;
    view.total = total;
    view.showTime = total >= kFirstTimedTotal;
    ProgressDialog dialog = buildProgressDialog(state, view);
    beginDialog(state, kProgressWindow, dialog.window.get(), nullptr);
    view.charWidth = measureCharWidth(dialog.window.get());

    runDialogLoop(state, dialog, view, work);

    dialog.window.reset();
    endDialog(state);
}

void startConversion(AppState& state) {
    MainWindow& window = state.main;
    BatchJob& job = state.job;
    job.inputPath = typedPath(window.inputField->text());
    job.files.clear();
    addInputFile(job, job.inputPath);
    job.outputFolder = asFolderText(typedPath(window.folderList->currentText()));
    job.outputExtension = selectedOutputFormat(window.formatList);
    setStatusText(window, lookupString(stringTable(), "General", "Preparing"));

    WatermarkFontPtr font;
    RunCheck check = checkWindowRun(state);
    if (check == RunCheck::Ok) check = prepareRun(job, state.conversion, font);
    if (check != RunCheck::Ok) {
        job.watermarkFont = nullptr;
        showCheckFailure(state, check);
        return;
    }
    if (addRecentOutputFolder(state.ui, job.outputFolder)) fillOutputFolderList(state);
    setStatusText(window, lookupString(stringTable(), "General", "Converting"));

    // The worker's record of what it wrote, read once its thread has ended.
    std::string written, source;
    runProgressDialog(state, static_cast<std::int32_t>(job.files.size()), [&](BatchProgress& progress) {
        ConversionWorker(state.job, state.conversion, progress, nullptr);
        if (convertedCount(progress) > 0) {
            written = state.job.outputPath;
            source = state.job.inputPath;
        }
    });
    job.watermarkFont = nullptr;
    if (!written.empty()) {
        state.lastWrittenTexture = written;
        state.lastTextureSource = source;
    }
}
