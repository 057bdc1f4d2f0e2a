// Process entry: the image libraries, the single-instance guard, then the
// command line. Every path ends through endProgram with exit code 0, but
// the thumbnail command, whose caller reads its exit code.
#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include "window/screenshot.h"
#include "window/window_mode.h"
#include "cli/command_line.h"
#include "cli/end_program.h"
#include "cli/open_with.h"
#include "cli/single_instance.h"
#include "cli/thumbnail_command.h"
#include "cli/window_entry.h"
#include "engine/dds_save.h"
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
    // `tovrel picture.png` (a file manager's "Open With") opens the window
    // with that file; every other command line names none.
    const std::vector<std::string> parameters(argv + std::min(argc, 1), argv + argc);
    // A file manager's thumbnailer runs beside the program and any number
    // of its own kind: it takes no lock and reads no configuration.
    if (firstParameterCommand(parameters) == FirstCommand::Thumbnail) return runThumbnailCommand(parameters);
    // Before any parameter is looked at: a second start of this version,
    // console or window, ends at once and silently; one that was asked to
    // open a file hands it to the running window first.
    if (!acquireSingleInstance(titleWithVersion())) {
        const std::string handed = fileToOpen(parameters);
        if (!handed.empty()) handOverToRunningWindow(titleWithVersion(), handed);
        endProgram();
    }
    // The front end is Qt-free; it reaches the windows through these.
    registerWindowEntryPoints({startWindowMode, takeScreenshot, showUninstallFeedback});
    ParseCommandLine(argc, argv, conversionSettings, interfaceSettings, batchJob);
    // No console operation was asked for (or no console could be opened).
    windowEntryPoints().startWindowMode(conversionSettings, interfaceSettings, batchJob, fileToOpen(parameters));
}
