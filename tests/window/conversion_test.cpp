// Converting from the window, in-process: the output-folder history and its
// list, the input file (dialog, drops), every warning of the Convert
// command, and the progress dialog with a real and with fake workers.
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "app/app_state.h"
#include "app/conversion_run.h"
#include "app/input_output.h"
#include "app/main_window.h"
#include "window/window_mode.h"
#include "batch/worker.h"
#include "dds_reader.h"
#include "settings/defaults.h"
#include "setting_value_cases.h"
#include "test_support.h"
#include "ui/choosers.h"
#include "ui/events.h"
#include "ui/path_text.h"
#include "window_test_support.h"

namespace {

// ---- scripted choosers and message boxes --------------------------------

struct ShownBox {
    std::string title;
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
};

struct Script {
    std::vector<std::optional<std::string>> files;    // answers of the open-file dialog, in order
    std::vector<std::optional<std::string>> folders;  // answers of the folder dialog
    std::vector<MessageAnswer> answers;                // answers of Yes/No boxes
    std::vector<ShownBox> boxes;
    std::vector<std::string> fileFilters;
    std::function<void()> onBox;  // runs after a box was recorded
};

Script& script() {
    static Script s;
    return s;
}

ChooserTable scriptedChoosers() {
    ChooserTable table = qtChoosers();
    table.openFile = [](QWidget*, const std::string&, const std::string& filter, const std::string&) {
        script().fileFilters.push_back(filter);
        return takeFirstAnswer(script().files, std::optional<std::string>());
    };
    table.chooseFolder = [](QWidget*, const std::string&, const std::string&) {
        return takeFirstAnswer(script().folders, std::optional<std::string>());
    };
    table.messageBox = [](QWidget*, const std::string& title, const std::string& text, MessageIcon icon,
                          MessageButtons buttons) {
        script().boxes.push_back({title, text, icon, buttons});
        const MessageAnswer answer =
            buttons == MessageButtons::Ok ? MessageAnswer::Ok : takeFirstAnswer(script().answers, MessageAnswer::No);
        if (script().onBox) script().onBox();
        return answer;
    };
    return table;
}

struct ConversionTest : ::testing::Test, WindowRecords {
    TempFolder temp;

    void SetUp() override {
        prepareRecords();
        state.scheduledUpdateCheck = nullptr;
        script() = Script{};
        choosers() = scriptedChoosers();
    }
    void TearDown() override {
        destroyMainWindow(state.main);
        clearEvents();
        choosers() = qtChoosers();
        script() = Script{};
    }

    void open() {
        ASSERT_TRUE(buildMainWindow(state));
        finishMainWindow(state);
        QApplication::processEvents();
    }

    std::vector<std::string> listEntries() const {
        std::vector<std::string> entries;
        for (int i = 0; i < state.main.folderList->count(); ++i)
            entries.push_back(state.main.folderList->itemText(i).toStdString());
        return entries;
    }
    std::string status() const { return state.main.statusText->text().toStdString(); }
    std::string inputText() const { return state.main.inputField->text().toStdString(); }

    std::string picture(const std::string& name, int size = 8) {
        const std::string path = temp.path + name;
        writeRgbaPng(path, size, size, [](int x, int y) {
            return RgbaPixel{static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 30), 90, 255};
        });
        return path;
    }
    std::string folder(const std::string& name) {
        std::filesystem::create_directories(temp.path + name);
        return temp.path + name + "/";
    }
};

// ---- history rules ---------------------------------------------------------

struct HistoryCase {
    const char* name;
    std::string history;
    int limit;  // "Out Folders Number"
    std::string folder;
    bool stored;
    std::string after;
};

TEST(OutputFolderHistory, AddingAFolder) {
    const std::string full = "/a/\t/b/\t/c/\t/d/\t/e/";
    const std::vector<HistoryCase> cases{
        {"first folder", "", 5, "/x/", true, "/x/"},
        {"a trailing separator is added", "", 5, "/x", true, "/x/"},
        {"doubled separators become one", "", 5, "/x//", true, "/x/"},
        {"the root stays the root", "/a/", 5, "/", true, "/\t/a/"},
        {"with and without separator is one folder", "/x/\t/y/", 5, "/x", true, "/x/\t/y/"},
        {"a stored entry without separator", "/y\t/x", 5, "/x/", true, "/x/\t/y/"},
        {"letter case: moved to the head as chosen", "/x/\t/y/", 5, "/Y/", true, "/Y/\t/x/"},
        {"a sixth folder drops the oldest", full, 5, "/f/", true, "/f/\t/a/\t/b/\t/c/\t/d/"},
        {"a listed folder moves to the head", full, 5, "/d/", true, "/d/\t/a/\t/b/\t/c/\t/e/"},
        {"limit 1", "/a/\t/b/", 1, "/c/", true, "/c/"},
        {"limit 0 in a hand-edited file holds one", "/a/\t/b/", 0, "/c/", true, "/c/"},
        {"empty and blank fields are skipped", "/a/\t\t  \t /b/ \t", 5, "/c/", true, "/c/\t/a/\t/b/"},
        {"hand-edited duplicates kept once", "/a/\t/A/\t/a", 5, "/c/", true, "/c/\t/a/"},
        {"empty folder", "/a/", 5, "", false, "/a/"},
        {"TAB", "/a/", 5, "/x\ty/", false, "/a/"},
        {"line feed", "/a/", 5, "/x\ny/", false, "/a/"},
        {"carriage return", "/a/", 5, "/x\ry/", false, "/a/"},
    };
    for (const HistoryCase& c : cases) {
        SCOPED_TRACE(c.name);
        InterfaceSettings ui;
        ui.RecentOutFolders = c.history;
        ui.OutFoldersNumber = static_cast<std::uint8_t>(c.limit);
        EXPECT_EQ(addRecentOutputFolder(ui, c.folder), c.stored);
        EXPECT_EQ(ui.RecentOutFolders, c.after);
        EXPECT_EQ(ui.OutFoldersNumber, c.limit);  // the stored value is kept
    }
}

TEST(OutputFolderHistory, FieldsByIndex) {
    const std::string history = " /a/ \t\t/b";
    EXPECT_EQ(recentOutputFolder(history, 0), "/a/");
    EXPECT_EQ(recentOutputFolder(history, 1), "");
    EXPECT_EQ(recentOutputFolder(history, 2), "/b/");
    EXPECT_EQ(recentOutputFolder(history, 3), "");
    EXPECT_EQ(recentOutputFolder(history, -1), "");
}

struct ListCase {
    const char* name;
    std::string history;
    int limit;
    std::string outputFolder;
    std::vector<std::string> entries;
    int selected;
};

TEST_F(ConversionTest, TheFolderListShowsTheHistoryAndSelectsTheOutputFolder) {
    open();
    const std::vector<ListCase> cases{
        {"selected by position", "/a/\t/b/\t/c/", 5, "/c/", {"/a/", "/b/", "/c/"}, 2},
        {"an empty field does not shift the selection", "/a/\t\t/b/", 5, "/b/", {"/a/", "/b/"}, 1},
        {"entries without separator", "/a\t/b", 5, "/b/", {"/a/", "/b/"}, 1},
        {"not listed: the first entry", "/a/\t/b/", 5, "/z/", {"/a/", "/b/"}, 0},
        {"limit 0 shows one", "/a/\t/b/", 0, "/a/", {"/a/"}, 0},
        {"limit 2", "/a/\t/b/\t/c/", 2, "/b/", {"/a/", "/b/"}, 1},
        {"only the first fields count, empty ones skipped", " /h1/ \t\t/h2/\t/h3/", 3, "/h2/", {"/h1/", "/h2/"}, 1},
        {"a field beyond the limit is not shown", "/a/\t\t\t/b/", 3, "/b/", {"/a/"}, 0},
        {"an unstorable folder is shown at the head", "/a/", 5, "/x\ny/", {"/x\ny/", "/a/"}, 0},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        ui.RecentOutFolders = c.history;
        ui.OutFoldersNumber = static_cast<std::uint8_t>(c.limit);
        job.outputFolder = c.outputFolder;
        fillOutputFolderList(state);
        EXPECT_EQ(listEntries(), c.entries);
        EXPECT_EQ(state.main.folderList->currentIndex(), c.selected);
    }
}

TEST_F(ConversionTest, AnEmptyHistoryLeavesTheListAsItIs) {
    open();
    EXPECT_EQ(listEntries(), std::vector<std::string>{""});  // the one empty entry of a first start
    fillOutputFolderList(state);
    EXPECT_EQ(listEntries(), std::vector<std::string>{""});
}

TEST_F(ConversionTest, NewKeepsTheHistoryButSelectsNone) {
    ui.RecentOutFolders = "/a/\t/b/";
    open();
    job.outputFolder = "/b/";
    newSession(state);
    EXPECT_EQ(listEntries(), (std::vector<std::string>{"/a/", "/b/"}));
    EXPECT_EQ(state.main.folderList->currentIndex(), -1);
    EXPECT_EQ(status(), "Ready");
}

// ---- the format list --------------------------------------------------------

TEST_F(ConversionTest, NoFormatSelectionLeavesTheSettingAndConvertsToTheFirstFormat) {
    open();
    EXPECT_EQ(state.main.formatList->itemText(0).toStdString(), "DDS (DirectDraw Surface)");
    state.main.formatList->setCurrentIndex(-1);
    conversion.OutputFormat = "xyz";
    dispatchEvent(state, {EventKind::Control, kMainWindow, kFormatListControl, ControlEvent::Change, kCommandNone, {}});
    EXPECT_EQ(conversion.OutputFormat, "xyz");
    startConversion(state);  // stops at the empty input; the format is read before the checks
    EXPECT_EQ(job.outputExtension, "dds");
}

TEST_F(ConversionTest, TheFormatListSelectsTheConfiguredFormatOrTheFirst) {
    open();
    QComboBox list;
    for (const char* format : {"dds", "unknown", ""}) {
        SCOPED_TRACE(format);
        conversion.OutputFormat = format;
        fillOutputFormatList(&list, conversion, state.images, false);
        ASSERT_EQ(list.count(), 1);
        EXPECT_EQ(list.itemText(0).toStdString(), "DDS");
        EXPECT_EQ(list.currentIndex(), 0);
        EXPECT_EQ(list.currentData().toInt(), 0);
    }
}

// ---- the input file ---------------------------------------------------------

TEST_F(ConversionTest, TheFirstTakenFileSetsTheOutputFolderALaterOneDoesNot) {
    open();
    const std::string first = picture("a.PNG");  // the extension is compared in lower case
    std::filesystem::create_directories(temp.path + "y");
    const std::string second = temp.path + "y/b.png";
    writeFileBytes(second, readFileBytes(first));
    EXPECT_TRUE(addInputFile(state, first));
    EXPECT_EQ(inputText(), first);
    EXPECT_EQ(ui.RecentOutFolders, temp.path);
    EXPECT_EQ(job.outputFolder, temp.path);
    EXPECT_EQ(state.main.folderList->currentText().toStdString(), temp.path);
    EXPECT_TRUE(addInputFile(state, second));
    EXPECT_EQ(inputText(), second);
    EXPECT_EQ(job.outputFolder, temp.path);
    EXPECT_EQ(ui.RecentOutFolders, temp.path);
    EXPECT_EQ(job.files.size(), 1u);
    EXPECT_EQ(job.files.count(second), 1u);
}

TEST_F(ConversionTest, RefusedFilesChangeNothing) {
    open();
    const std::string kept = picture("kept.png");
    ASSERT_TRUE(addInputFile(state, kept));
    writeFileBytes(temp.path + "empty.png", "");
    writeFileBytes(temp.path + "photo.jpg", readFileBytes(kept));
    for (const std::string& refused : {temp.path + "empty.png", temp.path + "photo.jpg", temp.path + "noext"}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(addInputFile(state, refused));
        EXPECT_EQ(inputText(), kept);
        EXPECT_EQ(job.files.count(kept), 1u);
    }
}

TEST_F(ConversionTest, TheOpenFileDialogOffersPngAndTakesTheChoice) {
    open();
    const std::string chosen = picture("chosen.png");
    script().files = {chosen, std::nullopt};
    job.inputPath = "/previous.png";
    EXPECT_TRUE(selectInputFile(state));
    EXPECT_EQ(inputText(), chosen);
    EXPECT_TRUE(job.inputPath.empty());
    ASSERT_EQ(script().fileFilters.size(), 1u);
    EXPECT_EQ(script().fileFilters[0],
              "All Supported Files (*.png *.PNG);;Portable Network Graphics (*.png *.PNG);;All Files (*)");
    EXPECT_FALSE(selectInputFile(state));  // cancelled
    EXPECT_EQ(inputText(), chosen);
}

TEST_F(ConversionTest, TheFolderDialogStoresAnExistingFolderOnly) {
    open();
    const std::string out = folder("out");
    script().folders = {temp.path + "missing/", out, std::nullopt};
    selectOutputFolder(state);
    EXPECT_EQ(ui.RecentOutFolders, "");
    selectOutputFolder(state);
    EXPECT_EQ(ui.RecentOutFolders, out);
    EXPECT_EQ(job.outputFolder, out);
    EXPECT_EQ(state.main.folderList->currentText().toStdString(), out);
    selectOutputFolder(state);  // cancelled
    EXPECT_EQ(job.outputFolder, out);
}

TEST_F(ConversionTest, AFolderWithALineFeedIsUsedButNotStored) {
    open();
    const std::string odd = folder("odd\nname");
    script().folders = {odd};
    selectOutputFolder(state);
    EXPECT_EQ(ui.RecentOutFolders, "");
    EXPECT_EQ(state.main.folderList->currentText().toStdString(), odd);
    state.main.inputField->setText(QString::fromStdString(picture("in.png")));
    // The converted file lands in the folder as chosen.
    QTimer pressOk;
    QObject::connect(&pressOk, &QTimer::timeout, [this] {
        if (auto* dialog = state.main.frame->findChild<QWidget*>("progressDialog"))
            if (auto* ok = dialog->findChild<QPushButton*>("progressOk"); ok && ok->isEnabled()) ok->click();
    });
    pressOk.start(1);
    startConversion(state);
    EXPECT_TRUE(script().boxes.empty());
    EXPECT_EQ(listFolder(odd), std::vector<std::string>{"in.dds"});
    EXPECT_EQ(ui.RecentOutFolders, "");
}

// ---- drops ------------------------------------------------------------------

TEST_F(ConversionTest, DropsOfferOnlyTheFirstLocalPathAndNeverSplitANameAtALineFeed) {
    open();
    const std::string withLineFeed = picture("two\nlines.png");
    const std::string other = picture("other.png");
    QMimeData data;
    data.setUrls({QUrl("https://example.invalid/remote.png"), QUrl::fromLocalFile(QString::fromStdString(withLineFeed)),
                  QUrl::fromLocalFile(QString::fromStdString(other))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(state.main.frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(state.main.frame, &drop);
    ASSERT_TRUE(hasPendingEvent());
    const UiEvent event = waitForNextEvent();
    ASSERT_EQ(event.kind, EventKind::FilesDropped);
    EXPECT_EQ(event.paths, (std::vector<std::string>{withLineFeed, other}));
    dispatchEvent(state, event);
    EXPECT_EQ(inputText(), withLineFeed);
    ASSERT_EQ(job.files.size(), 1u);
    EXPECT_EQ(job.files.begin()->first, withLineFeed);
}


TEST_F(ConversionTest, DroppedListsTakeTheFirstPathOrNothing) {
    open();
    const std::string good = picture("good.png");
    const std::string jpg = temp.path + "photo.jpg";
    const std::string empty = temp.path + "empty.png";
    writeFileBytes(jpg, readFileBytes(good));
    writeFileBytes(empty, "");
    struct Case {
        const char* name;
        std::vector<std::string> paths;
        std::string taken;
    };
    const std::vector<Case> cases{
        {"three files: the first", {good, jpg, empty}, good},
        {"a refused first file: nothing", {jpg, good}, ""},
        {"an empty first file: nothing", {empty, good}, ""},
        {"an empty list: nothing", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        newSession(state);
        dispatchEvent(state, {EventKind::FilesDropped, kMainWindow, {}, ControlEvent::Click, kCommandNone, c.paths});
        EXPECT_EQ(inputText(), c.taken);
        EXPECT_EQ(job.files.size(), c.taken.empty() ? 0u : 1u);
    }
}

// ---- Convert checks --------------------------------------------------------

struct WarningCase {
    const char* name;
    std::function<void(ConversionTest&)> arrange;
    std::string text;
    std::string statusAfter;
};

TEST_F(ConversionTest, EveryFailedCheckWarnsAndWritesNothing) {
    open();
    const std::string good = picture("good.png");
    const std::string out = folder("out");
    writeFileBytes(temp.path + "photo.jpg", readFileBytes(good));
    writeFileBytes(temp.path + "empty.png", "");
    writeFileBytes(temp.path + "empty-mark.png", "");
    const std::string stopped = "Conversion stopped";
    const std::string preparing = "Preparing...";
    auto input = [](const std::string& path) {
        return [path](ConversionTest& t) { t.state.main.inputField->setText(QString::fromStdString(path)); };
    };
    auto both = [](std::function<void(ConversionTest&)> a, std::function<void(ConversionTest&)> b) {
        return [a, b](ConversionTest& t) {
            a(t);
            b(t);
        };
    };
    auto withOut = [&](std::function<void(ConversionTest&)> more) {
        return both(input(good), both([&out](ConversionTest& t) { t.state.main.folderList->addItem(QString::fromStdString(out));
                                                                  t.state.main.folderList->setCurrentIndex(t.state.main.folderList->count() - 1); },
                                      std::move(more)));
    };
    auto nothing = [](ConversionTest&) {};
    const std::string noInput = "No input file(s) found. Please, add valid file(s) and try again!";
    const std::vector<WarningCase> cases{
        {"empty input field", nothing, noInput, stopped},
        {"blank input field", input("   "), noInput, stopped},
        {"a jpg", input(temp.path + "photo.jpg"), noInput, stopped},
        {"an empty png", input(temp.path + "empty.png"), noInput, stopped},
        {"no output folder (typing sets none)", input(good),
         "The output folder's field is empty. Please, select existed output folder and try again!", stopped},
        {"a history folder that is gone",
         both(input(good),
              [this](ConversionTest& t) {
                  t.state.main.folderList->addItem(QString::fromStdString(temp.path + "gone"));
                  t.state.main.folderList->setCurrentIndex(t.state.main.folderList->count() - 1);
              }),
         "The following output folder is invalid or doesn't exist:\n" + temp.path +
             "gone/\n\nPlease, correct the output path and try again!",
         stopped},
        {"resize width 0", withOut([](ConversionTest& t) {
             t.conversion.DoImageResize = 1;
             t.conversion.ImageWidth = 0;
             t.conversion.ImageHeight = 0;
         }),
         "Invalid resize width value!", stopped},
        {"resize height 0", withOut([](ConversionTest& t) {
             t.conversion.DoImageResize = 1;
             t.conversion.ImageWidth = 10;
             t.conversion.ImageHeight = 0;
         }),
         "Invalid resize height value!", stopped},
        {"a font the system cannot make", withOut([](ConversionTest& t) {
             t.conversion.DoWatermark = 1;
             t.conversion.Font = "No Such Face 4711";
         }),
         "Unable to load selected font for a watermark: No Such Face 4711", preparing},
        {"no watermark picture", withOut([](ConversionTest& t) {
             t.conversion.DoWatermark = 2;
             t.conversion.Image = "";
         }),
         "Selected watermark image is invalid/empty!", preparing},
        {"a missing watermark picture", withOut([this](ConversionTest& t) {
             t.conversion.DoWatermark = 2;
             t.conversion.Image = temp.path + "nothing.png";
         }),
         "Unable to load selected file as a watermark image: " + temp.path + "nothing.png", preparing},
        {"a folder as watermark picture", withOut([&out](ConversionTest& t) {
             t.conversion.DoWatermark = 2;
             t.conversion.Image = out;
         }),
         "Unable to load selected file as a watermark image: " + out, preparing},
        {"an empty watermark picture", withOut([this](ConversionTest& t) {
             t.conversion.DoWatermark = 2;
             t.conversion.Image = temp.path + "empty-mark.png";
         }),
         "Unable to load selected file as a watermark image: " + temp.path + "empty-mark.png", preparing},
    };
    // The number settings the console refuses, from the console's own table.
    std::vector<WarningCase> all = cases;
    for (const SettingValueCase& c : settingValueCases())
        all.push_back({c.what, withOut([edit = c.edit](ConversionTest& t) { edit(t.conversion); }),
                       withoutErrorPrefix(c.consoleLine), stopped});
    for (const WarningCase& c : all) {
        SCOPED_TRACE(c.name);
        ResetToDefaults(conversion, ui, false);
        ui.RecentOutFolders = "/kept/";
        newSession(state);
        script().boxes.clear();
        c.arrange(*this);
        startConversion(state);
        ASSERT_EQ(script().boxes.size(), 1u);
        EXPECT_EQ(script().boxes[0].title, "Warning");
        EXPECT_EQ(script().boxes[0].text, c.text);
        EXPECT_EQ(script().boxes[0].icon, MessageIcon::Warning);
        EXPECT_EQ(script().boxes[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(status(), c.statusAfter);
        EXPECT_EQ(ui.RecentOutFolders, "/kept/");
        EXPECT_TRUE(listFolder(out).empty());
        EXPECT_FALSE(state.main.frame->findChild<QWidget*>("progressDialog"));
    }
}

// ---- the progress dialog ---------------------------------------------------

// What the dialog showed when its OK button became usable.
struct DialogResult {
    std::string title;
    std::string file;
    std::string time;
    bool timeVisible = false;
    int barValue = -1;
    int barMaximum = -1;
    QRect barPlace;
    std::string status;
    bool mainEnabledDuringRun = true;
    bool dialogEnabled = false;
    bool modal = false;
    QSize size;
    bool seen = false;
};

// Looks at the dialog on every tick of a timer that runs inside the
// dialog's own loop, and acts like the user.
struct DialogDriver {
    AppState& state;
    QTimer timer;
    DialogResult result;
    std::function<void(QWidget*)> whileRunning;  // optional, each tick before the result

    explicit DialogDriver(AppState& s) : state(s) {
        QObject::connect(&timer, &QTimer::timeout, [this] { tick(); });
        timer.start(1);
    }

    void tick() {
        auto* dialog = state.main.frame->findChild<QWidget*>("progressDialog");
        if (!dialog || !dialog->isVisible()) return;
        auto* ok = dialog->findChild<QPushButton*>("progressOk");
        if (!ok->isEnabled()) {
            result.mainEnabledDuringRun = result.mainEnabledDuringRun && state.main.client->isEnabled() && state.main.menuBar->isEnabled();
            if (whileRunning) whileRunning(dialog);
            return;
        }
        if (result.seen) return;
        result.seen = true;
        result.title = dialog->windowTitle().toStdString();
        result.file = dialog->findChild<QLabel*>("progressFile")->text().toStdString();
        auto* time = dialog->findChild<QLabel*>("progressTime");
        result.time = time->text().toStdString();
        result.timeVisible = time->isVisibleTo(dialog);
        auto* bar = dialog->findChild<QProgressBar*>("progressBar");
        result.barValue = bar->value();
        result.barMaximum = bar->maximum();
        result.barPlace = bar->geometry();
        result.status = state.main.statusText->text().toStdString();
        result.dialogEnabled = dialog->isEnabled();
        result.modal = dialog->windowModality() == Qt::WindowModal;
        result.size = dialog->size();
        ok->click();
    }
};

void publish(BatchProgress& progress, std::int32_t index, const std::string& file, std::int64_t millis) {
    std::lock_guard lock(progress.mutex);
    progress.currentIndex = index;
    progress.currentFile = file;
    progress.lastFileMillis = millis;
}
void finish(BatchProgress& progress, std::int32_t converted) {
    std::lock_guard lock(progress.mutex);
    progress.fileCount = converted;
}
void waitFor(const std::atomic<bool>& flag) {
    while (!flag) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST_F(ConversionTest, ARealConversionCompletesAndReturnsTheWindow) {
    open();
    const std::string input = picture("real.png", 16);
    const std::string out = folder("out");
    state.main.inputField->setText(QString::fromStdString("  " + input + " "));
    script().folders = {out};
    selectOutputFolder(state);
    DialogDriver driver(state);
    startConversion(state);
    const DialogResult& r = driver.result;
    ASSERT_TRUE(r.seen);
    EXPECT_EQ(r.title, "Conversion complete (1/1)");
    EXPECT_EQ(r.file, "Files converted: 1 of 1");
    EXPECT_FALSE(r.timeVisible);
    EXPECT_EQ(r.barValue, 2);
    EXPECT_EQ(r.barMaximum, 2);
    EXPECT_EQ(r.barPlace, QRect(10, 50, 280, 20));
    EXPECT_EQ(r.size, QSize(300, 130));
    EXPECT_EQ(r.status, "Conversion complete");
    EXPECT_FALSE(r.mainEnabledDuringRun);
    EXPECT_TRUE(r.dialogEnabled);
    EXPECT_TRUE(r.modal);
    EXPECT_TRUE(script().boxes.empty());
    EXPECT_TRUE(state.main.client->isEnabled());
    EXPECT_TRUE(state.main.menuBar->isEnabled());
    EXPECT_FALSE(state.main.frame->findChild<QWidget*>("progressDialog"));
    EXPECT_EQ(state.openDialog, kNoDialog);
    EXPECT_EQ(status(), "Conversion complete");
    EXPECT_EQ(listFolder(out), std::vector<std::string>{"real.dds"});
    const DdsImage dds = readDdsFile(out + "real.dds");
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.width, 16u);
    EXPECT_EQ(dds.header.mipMapCount, fullMipCount(16, 16));
    // View Texture shows this file beside its PNG.
    EXPECT_EQ(state.lastWrittenTexture, out + "real.dds");
    EXPECT_EQ(state.lastTextureSource, input);
}

// A name from an old archive, in Latin-1: Qt shows the odd byte as U+FFFD,
// but the file is dropped, listed, typed over and converted under its own
// bytes.
TEST_F(ConversionTest, ANameThatIsNotUtf8IsConvertedFromADropAndFromTheHistory) {
    open();
    const std::string input = picture("caf\xe9.png", 16);
    const std::string out = folder("d\xe9j\xe0");
    ui.RecentOutFolders = out;
    job.outputFolder = out;
    fillOutputFolderList(state);
    ASSERT_EQ(state.main.folderList->count(), 1);
    EXPECT_TRUE(state.main.folderList->currentText().contains(QChar(0xFFFD)));

    QMimeData data;
    const QByteArray encoded = "file://" + QByteArray::fromStdString(input).toPercentEncoding("/");
    data.setUrls({QUrl::fromEncoded(encoded)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(state.main.frame, &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(state.main.frame, &drop);
    ASSERT_TRUE(hasPendingEvent());
    const UiEvent event = waitForNextEvent();
    ASSERT_EQ(event.kind, EventKind::FilesDropped);
    EXPECT_EQ(event.paths, std::vector<std::string>{input});
    dispatchEvent(state, event);
    ASSERT_EQ(job.files.size(), 1u);
    EXPECT_EQ(job.files.begin()->first, input);

    DialogDriver driver(state);
    startConversion(state);
    ASSERT_TRUE(driver.result.seen);
    EXPECT_EQ(driver.result.title, "Conversion complete (1/1)");
    EXPECT_TRUE(script().boxes.empty());
    EXPECT_EQ(listFolder(out), std::vector<std::string>{"caf\xe9.dds"});
    EXPECT_EQ(ui.RecentOutFolders, out);
}

// What the open-file and folder dialogs and the fields give back, as Qt
// shows it, leads to the file's own bytes where that is unambiguous.
TEST_F(ConversionTest, ShownNamesLeadBackToTheBytesOfTheFileSystem) {
    const std::string latin1 = picture("caf\xe9.png");
    const std::string utf8 = picture("caf\xc3\xa9.png");
    const std::string sub = folder("\xe0 b");
    writeFileBytes(sub + "n\xe9.png", "x");
    const std::string twinA = folder("twins") + "t\xe8.png", twinB = temp.path + "twins/t\xe9.png";
    writeFileBytes(twinA, "a");
    writeFileBytes(twinB, "b");
    const auto shown = [](const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); };
    struct Case {
        const char* name;
        QString text;
        std::string path;
    };
    const std::vector<Case> cases{
        {"a Latin-1 file name", shown(latin1), latin1},
        {"valid UTF-8 stays as it is", shown(utf8), utf8},
        {"an odd folder and an odd file in it", shown(sub + "n\xe9.png"), sub + "n\xe9.png"},
        {"a folder with a trailing slash", shown(sub), sub},
        {"two names shown alike: the text itself", shown(twinA), shown(twinA).toStdString()},
        {"a name that is not there: the text itself", shown(temp.path + "gone\xe9.png"),
         shown(temp.path + "gone\xe9.png").toStdString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fileSystemPath(c.text), c.path);
    }
    EXPECT_EQ(typedPath("  " + shown(latin1) + " "), latin1);
}

struct OutcomeCase {
    const char* name;
    std::int32_t converted;
    std::string title;
    std::string file;
    std::string status;
    int barValue;
};

// A fast worker ends before any pass has seen its index: the title still
// counts the file. Nothing converted is not a success.
TEST_F(ConversionTest, TheResultReadsTheIndexAfterTheWorkerEndedAndCountsConvertedFiles) {
    open();
    const std::vector<OutcomeCase> cases{
        {"converted", 1, "Conversion complete (1/1)", "Files converted: 1 of 1", "Conversion complete", 2},
        {"nothing converted", 0, "Conversion stopped (1/1)", "Files converted: 0 of 1", "Conversion stopped", 2},
    };
    for (const OutcomeCase& c : cases) {
        SCOPED_TRACE(c.name);
        DialogDriver driver(state);
        runProgressDialog(state, 1, [&c](BatchProgress& progress) {
            publish(progress, 1, "/in/fast.png", 0);
            finish(progress, c.converted);
        });
        EXPECT_EQ(driver.result.title, c.title);
        EXPECT_EQ(driver.result.file, c.file);
        EXPECT_EQ(driver.result.status, c.status);
        EXPECT_EQ(driver.result.barValue, c.barValue);
    }
}

struct StopCase {
    const char* name;
    MessageAnswer answer;
    std::int32_t convertedAnyway;  // what the worker reports after the file in hand
    std::string title;
    std::string file;
    bool workerSawStop;
};

TEST_F(ConversionTest, TheStopQuestionDecidesByTheConvertedCount) {
    open();
    const std::vector<StopCase> cases{
        {"Yes, the file was not converted", MessageAnswer::Yes, 0, "Conversion stopped (1/1)", "Conversion stopped",
         true},
        {"Yes, but the file was converted anyway", MessageAnswer::Yes, 1, "Conversion complete (1/1)",
         "Files converted: 1 of 1", true},
        {"No goes on", MessageAnswer::No, 1, "Conversion complete (1/1)", "Files converted: 1 of 1", false},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<bool> release{false};
        std::atomic<bool> sawStop{false};
        bool closeAsked = false;
        script().boxes.clear();
        script().answers = {c.answer};
        script().onBox = [&release] { release = true; };
        DialogDriver driver(state);
        driver.whileRunning = [&closeAsked](QWidget* dialog) {
            if (closeAsked || dialog->windowTitle() != "Converting (1/1)") return;
            closeAsked = true;
            dialog->close();  // the close box: the dialog stays and asks
        };
        runProgressDialog(state, 1, [&](BatchProgress& progress) {
            publish(progress, 1, "/in/slow.png", 0);
            waitFor(release);
            sawStop = !progress.running;
            finish(progress, c.convertedAnyway);
        });
        ASSERT_EQ(script().boxes.size(), 1u);
        EXPECT_EQ(script().boxes[0].title, "Warning");
        EXPECT_EQ(script().boxes[0].text, "Do you want to break the conversion?");
        EXPECT_EQ(script().boxes[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(sawStop, c.workerSawStop);
        EXPECT_EQ(driver.result.title, c.title);
        EXPECT_EQ(driver.result.file, c.file);
    }
}

// A steady stream of events must not keep the result from showing: the
// worker is looked at on every pass, not only after a quiet 15 ms.
TEST_F(ConversionTest, AStreamOfEventsDoesNotStarveThePoll) {
    open();
    std::atomic<bool> workDone{false};
    int postedAfterDone = 0;
    bool okEnabled = false;
    QTimer flood;
    QObject::connect(&flood, &QTimer::timeout, [&] {
        if (auto* dialog = state.main.frame->findChild<QWidget*>("progressDialog"))
            okEnabled = okEnabled || dialog->findChild<QPushButton*>("progressOk")->isEnabled();
        if (okEnabled || postedAfterDone >= 2000) return;  // a starved loop ends once the flood stops
        if (workDone) ++postedAfterDone;
        postControl(kMainWindow, kFolderListControl, ControlEvent::Change);
        postControl(kProgressWindow, kProgressBar, ControlEvent::Click);
    });
    flood.start(0);
    DialogDriver driver(state);
    runProgressDialog(state, 1, [&](BatchProgress& progress) {
        publish(progress, 1, "/in/x.png", 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        finish(progress, 1);
        workDone = true;
    });
    flood.stop();
    clearEvents();
    EXPECT_EQ(driver.result.title, "Conversion complete (1/1)");
    EXPECT_LT(postedAfterDone, 50);
}

TEST_F(ConversionTest, TheFileLineIsShortenedToTheDialogWidth) {
    open();
    const std::string longPath = "/" + std::string(120, 'p') + "/" + std::string(100, 'q') + ".png";
    std::atomic<bool> release{false};
    std::string shown;
    int charWidth = 0;
    DialogDriver driver(state);
    driver.whileRunning = [&](QWidget* dialog) {
        if (dialog->windowTitle() != "Converting (1/1)" || release) return;
        shown = dialog->findChild<QLabel*>("progressFile")->text().toStdString();
        charWidth = QFontMetrics(dialog->font()).horizontalAdvance("abc123:\\-") / 9;
        release = true;
    };
    runProgressDialog(state, 1, [&](BatchProgress& progress) {
        publish(progress, 1, longPath, 0);
        waitFor(release);
        finish(progress, 1);
    });
    ASSERT_GT(charWidth, 0);
    EXPECT_EQ(shown, shortenPath(longPath, 280 / charWidth));
    EXPECT_LT(shown.size(), longPath.size());
    EXPECT_EQ(shown.substr(0, 3), "/pp");
    EXPECT_EQ(shown.substr(shown.size() - 6), "qq.png");
}

TEST_F(ConversionTest, FiveFilesShowTheRemainingTime) {
    open();
    std::atomic<bool> release{false};
    std::string during;
    bool visible = false;
    QRect barPlace;
    DialogDriver driver(state);
    driver.whileRunning = [&](QWidget* dialog) {
        if (dialog->windowTitle() != "Converting (2/5)" || release) return;
        auto* time = dialog->findChild<QLabel*>("progressTime");
        during = time->text().toStdString();
        visible = time->isVisibleTo(dialog);
        barPlace = dialog->findChild<QProgressBar*>("progressBar")->geometry();
        release = true;
    };
    runProgressDialog(state, 5, [&](BatchProgress& progress) {
        publish(progress, 1, "/in/1.png", 0);
        publish(progress, 2, "/in/2.png", 2000);
        waitFor(release);
        finish(progress, 5);
    });
    EXPECT_EQ(during, "Time Remaining: 00:00:08");  // 2 s x (5 - 2 + 1) files
    EXPECT_TRUE(visible);
    EXPECT_EQ(barPlace, QRect(10, 60, 280, 20));
    EXPECT_EQ(driver.result.time, "Time Remaining: 00:00:00");
    EXPECT_EQ(driver.result.title, "Conversion complete (2/5)");
    EXPECT_EQ(driver.result.file, "Files converted: 5 of 5");
    EXPECT_EQ(driver.result.barValue, 6);
}

// ---- text helpers ----------------------------------------------------------

TEST(ShortenPath, KeepsBothEnds) {
    const std::string sixty = std::string(30, 'a') + std::string(30, 'b');
    struct Case {
        std::string text;
        int max;
        std::string expected;
    };
    const std::vector<Case> cases{
        {sixty, 40, std::string(18, 'a') + "..." + std::string(18, 'b')},
        {sixty, 60, sixty},
        {sixty, 59, std::string(28, 'a') + "..." + std::string(28, 'b')},
        {"", 0, ""},
        {"abcdef", 3, "..."},
        {"abcdef", 1, "..."},
        {"abcdef", 0, "..."},
        {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC", 5, "\xC3\xA4...\xC3\xBC"},  // characters, not bytes
    };
    for (const Case& c : cases) EXPECT_EQ(shortenPath(c.text, c.max), c.expected) << c.text << " " << c.max;
    EXPECT_EQ(shortenPath(sixty, 40).size(), 39u);
}

TEST(FormatDuration, HoursMinutesSecondsAndDays) {
    const std::pair<std::int64_t, std::string> cases[] = {
        {-5, "00:00:00"},          {0, "00:00:00"},           {999, "00:00:00"},
        {1000, "00:00:01"},        {59999, "00:00:59"},       {60000, "00:01:00"},
        {3723000, "01:02:03"},     {86399000, "23:59:59"},    {86400000, "1d:00:00:00"},
        {90061000, "1d:01:01:01"}, {1000LL * 86400 * 400 + 5000, "400d:00:00:05"},
    };
    for (const auto& [millis, text] : cases) EXPECT_EQ(formatDuration(millis), text) << millis;
}

}  // namespace
