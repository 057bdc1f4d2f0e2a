#include "cli/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int& heldLock() {
    static int fd = -1;
    return fd;
}

// /tmp/tovrel-<uid>/, made with mode 0700; refused when it exists but is
// not a private folder of this user (another user could otherwise hold our
// lock or plant a link there).
std::string privateTempFolder() {
    std::string folder = "/tmp/tovrel-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
        (info.st_mode & 077) != 0)
        return {};
    return folder + "/";
}

std::string runtimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
        struct stat info {};
        if (stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) {
            std::string folder = runtime;
            return folder.back() == '/' ? folder : folder + "/";
        }
    }
    return privateTempFolder();
}

}  // namespace

std::string singleInstanceLockPath(const std::string& name) {
    std::string folder = runtimeFolder();
    return folder.empty() ? std::string() : folder + name + ".lock";
}

bool acquireSingleInstance(const std::string& name) {
    if (heldLock() >= 0) return true;
    std::string path = singleInstanceLockPath(name);
    if (path.empty()) return true;
    // CLOEXEC: programs the window mode starts (a browser, a mail client)
    // must not inherit the lock and keep it after we end.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    int locked;
    do locked = flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        bool heldElsewhere = errno == EWOULDBLOCK;
        close(fd);
        return !heldElsewhere;
    }
    heldLock() = fd;
    return true;
}

void releaseSingleInstance() {
    if (heldLock() < 0) return;
    close(heldLock());
    heldLock() = -1;
}
