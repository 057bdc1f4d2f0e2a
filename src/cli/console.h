// The console: standard output and the controlling terminal. Lines are UTF-8
// and end in CR LF. printLine may be called from the worker thread.
#pragma once

#include <string_view>

// True when standard output is usable.
bool openConsole();
// Sets the terminal title (only when standard output is a terminal).
void setConsoleTitle(std::string_view title);
void printLine(std::string_view text);
// Waits for one key on the controlling terminal; returns at once without one.
void waitForKey();
void closeConsole();
