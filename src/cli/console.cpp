#include "cli/console.h"

#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <termios.h>
#include <unistd.h>

#include "settings/file_handle.h"

namespace {
std::mutex& outputMutex() {
    static std::mutex mutex;
    return mutex;
}
}  // namespace

bool openConsole() { return fcntl(STDOUT_FILENO, F_GETFL) != -1; }

void setConsoleTitle(std::string_view title) {
    if (!isatty(STDOUT_FILENO)) return;
    std::lock_guard lock(outputMutex());
    writeAll(STDOUT_FILENO, std::string("\x1b]0;") + std::string(title) + "\x07");
}

void printLine(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    std::lock_guard lock(outputMutex());
    writeAll(STDOUT_FILENO, line);  // a closed pipe or a full disk drops the line
}

void waitForKey() {
    int tty = open("/dev/tty", O_RDONLY | O_NOCTTY);
    if (tty < 0) return;  // no terminal: a script or CI never waits
    termios saved {};
    if (tcgetattr(tty, &saved) != 0) {
        close(tty);
        return;
    }
    termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(tty, TCSANOW, &raw);
    char key = 0;
    [[maybe_unused]] ssize_t n = read(tty, &key, 1);
    tcsetattr(tty, TCSANOW, &saved);
    close(tty);
}

void closeConsole() {}
