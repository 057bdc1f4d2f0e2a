#include "cli/open_with.h"

#include <filesystem>
#include <sys/stat.h>

#include "settings/text.h"

namespace {

bool namesExistingFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// "./a.png" reads better as "/home/u/a.png" in the field and the history;
// the tidy form is taken only when it still names the same file ("link/.."
// would not).
std::string absolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return {};
    const std::string tidy = absolute.lexically_normal().string();
    return sameFile(tidy, path) ? tidy : absolute.string();
}

}  // namespace

std::string fileToOpen(const std::vector<std::string>& parameters) {
    if (parameters.size() != 1) return {};
    const std::string& word = parameters.front();
    const std::string trimmed = trimSpaces(word);
    if (trimmed.empty() || trimmed.front() == '-' || !namesExistingFile(word)) return {};
    return absolutePath(word);
}
