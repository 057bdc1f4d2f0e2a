// The window half of the program, as the command-line front end sees it.
// The core never links the window libraries: main registers these entry
// points, and a build without them (the tests of the core) simply has none.
#pragma once

#include <string>

#include "settings/batch_job.h"
#include "settings/settings.h"

struct WindowEntryPoints {
    // The window mode: runs until the user quits, then ends the process. The
    // file, when not "", is put into Input File as Add Input File would.
    void (*startWindowMode)(ConversionSettings&, InterfaceSettings&, BatchJob&, const std::string& fileToOpen) = nullptr;
    // The -T command: a picture of the main window into the folder.
    void (*takeScreenshot)(const std::string& folder, ConversionSettings&, InterfaceSettings&, BatchJob&) = nullptr;
    // The -U command: the uninstall feedback window; ends the process.
    void (*showUninstallFeedback)() = nullptr;
};

void registerWindowEntryPoints(const WindowEntryPoints& entryPoints);
const WindowEntryPoints& windowEntryPoints();
