#include "virtual_display.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

long long millisSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

[[noreturn]] void execOrDie(const std::vector<std::string>& argv) {
    std::vector<char*> raw;
    for (const std::string& arg : argv) raw.push_back(const_cast<char*>(arg.c_str()));
    raw.push_back(nullptr);
    execvp(raw[0], raw.data());
    _exit(127);
}

void stopProcess(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (waitForExit(pid, 5000) == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// Xvfb writes the display number it chose to the descriptor once it accepts
// connections.
std::string startServer(pid_t& server) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    server = fork();
    if (server == 0) {
        close(fds[0]);
        int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        execOrDie({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    }
    close(fds[1]);
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    const auto start = Clock::now();
    while (millisSince(start) < 20000 && number.find('\n') == std::string::npos) {
        if (poll(&wait, 1, 200) <= 0) continue;
        char buffer[32];
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        number.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) return {};
    return ":" + number.substr(0, number.find('\n'));
}

bool windowManagerReady(const std::string& display) {
    const auto start = Clock::now();
    while (millisSince(start) < 20000) {
        ToolResult check = runOnDisplay(display, {"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}, 5000);
        if (check.output.find("window id") != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace

// A loaded machine (the sanitizer run starts many servers at once) now and
// then loses a server or its window manager during start-up: try again
// before a test is told there is no display.
VirtualDisplay::VirtualDisplay(bool withWindowManager) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        name = startServer(server);
        if (!name.empty() && !withWindowManager) return;
        if (!name.empty()) {
            windowManager = fork();
            if (windowManager == 0) {
                setenv("DISPLAY", name.c_str(), 1);
                int devNull = open("/dev/null", O_RDWR);
                dup2(devNull, STDOUT_FILENO);
                dup2(devNull, STDERR_FILENO);
                execOrDie({"openbox", "--sm-disable"});
            }
            if (windowManagerReady(name)) return;
        }
        name.clear();
        stopProcess(windowManager);
        stopProcess(server);
        windowManager = server = -1;
    }
}

VirtualDisplay::~VirtualDisplay() {
    stopProcess(windowManager);
    stopProcess(server);
}

ToolResult runOnDisplay(const std::string& display, const std::vector<std::string>& argv, int timeoutMs) {
    ToolResult result;
    int fds[2];
    if (pipe(fds) != 0) return result;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDERR_FILENO);
        setenv("DISPLAY", display.c_str(), 1);
        execOrDie(argv);
    }
    close(fds[1]);
    pollfd wait{fds[0], POLLIN, 0};
    const auto start = Clock::now();
    bool ended = false;
    while (millisSince(start) < timeoutMs) {
        if (poll(&wait, 1, 50) <= 0) continue;
        char buffer[4096];
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            ended = true;
            break;
        }
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (!ended) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

WindowRunFolders::WindowRunFolders(const std::string& rootFolder)
    : root(rootFolder), home(root + "home/"), config(root + "config/"), runtime(root + "runtime/"),
      stubs(root + "stubs/"), openedLog(root + "opened.txt") {
    for (const std::string* folder : {&home, &config, &runtime, &stubs}) std::filesystem::create_directories(*folder);
    chmod(runtime.c_str(), 0700);
    const std::string stub = stubs + "xdg-open";
    // One line per address; a call with other than one argument (an address
    // split at its blanks) is recorded as what it was.
    std::ofstream(stub) << "#!/bin/sh\nif [ $# -eq 1 ]; then printf '%s\\n' \"$1\"; else printf "
                           "'xdg-open given %s arguments: %s\\n' \"$#\" \"$*\"; fi >> '"
                        << openedLog << "'\n";
    chmod(stub.c_str(), 0755);
}

pid_t startTovrel(const std::vector<std::string>& args, const WindowRunFolders& folders, const std::string& display,
                  StdoutMode stdoutMode, const std::vector<std::pair<std::string, std::string>>& extra) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    // Standard error first: with standard output closed, the next open
    // would otherwise take descriptor 1.
    int errors = open((folders.root + "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (errors >= 0) dup2(errors, STDERR_FILENO);
    if (stdoutMode == StdoutMode::Closed)
        close(STDOUT_FILENO);
    else
        dup2(devNull, STDOUT_FILENO);
    setsid();
    if (chdir(folders.root.c_str()) != 0) _exit(127);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"}) unsetenv(name);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    setenv("HOME", folders.home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", folders.config.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folders.runtime.c_str(), 1);
    const char* path = std::getenv("PATH");
    setenv("PATH", (folders.stubs + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
    for (const auto& [name, value] : extra) setenv(name.c_str(), value.c_str(), 1);
    std::vector<std::string> argv{TOVREL_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    execOrDie(argv);
}

int waitForExit(pid_t pid, int timeoutMs, bool killAtLimit) {
    const auto start = Clock::now();
    int status = 0;
    while (millisSince(start) < timeoutMs) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!killAtLimit) return kStillRunning;
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

std::string waitForWindow(const std::string& display, const std::string& titlePattern, int timeoutMs) {
    ToolResult found =
        runOnDisplay(display, {"xdotool", "search", "--sync", "--onlyvisible", "--name", titlePattern}, timeoutMs);
    if (found.exitCode != 0) return {};
    return found.output.substr(0, found.output.find('\n'));
}

bool pressKeys(const std::string& display, const std::string& window, const std::vector<std::string>& presses,
               int timeoutMs) {
    if (runOnDisplay(display, {"xdotool", "windowactivate", "--sync", window}, timeoutMs).exitCode != 0) return false;
    std::vector<std::string> argv{"xdotool", "key", "--clearmodifiers", "--delay", "80"};
    argv.insert(argv.end(), presses.begin(), presses.end());
    return runOnDisplay(display, argv, timeoutMs).exitCode == 0;
}

bool typeText(const std::string& display, const std::string& text, int timeoutMs) {
    return runOnDisplay(display, {"xdotool", "type", "--delay", "30", text}, timeoutMs).exitCode == 0;
}
