#include "settings/file_handle.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int createSiblingFile(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target + ".new-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeFileByRename(const std::string& path, std::string_view bytes) {
    std::string tempPath;
    const int fd = createSiblingFile(path, tempPath);
    if (fd < 0) return false;
    const bool written = writeAll(fd, bytes);
    const bool closed = close(fd) == 0;
    if (written && closed && std::rename(tempPath.c_str(), path.c_str()) == 0) return true;
    unlink(tempPath.c_str());
    return false;
}

FilePtr openRegularFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat status {};
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    // Reads of a regular file never wait; the flag is cleared all the same so
    // the stream behaves as one opened by fopen.
    if (!regular || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        errno = regular ? errno : EINVAL;
        return nullptr;
    }
    FilePtr file(fdopen(fd, "rb"));
    if (!file) close(fd);
    return file;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}
