#include "settings/file_kind.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/paths.h"

FileKind fileKind(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return errno == ENOENT ? FileKind::Missing : FileKind::Other;
    if (S_ISREG(info.st_mode)) return FileKind::Regular;
    if (S_ISDIR(info.st_mode)) return FileKind::Folder;
    if (S_ISLNK(info.st_mode)) return FileKind::Link;
    return FileKind::Other;
}

std::optional<std::string> linkTarget(const std::string& path) {
    constexpr int kMostLinks = 40;  // as the kernel's own limit
    std::string current = path;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        if (fileKind(current) != FileKind::Link) return current;
        char target[PATH_MAX];
        const ssize_t length = readlink(current.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof target) return std::nullopt;
        const std::string next(target, static_cast<size_t>(length));
        current = next.front() == '/' ? next : folderPart(current) + next;
    }
    return std::nullopt;
}

bool mayReadAndWrite(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || (info.st_mode & 0222) == 0) return false;
    return access(path.c_str(), R_OK | W_OK) == 0;
}
