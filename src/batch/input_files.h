// Which paths are taken as the run's input file: those whose extension the
// format table accepts (settings/formats.h).
#pragma once

#include <string>
#include <string_view>

#include "settings/batch_job.h"

// The subfolder of `path` below the input root `rootFolder` (ending with
// "/"); empty when the path is not below it or the root is empty.
std::string relativeSubfolder(std::string_view path, std::string_view rootFolder);

// Takes `path` as the job's only input file when its size is not 0 and its
// lower-cased extension is accepted. A missing path passes (the run then
// reports it as not converted). True when the path was taken; a refused
// path leaves the file set as it was.
bool addInputFile(BatchJob& job, const std::string& path);
