// What the console prints outside a run's own lines: version, usage,
// banner, the error line and the pause prompt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The 36 usage lines with the program name and an example extension filled in.
std::vector<std::string> usageLines();
// Title, maker's notice with "(c)" for the copyright sign, web site, " ".
std::vector<std::string> bannerLines();

// Open the console (nothing happens when that fails), set the title, print,
// close.
void showVersion();
void showUsage();
// "Error: " + message; waits for a key afterwards when asked to.
void showError(std::string_view message, bool pause);

// On an open console.
void printBanner();
void printPausePrompt();  // the prompt line, then waits for a key
