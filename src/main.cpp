// Process entry: the image libraries, the single-instance guard, then the
// command line. Every path ends through endProgram with exit code 0.
#include <csignal>

#include "window/screenshot.h"
#include "window/window_mode.h"
#include "cli/command_line.h"
#include "cli/end_program.h"
#include "cli/single_instance.h"
#include "cli/window_entry.h"
#include "engine/convert.h"
#include "periphery/uninstall_window.h"
#include "settings/product.h"
#include "settings/batch_job.h"
#include "settings/settings.h"

namespace {
// The process-wide records: they live until the process ends.
ConversionSettings conversionSettings;
InterfaceSettings interfaceSettings;
BatchJob batchJob;
}  // namespace

int main(int argc, char** argv) {
    // The format lists are constants (settings/formats.h). The heap rules
    // of the DDS writer are set once, before any thread starts.
    initDdsWriter();
    // A reader that closes the pipe early (tovrel ... | head -1) must not
    // kill a conversion half-way through its save: lines to a closed pipe
    // are dropped instead.
    std::signal(SIGPIPE, SIG_IGN);
    // Before any parameter is read: a second start of this version, console
    // or window, ends at once and silently.
    if (!acquireSingleInstance(titleWithVersion())) endProgram();
    // The front end is Qt-free; it reaches the windows through these.
    registerWindowEntryPoints({startWindowMode, takeScreenshot, showUninstallFeedback});
    ParseCommandLine(argc, argv, conversionSettings, interfaceSettings, batchJob);
    // No console operation was asked for (or no console could be opened).
    windowEntryPoints().startWindowMode(conversionSettings, interfaceSettings, batchJob);
}
