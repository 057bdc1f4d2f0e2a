#include "batch/input_files.h"

#include <algorithm>
#include <array>

#include "settings/formats.h"
#include "settings/paths.h"
#include "settings/text.h"

namespace {
constexpr std::array<InputFormatRow, 1> kInputFormatTable{{
    {"png", "png", "Portable Network Graphics"},
}};

bool isAccepted(const std::string& extension) {
    const std::vector<std::string> accepted = acceptedInputExtensions();
    return std::find(accepted.begin(), accepted.end(), extension) != accepted.end();
}
}  // namespace

std::span<const InputFormatRow> inputFormatTable() { return kInputFormatTable; }

std::vector<std::string> acceptedInputExtensions() {
    std::vector<std::string> accepted;
    for (const InputFormatRow& row : kInputFormatTable)
        if (std::find(kInputFormatList.begin(), kInputFormatList.end(), row.family) != kInputFormatList.end())
            accepted.emplace_back(row.extension);
    return accepted;
}

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
