// A virtual X display for end-to-end window tests: Xvfb started by the test
// itself (it picks a free display number), optionally with openbox for
// frames, close boxes and focus; xdotool drives the program; each run of
// tovrel gets its own HOME, XDG folders and an xdg-open stub that records
// every address it is asked to open.
#pragma once

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

struct VirtualDisplay {
    std::string name;  // ":N"; empty when the server could not start
    pid_t server = -1;
    pid_t windowManager = -1;

    explicit VirtualDisplay(bool withWindowManager);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
};

struct ToolResult {
    int exitCode = -1;  // -1: killed at the time limit
    std::string output;
};
// Runs a helper program (xdotool, xprop) on the display, at most timeoutMs.
ToolResult runOnDisplay(const std::string& display, const std::vector<std::string>& argv, int timeoutMs);

// The private world of one tovrel run.
struct WindowRunFolders {
    std::string root;       // ends with "/"
    std::string home;       // root + "home/"
    std::string config;     // XDG_CONFIG_HOME
    std::string runtime;    // XDG_RUNTIME_DIR, mode 0700
    std::string stubs;      // holds the xdg-open stub
    std::string openedLog;  // one line per address the stub was given
    explicit WindowRunFolders(const std::string& rootFolder);
    std::string configFile() const { return config + "Korvane/tovrel/config.ini"; }
};

enum class StdoutMode { Pipe, Closed };

// Starts build/tovrel with the run's environment on the display ("" for no
// display at all); returns the child's pid. Its standard error goes to
// root + "stderr.txt". extra: more variables.
pid_t startTovrel(const std::vector<std::string>& args, const WindowRunFolders& folders, const std::string& display,
                  StdoutMode stdoutMode = StdoutMode::Pipe,
                  const std::vector<std::pair<std::string, std::string>>& extra = {});
inline constexpr int kStillRunning = -2;
// Exit code of the child, or -1 when it ended by a signal or was still
// running at the time limit (it is killed then; with killAtLimit false it
// keeps running and the result is kStillRunning).
int waitForExit(pid_t pid, int timeoutMs, bool killAtLimit = true);

// Waits (up to timeoutMs) for a visible window whose title matches the
// regular expression; returns its id or "".
// Activates the window and presses the keys in it, as a user would (80 ms
// apart, modifiers held elsewhere released first).
bool pressKeys(const std::string& display, const std::string& window, const std::vector<std::string>& presses,
               int timeoutMs);
// Types the text into whatever has the keyboard.
bool typeText(const std::string& display, const std::string& text, int timeoutMs);

std::string waitForWindow(const std::string& display, const std::string& titlePattern, int timeoutMs);
