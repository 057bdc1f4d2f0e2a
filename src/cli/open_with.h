// "Open With" from a file manager, or a file dropped on the launcher, starts
// the program as `tovrel picture.png`: the window mode opens with that file
// in Input File.
#pragma once

#include <string>
#include <vector>

// The file the window mode opens, from the parameters (without the program
// name): only when there is exactly one, it is no option (its trimmed text
// does not begin with "-") and it names an existing file that is not a
// folder. The path is made absolute against the current folder, since the
// running window (and the program's own rule for relative folders) would
// read it elsewhere. "" for every other command line, which keeps skipping
// plain words.
std::string fileToOpen(const std::vector<std::string>& parameters);
