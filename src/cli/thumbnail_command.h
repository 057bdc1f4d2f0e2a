// `tovrel --thumbnail IN OUT SIZE`: the thumbnailer a file manager runs for
// DDS files. It runs beside any window or console run of the program: no
// single-instance lock, no configuration, no window.
#pragma once

#include <string>
#include <vector>

// `parameters` as the program got them, the command first. Writes OUT or
// prints one "Error: ..." line on standard error; the exit code: 0 when
// the thumbnail was written, 1 otherwise.
int runThumbnailCommand(const std::vector<std::string>& parameters);
