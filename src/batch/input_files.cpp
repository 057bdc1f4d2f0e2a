#include "batch/input_files.h"

#include <algorithm>

#include "settings/formats.h"
#include "settings/paths.h"
#include "settings/text.h"

namespace {
bool isAccepted(const std::string& extension) {
    const std::vector<std::string> accepted = acceptedInputExtensions();
    return std::find(accepted.begin(), accepted.end(), extension) != accepted.end();
}
}  // namespace

std::string relativeSubfolder(std::string_view path, std::string_view rootFolder) {
    const std::string folder = folderPart(path);
    if (rootFolder.empty() || !folder.starts_with(rootFolder)) return {};
    return folder.substr(rootFolder.size());
}

bool addInputFile(BatchJob& job, const std::string& path) {
    if (fileSizeQuery(path) == 0 || !isAccepted(toLowerText(extensionPart(path)))) return false;
    job.files.clear();
    job.files.emplace(path, relativeSubfolder(path, job.inputArgument));
    return true;
}
