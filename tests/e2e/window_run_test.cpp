// The window mode through the real binary on a virtual X display that each
// test starts and stops itself: start, Alt+X and the close box, the stored
// geometry, the second instance, -T and -U, and runs without a display.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>

#include "test_support.h"
#include "virtual_display.h"

namespace {

constexpr int kWait = 20000;
const std::string kMainTitle = "^Korvane PNG to DDS 2\\.8$";

std::string windowBlock(const std::string& config) {
    const std::size_t start = config.find("[Window]");
    if (start == std::string::npos) return {};
    return config.substr(start, config.find('[', start + 1) - start);
}

int keyValue(const std::string& config, const std::string& key) {
    const std::string block = windowBlock(config);
    const std::size_t at = block.find("\r\n" + key + " = ");
    if (at == std::string::npos) return -99999;
    return std::atoi(block.c_str() + at + key.size() + 5);
}

struct WindowRun : ::testing::Test {
    TempFolder temp;
    WindowRunFolders folders{temp.path};

    bool press(const std::string& display, const std::string& window, const std::string& keys) {
        if (runOnDisplay(display, {"xdotool", "windowactivate", "--sync", window}, kWait).exitCode != 0) return false;
        return runOnDisplay(display, {"xdotool", "key", "--clearmodifiers", keys}, kWait).exitCode == 0;
    }

    // Presses the keys until the program ends (a busy machine may deliver
    // the first press before the window has the focus); its exit code.
    int pressUntilExit(const std::string& display, const std::string& window, const std::string& keys, pid_t pid) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            press(display, window, keys);
            const int code = waitForExit(pid, 2000, false);
            if (code != kStillRunning) return code;
        }
        return waitForExit(pid, kWait);
    }

    // Starts the window mode and ends it with the keys; the config text.
    std::string startAndEnd(const std::string& display, const std::string& keys) {
        pid_t pid = startTovrel({}, folders, display);
        const std::string window = waitForWindow(display, kMainTitle, kWait);
        EXPECT_FALSE(window.empty());
        EXPECT_EQ(pressUntilExit(display, window, keys, pid), 0);
        return readFileBytes(folders.configFile());
    }

    void seed(int x, int y, int width, int height) {
        std::filesystem::create_directories(folders.config + "Korvane/tovrel");
        writeFileBytes(folders.configFile(), "[General]\r\nCFG = 19\r\n[Window]\r\nIsMaximized = 0\r\nX = " +
                                                 std::to_string(x) + "\r\nY = " + std::to_string(y) +
                                                 "\r\nWidth = " + std::to_string(width) +
                                                 "\r\nHeight = " + std::to_string(height) + "\r\n");
    }
};

TEST_F(WindowRun, AltXOnAFreshStartWritesTheDefaultsCentred) {
    VirtualDisplay display(true);
    ASSERT_FALSE(display.name.empty());
    const std::string config = startAndEnd(display.name, "alt+x");
    ASSERT_FALSE(config.empty());
    EXPECT_EQ(config.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(keyValue(config, "IsMaximized"), 0);
    EXPECT_EQ(keyValue(config, "X"), (1280 - 510) / 2);
    EXPECT_EQ(keyValue(config, "Y"), (1024 - 260) / 2);
    EXPECT_EQ(keyValue(config, "Width"), 510);
    EXPECT_EQ(keyValue(config, "Height"), 260);
    EXPECT_NE(config.find("UI Theme = "), std::string::npos);
    EXPECT_NE(config.find("CFG = 19\r\n"), std::string::npos);
}

TEST_F(WindowRun, TheCloseBoxEndsTheProgramLikeExit) {
    VirtualDisplay display(true);
    ASSERT_FALSE(display.name.empty());
    seed(120, 90, 640, 260);
    // openbox closes the active window on Alt+F4 (a WM_DELETE_WINDOW request).
    const std::string config = startAndEnd(display.name, "alt+F4");
    EXPECT_EQ(keyValue(config, "X"), 120);
    EXPECT_EQ(keyValue(config, "Width"), 640);
}

TEST_F(WindowRun, SeededGeometryRoundTrips) {
    VirtualDisplay display(true);
    ASSERT_FALSE(display.name.empty());
    seed(200, 150, 700, 260);
    const std::string config = startAndEnd(display.name, "alt+x");
    EXPECT_EQ(keyValue(config, "X"), 200);
    EXPECT_EQ(keyValue(config, "Y"), 150);
    EXPECT_EQ(keyValue(config, "Width"), 700);
    EXPECT_EQ(keyValue(config, "Height"), 260);
}

TEST_F(WindowRun, GeometryOffEveryScreenIsCentredAndClamped) {
    VirtualDisplay display(true);
    ASSERT_FALSE(display.name.empty());
    seed(6000, -4000, 3000, 900);
    const std::string config = startAndEnd(display.name, "alt+x");
    EXPECT_EQ(keyValue(config, "Width"), 1280);
    EXPECT_EQ(keyValue(config, "Height"), 260);
    EXPECT_EQ(keyValue(config, "X"), 0);
    const int y = keyValue(config, "Y");
    EXPECT_GT(y, 300);
    EXPECT_LT(y, 1024 - 260);
}

TEST_F(WindowRun, ASecondInstanceEndsAtOnce) {
    VirtualDisplay display(true);
    ASSERT_FALSE(display.name.empty());
    pid_t first = startTovrel({}, folders, display.name);
    const std::string window = waitForWindow(display.name, kMainTitle, kWait);
    ASSERT_FALSE(window.empty());
    pid_t second = startTovrel({}, folders, display.name);
    EXPECT_EQ(waitForExit(second, kWait), 0);
    ToolResult windows = runOnDisplay(display.name, {"xdotool", "search", "--onlyvisible", "--name", kMainTitle}, kWait);
    EXPECT_EQ(windows.output, window + "\n");
    EXPECT_EQ(pressUntilExit(display.name, window, "alt+x", first), 0);
}

struct JpegSize {
    int width = 0;
    int height = 0;
};

JpegSize jpegSize(const std::string& path) {
    if (FreeImage_GetFileType(path.c_str(), 0) != FIF_JPEG) return {};
    FIBITMAP* bitmap = FreeImage_Load(FIF_JPEG, path.c_str(), 0);
    if (!bitmap) return {};
    JpegSize size{static_cast<int>(FreeImage_GetWidth(bitmap)), static_cast<int>(FreeImage_GetHeight(bitmap))};
    FreeImage_Unload(bitmap);
    return size;
}

TEST_F(WindowRun, ScreenshotWritesThePictureAndItsThumbnail) {
    for (bool withFrame : {false, true}) {
        SCOPED_TRACE(withFrame ? "with a window manager" : "bare server");
        VirtualDisplay display(withFrame);
        ASSERT_FALSE(display.name.empty());
        TempFolder target;
        EXPECT_EQ(waitForExit(startTovrel({"-T", target.path}, folders, display.name), kWait), 0);
        EXPECT_EQ(listFolder(target.path), (std::vector<std::string>{"tovrel1.jpg", "tovrel1x.jpg"}));
        const JpegSize full = jpegSize(target.path + "tovrel1.jpg");
        const JpegSize thumb = jpegSize(target.path + "tovrel1x.jpg");
        if (withFrame) {
            EXPECT_GT(full.width, 510);
        } else {
            EXPECT_EQ(full.width, 510);
        }
        EXPECT_GT(full.height, 260);
        EXPECT_LT(full.height, 400);
        EXPECT_EQ(thumb.width, 180);
        ASSERT_GT(full.width, 0);
        EXPECT_EQ(thumb.height, static_cast<int>(std::lround(180.0 * full.height / full.width)));
        // Nothing written anywhere else, no configuration either.
        EXPECT_FALSE(std::filesystem::exists(folders.configFile()));
    }
}

TEST_F(WindowRun, ScreenshotReplacesALinkAndAFifoUnderItsNames) {
    VirtualDisplay display(false);
    ASSERT_FALSE(display.name.empty());
    TempFolder target;
    writeFileBytes(temp.path + "precious.txt", "precious");
    ASSERT_EQ(symlink((temp.path + "precious.txt").c_str(), (target.path + "tovrel1.jpg").c_str()), 0);
    ASSERT_EQ(mkfifo((target.path + "tovrel1x.jpg").c_str(), 0600), 0);
    EXPECT_EQ(waitForExit(startTovrel({"-T", target.path}, folders, display.name), kWait), 0);
    EXPECT_EQ(readFileBytes(temp.path + "precious.txt"), "precious");
    EXPECT_EQ(listFolder(target.path), (std::vector<std::string>{"tovrel1.jpg", "tovrel1x.jpg"}));
    for (const char* name : {"tovrel1.jpg", "tovrel1x.jpg"}) {
        struct stat status {};
        ASSERT_EQ(lstat((target.path + name).c_str(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode)) << name;
        EXPECT_GT(jpegSize(target.path + name).width, 0) << name;
    }
}

TEST_F(WindowRun, ScreenshotIntoAMissingFolderDoesNothing) {
    VirtualDisplay display(false);
    ASSERT_FALSE(display.name.empty());
    EXPECT_EQ(waitForExit(startTovrel({"-T", temp.path + "missing/"}, folders, display.name), kWait), 0);
    EXPECT_FALSE(std::filesystem::exists(temp.path + "missing"));
    EXPECT_FALSE(std::filesystem::exists(temp.path + "tovrel1.jpg"));
}

// Lines the xdg-open stub recorded; waits for `expected` lines (the stub
// runs detached and may finish after tovrel).
std::vector<std::string> openedAddresses(const std::string& log, std::size_t expected) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> lines;
    for (;;) {
        lines.clear();
        std::string text = readFileBytes(log);
        for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            lines.push_back(text.substr(at, end - at));
        if (lines.size() >= expected || std::chrono::steady_clock::now() - start > std::chrono::seconds(10))
            return lines;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

struct UninstallCase {
    const char* name;
    bool clearBox;
    bool pressNext;  // otherwise the close box
    std::vector<std::string> opened;
};

TEST_F(WindowRun, UninstallWindowOpensThePageOnlyWhenTicked) {
    const std::string page = "https://www.korvane.example/tovrel/uninstall.html";
    const std::vector<UninstallCase> cases{
        {"Next with the box ticked", false, true, {page}},
        {"Next with the box cleared", true, true, {}},
        {"close box", false, false, {}},
    };
    VirtualDisplay display(true);
    ASSERT_FALSE(display.name.empty());
    for (const UninstallCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folders.openedLog);
        pid_t pid = startTovrel({"-U"}, folders, display.name);
        const std::string window = waitForWindow(display.name, "^Uninstall$", kWait);
        ASSERT_FALSE(window.empty());
        ToolResult geometry = runOnDisplay(display.name, {"xdotool", "getwindowgeometry", window}, kWait);
        EXPECT_NE(geometry.output.find("Geometry: 300x100"), std::string::npos) << geometry.output;
        const auto click = [&](int x, int y) {
            runOnDisplay(display.name, {"xdotool", "mousemove", "--window", window, std::to_string(x), std::to_string(y),
                                        "click", "1"},
                         kWait);
        };
        if (c.clearBox) click(40, 30);
        if (c.pressNext) {
            click(240, 72);
            EXPECT_EQ(waitForExit(pid, kWait), 0);
        } else {
            EXPECT_EQ(pressUntilExit(display.name, window, "alt+F4", pid), 0);
        }
        EXPECT_EQ(openedAddresses(folders.openedLog, c.opened.size()), c.opened);
    }
}

TEST_F(WindowRun, UninstallWindowSitsAtItsPlace) {
    VirtualDisplay display(false);  // no frame: the client is where the window was put
    ASSERT_FALSE(display.name.empty());
    pid_t pid = startTovrel({"-U"}, folders, display.name);
    const std::string window = waitForWindow(display.name, "^Uninstall$", kWait);
    ASSERT_FALSE(window.empty());
    ToolResult geometry = runOnDisplay(display.name, {"xdotool", "getwindowgeometry", window}, kWait);
    EXPECT_NE(geometry.output.find("Position: 322,193"), std::string::npos) << geometry.output;
    kill(pid, SIGTERM);
    waitForExit(pid, kWait);
}

struct NoDisplayCase {
    const char* name;
    std::vector<std::string> args;
    StdoutMode stdoutMode;
    std::string display;
};

TEST_F(WindowRun, WithoutADisplayEveryWindowPathEndsQuietly) {
    TempFolder target;
    const std::string picture = temp.path + "pic.png";
    writeRgbaPng(picture, 4, 4, [](int, int) { return RgbaPixel{1, 2, 3, 255}; });
    const std::vector<NoDisplayCase> cases{
        {"window mode", {}, StdoutMode::Pipe, ""},
        {"screenshot", {"-T", target.path}, StdoutMode::Pipe, ""},
        {"uninstall", {"-U"}, StdoutMode::Pipe, ""},
        {"console run with standard output closed", {"-i", picture}, StdoutMode::Closed, ""},
        {"a display that cannot be opened", {}, StdoutMode::Pipe, ":4711"},
        {"screenshot on a display that cannot be opened", {"-T", target.path}, StdoutMode::Pipe, ":4711"},
    };
    for (const NoDisplayCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(temp.path + "stderr.txt");
        EXPECT_EQ(waitForExit(startTovrel(c.args, folders, c.display, c.stdoutMode), kWait), 0);
        EXPECT_EQ(readFileBytes(temp.path + "stderr.txt"), "");
        EXPECT_TRUE(listFolder(target.path).empty());
        EXPECT_FALSE(std::filesystem::exists(folders.configFile()));
    }
}

}  // namespace
