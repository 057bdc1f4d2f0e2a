// The Help commands, the About dialog and the converter search through the
// real binary on a virtual X display: what the xdg-open stub is given, what
// the local version server of the test is asked, and when the start-up asks
// to check for updates. Menus are driven with the keyboard: Alt opens the
// menu bar, Right moves to the next menu, Down opens it on its first item.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <thread>

#include "local_date_check.h"
#include "local_http_server.h"
#include "test_support.h"
#include "virtual_display.h"

namespace {

constexpr int kWait = 20000;
const std::string kMainTitle = "^Korvane PNG to DDS 2\\.8$";
const std::string kAnswer281 = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n281\r\n";
const std::string kProductPage = "https://www.korvane.example/tovrel/";

// Key presses that choose a menu item, starting from the main window.
const std::vector<std::string> kUserManual{"alt", "Right", "Right", "Down", "Return"};
const std::vector<std::string> kSendFeedback{"alt", "Right", "Right", "Down", "Down", "Return"};
const std::vector<std::string> kVisitHomepage{"alt", "Right", "Right", "Down", "Down", "Down", "Return"};
const std::vector<std::string> kCheckForNewVersion{"alt", "Right", "Right", "Down", "Down", "Down", "Down", "Return"};
const std::vector<std::string> kAbout{"alt", "Right", "Right", "Down", "Up", "Return"};
const std::vector<std::string> kFindConverter{"alt", "Right", "Down", "Down", "Down", "Return"};

long long dateKey(const std::string& config, const std::string& key) {
    const std::size_t at = config.find("\r\n" + key + " = ");
    if (at == std::string::npos) return -1;
    return std::atoll(config.c_str() + at + key.size() + 5);
}

struct HelpRun : ::testing::Test {
    TempFolder temp;
    WindowRunFolders folders{temp.path};
    VirtualDisplay display{true};
    pid_t pid = -1;
    std::string mainWindow;

    void TearDown() override {
        if (pid > 0 && waitForExit(pid, 0, false) == kStillRunning) {
            kill(pid, SIGTERM);
            waitForExit(pid, kWait);
        }
    }

    void seed(int updateRange, long long updateDate) {
        std::filesystem::create_directories(folders.config + "Korvane/tovrel");
        writeFileBytes(folders.configFile(), "[General]\r\nCFG = 19\r\nUpdate Range = " + std::to_string(updateRange) +
                                                 "\r\nUpdate Date = " + std::to_string(updateDate) + "\r\n");
    }

    void start(const LocalHttpServer& server) {
        pid = startTovrel({}, folders, display.name, StdoutMode::Pipe, {{"TOVREL_UPDATE_URL", server.address()}});
    }
    void startAndWaitForMain(const LocalHttpServer& server) {
        start(server);
        mainWindow = findWindow(kMainTitle);
        ASSERT_FALSE(mainWindow.empty());
    }

    // xdotool's search ends with an X error when a window it inspects goes
    // away meanwhile (a message box closing): search again until the time
    // is up.
    std::string findWindow(const std::string& title, int timeoutMs = kWait) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return {};
            const std::string window = waitForWindow(display.name, title, static_cast<int>(left.count()));
            if (!window.empty()) return window;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    bool keys(const std::string& window, const std::vector<std::string>& presses) {
        return pressKeys(display.name, window, presses, kWait);
    }
    bool type(const std::string& text) { return typeText(display.name, text, kWait); }
    void click(const std::string& window, int x, int y) {
        runOnDisplay(display.name,
                     {"xdotool", "mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "1"},
                     kWait);
    }

    // Chooses a menu item until the window it opens appears (the first keys
    // may arrive before the window has the focus on a busy machine).
    std::string chooseUntilWindow(const std::vector<std::string>& item, const std::string& title) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            keys(mainWindow, item);
            const std::string window = findWindow(title, 5000);
            if (!window.empty()) return window;
            keys(mainWindow, {"Escape", "Escape"});
        }
        return {};
    }

    bool windowGone(const std::string& title) {
        for (int wait = 0; wait < 50; ++wait)
            if (findWindow(title, 100).empty()) return true;
        return false;
    }

    std::vector<std::string> opened() {
        std::vector<std::string> lines;
        const std::string text = readFileBytes(folders.openedLog);
        for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            lines.push_back(text.substr(at, end - at));
        return lines;
    }
    // Waits until the stub has recorded `count` addresses (it runs detached).
    std::vector<std::string> openedAfter(std::size_t count) {
        for (int wait = 0; wait < 200 && opened().size() < count; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return opened();
    }
    // Chooses a menu item that only opens an address; repeated until the
    // stub has recorded one more line.
    std::vector<std::string> chooseUntilOpened(const std::vector<std::string>& item) {
        const std::size_t before = opened().size();
        for (int attempt = 0; attempt < 4 && opened().size() == before; ++attempt) {
            keys(mainWindow, item);
            openedAfter(before + 1);
        }
        return opened();
    }

    int endWithAltX() {
        for (int attempt = 0; attempt < 10; ++attempt) {
            keys(mainWindow, {"alt+x"});
            const int code = waitForExit(pid, 2000, false);
            if (code != kStillRunning) return code;
        }
        return waitForExit(pid, kWait);
    }
};

TEST_F(HelpRun, ManualCheckWith281ThenYesOpensTheProductPageAndLeavesTheDate) {
    ASSERT_FALSE(display.name.empty());
    LocalHttpServer server(kAnswer281);
    seed(5, 1234567);  // never a scheduled check
    startAndWaitForMain(server);
    const std::string box = chooseUntilWindow(kCheckForNewVersion, "^New Update$");
    ASSERT_FALSE(box.empty());
    ASSERT_TRUE(keys(box, {"y"}));
    EXPECT_EQ(openedAfter(1), std::vector<std::string>{kProductPage});
    EXPECT_TRUE(windowGone("^New Update$"));
    EXPECT_EQ(endWithAltX(), 0);
    EXPECT_EQ(server.receivedRequest(),
              "GET /files/tovrel.dat HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: */*\r\n"
              "User-Agent: Korvane PNG to DDS 2.8\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(dateKey(readFileBytes(folders.configFile()), "Update Date"), 1234567);
}

struct ScheduleCase {
    const char* name;
    int updateRange;
    long long secondsAgo;
    const char* answer;  // nullptr: the question must not come
    bool asksTheServer;
};

TEST_F(HelpRun, TheStartUpAsksToCheckOnlyWhenDue) {
    ASSERT_FALSE(display.name.empty());
    const std::vector<ScheduleCase> cases{
        {"a day and a minute ago, every day, No", 0, 86400 + 60, "n", false},
        {"a month and a day ago, every month, Yes", 2, 31 * 86400, "y", true},
        {"an hour ago, every day", 0, 3600, nullptr, false},
        {"years ago, never", 5, 3 * 365 * 86400LL, nullptr, false},
    };
    for (const ScheduleCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folders.openedLog);
        LocalHttpServer server(kAnswer281);
        const long long before = localDateOf(std::time(nullptr));
        const long long seeded = before - c.secondsAgo;
        seed(c.updateRange, seeded);
        start(server);
        if (c.answer) {
            const std::string question = findWindow("^Check for Updates$", kWait);
            ASSERT_FALSE(question.empty());
            ASSERT_TRUE(keys(question, {c.answer}));
            if (c.asksTheServer) {
                const std::string offer = findWindow("^New Update$", kWait);
                ASSERT_FALSE(offer.empty());
                ASSERT_TRUE(keys(offer, {"n"}));
            }
        }
        mainWindow = findWindow(kMainTitle);
        ASSERT_FALSE(mainWindow.empty());
        // The loop runs, so no question is waiting: the About dialog opens.
        const std::string about = chooseUntilWindow(kAbout, "^About\\.\\.\\.$");
        ASSERT_FALSE(about.empty());
        EXPECT_TRUE(findWindow("^Check for Updates$", 200).empty());
        ASSERT_TRUE(keys(about, {"Escape"}));
        EXPECT_TRUE(windowGone("^About\\.\\.\\.$"));
        EXPECT_EQ(endWithAltX(), 0);
        const long long stored = dateKey(readFileBytes(folders.configFile()), "Update Date");
        if (c.answer) {
            EXPECT_GE(stored, before) << "a due check moves the date, whatever the answer";
            EXPECT_LE(stored, localDateOf(std::time(nullptr)));
        } else {
            EXPECT_EQ(stored, seeded);
        }
        EXPECT_EQ(server.receivedRequest().empty(), !c.asksTheServer);
        EXPECT_EQ(opened(), std::vector<std::string>{});
    }
}

// A logout while the start-up check waits for a server that never answers:
// the program leaves the check at once and ends as at Exit (the date moved,
// the window's size saved) instead of holding the logout for the check's
// ten seconds.
TEST_F(HelpRun, TheSessionEndingDuringTheStartUpCheckEndsAtOnceAndSaves) {
    ASSERT_FALSE(display.name.empty());
    LocalHttpServer silent("", LocalHttpServer::Reply::Silence);
    const long long before = localDateOf(std::time(nullptr));
    seed(0, before - 2 * 86400);
    start(silent);
    const std::string question = findWindow("^Check for Updates$", kWait);
    ASSERT_FALSE(question.empty());
    ASSERT_TRUE(keys(question, {"y"}));
    for (int wait = 0; wait < 400 && !silent.requestReceived(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(silent.requestReceived());
    kill(pid, SIGTERM);
    EXPECT_EQ(waitForExit(pid, 5000), 0) << "the check held the end of the session";
    pid = -1;
    const std::string config = readFileBytes(folders.configFile());
    EXPECT_GE(dateKey(config, "Update Date"), before);
    EXPECT_EQ(dateKey(config, "Width"), 510);
    EXPECT_EQ(opened(), std::vector<std::string>{});
}

TEST_F(HelpRun, F1OpensTheAbsoluteManualBesideTheProgram) {
    ASSERT_FALSE(display.name.empty());
    LocalHttpServer server(kAnswer281);
    const std::string programFolder = std::filesystem::path(TOVREL_BINARY).parent_path().string() + "/";
    ASSERT_TRUE(std::filesystem::is_regular_file(programFolder + "tovrel.html"));
    startAndWaitForMain(server);
    for (int attempt = 0; attempt < 4 && opened().empty(); ++attempt) {
        keys(mainWindow, {"F1"});
        openedAfter(1);
    }
    EXPECT_EQ(opened(), std::vector<std::string>{"file://" + programFolder + "tovrel.html"});
    // The same from the Help menu.
    EXPECT_EQ(chooseUntilOpened(kUserManual),
              (std::vector<std::string>{"file://" + programFolder + "tovrel.html",
                                        "file://" + programFolder + "tovrel.html"}));
    EXPECT_EQ(endWithAltX(), 0);
    EXPECT_TRUE(server.receivedRequest().empty());
}

TEST_F(HelpRun, AboutLinksFeedbackHomepageAndConverterSearchOpenTheirAddresses) {
    ASSERT_FALSE(display.name.empty());
    LocalHttpServer server(kAnswer281);
    startAndWaitForMain(server);

    const std::string about = chooseUntilWindow(kAbout, "^About\\.\\.\\.$");
    ASSERT_FALSE(about.empty());
    click(about, 160, 110);  // the web link
    EXPECT_EQ(openedAfter(1), std::vector<std::string>{"https://www.korvane.example"});
    click(about, 160, 130);  // the mail link
    EXPECT_EQ(openedAfter(2),
              (std::vector<std::string>{"https://www.korvane.example", "mailto:support@korvane.example"}));
    EXPECT_FALSE(findWindow("^About\\.\\.\\.$", 1000).empty()) << "links leave the dialog open";
    ASSERT_TRUE(keys(about, {"Return"}));
    ASSERT_TRUE(windowGone("^About\\.\\.\\.$"));

    // The subject's blanks arrive percent-encoded in one argument; mail
    // programs decode them to "Korvane PNG to DDS 2.8 Feedback".
    EXPECT_EQ(chooseUntilOpened(kSendFeedback).back(),
              "mailto:support@korvane.example?subject=Korvane%20PNG%20to%20DDS%202.8%20Feedback");
    EXPECT_EQ(chooseUntilOpened(kVisitHomepage).back(), kProductPage);

    const std::string search = chooseUntilWindow(kFindConverter, "^Find a File Converter$");
    ASSERT_FALSE(search.empty());
    ASSERT_TRUE(type(".PNG"));
    ASSERT_TRUE(keys(search, {"Return"}));  // "To:" is still empty
    const std::string warning = findWindow("^Warning$", kWait);
    ASSERT_FALSE(warning.empty());
    ASSERT_TRUE(keys(warning, {"Return"}));
    ASSERT_TRUE(windowGone("^Warning$"));
    EXPECT_FALSE(findWindow("^Find a File Converter$", 1000).empty()) << "the dialog stays";
    ASSERT_TRUE(keys(search, {"Tab"}));
    ASSERT_TRUE(type("dds"));
    ASSERT_TRUE(keys(search, {"Return"}));
    EXPECT_EQ(openedAfter(5).size(), 5u);
    EXPECT_EQ(opened().back(), "https://www.korvane.example/find/png-dds/");
    EXPECT_TRUE(windowGone("^Find a File Converter$"));

    EXPECT_EQ(endWithAltX(), 0);
    EXPECT_TRUE(server.receivedRequest().empty());
    EXPECT_EQ(opened().size(), 5u);
}

}  // namespace
