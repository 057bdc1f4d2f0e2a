// Which paths are taken as the run's input file: the input-format table,
// the accepted extensions derived from it, and addInputFile.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/batch_job.h"

struct InputFormatRow {
    std::string_view extension;  // lower case
    std::string_view family;     // the extension naming the format family
    std::string_view description;
};

std::span<const InputFormatRow> inputFormatTable();
// Every extension of the table whose family is in the input-format list
// ("png" in this product).
std::vector<std::string> acceptedInputExtensions();

// The subfolder of `path` below the input root `rootFolder` (ending with
// "/"); empty when the path is not below it or the root is empty.
std::string relativeSubfolder(std::string_view path, std::string_view rootFolder);

// Takes `path` as the job's only input file when its size is not 0 and its
// lower-cased extension is accepted. A missing path passes (the run then
// reports it as not converted). True when the path was taken; a refused
// path leaves the file set as it was.
bool addInputFile(BatchJob& job, const std::string& path);
