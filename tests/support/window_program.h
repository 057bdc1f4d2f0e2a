// One run of the tovrel window on a virtual X display of its own, driven
// through xdotool the way a user drives it: keys to a window, typing,
// waiting for a window by its title. Test fixtures add it beside
// ::testing::Test and call stopProgram() in their TearDown.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"
#include "virtual_display.h"

inline constexpr int kWait = 30000;
inline const std::string kMainTitle = "^Korvane PNG to DDS 2\\.8$";

struct WindowProgram {
    TempFolder temp;
    WindowRunFolders folders{temp.path};
    VirtualDisplay display{true};
    pid_t program = -1;
    std::string mainWindow;

    // A program a test left running gets a moment to end, then is killed.
    void stopProgram() {
        if (program > 0 && waitForExit(program, 10, false) == kStillRunning) {
            kill(program, SIGKILL);
            waitForExit(program, kWait);
        }
    }

    ToolResult xdotool(const std::vector<std::string>& args) {
        std::vector<std::string> argv{"xdotool"};
        argv.insert(argv.end(), args.begin(), args.end());
        return runOnDisplay(display.name, argv, kWait);
    }
    void activate(const std::string& window) { xdotool({"windowactivate", "--sync", window}); }
    void keys(const std::string& window, const std::vector<std::string>& names) {
        activate(window);
        std::vector<std::string> args{"key", "--clearmodifiers"};
        args.insert(args.end(), names.begin(), names.end());
        xdotool(args);
    }
    void type(const std::string& window, const std::string& text) {
        activate(window);
        xdotool({"type", "--delay", "5", text});
    }
    bool visible(const std::string& titlePattern) {
        return !xdotool({"search", "--onlyvisible", "--name", titlePattern}).output.empty();
    }
    // Whether a window of that title shows (or is gone) within 15 s.
    bool becomes(bool wanted, const std::string& titlePattern) {
        for (int attempt = 0; attempt < 300; ++attempt) {
            if (visible(titlePattern) == wanted) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    void start(const std::vector<std::string>& args = {}) {
        ASSERT_FALSE(display.name.empty());
        program = startTovrel(args, folders, display.name);
        mainWindow = waitForWindow(display.name, kMainTitle, kWait);
        ASSERT_FALSE(mainWindow.empty());
    }

    // Alt+X, again while the window is still starting up, until the program
    // ends; it must end with status 0.
    void exitWithAltX() {
        for (int attempt = 0; attempt < 10; ++attempt) {
            keys(mainWindow, {"alt+x"});
            const int code = waitForExit(program, 2000, false);
            if (code != kStillRunning) {
                EXPECT_EQ(code, 0);
                program = -1;
                return;
            }
        }
        ADD_FAILURE() << "the window did not end on Alt+X";
    }
};
