// The command line as a user writes it, read from the parser's own tables:
// the manual page is checked against it and the shell completion is made
// from it, so neither can drift from what the parser accepts.
#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"

struct OptionReference {
    std::string name;  // lower case, as documented: "-i", "--resize-algorithm"
    ValueForm form;
    std::vector<std::string> keywords;  // lower case; empty unless the value is a keyword
    bool onCommandLine;
    bool inProfile;
    bool firstOnly;  // a command recognised only as the first parameter
};

// The front end's own options first, then every setting option, in table
// order.
std::vector<OptionReference> optionReference();
