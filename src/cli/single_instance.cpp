#include "cli/single_instance.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "settings/file_handle.h"

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

// ---- handing a file over to the running window ----------------------------

namespace {

constexpr std::size_t kMostPathBytes = 16384;
constexpr int kPeerWaitMillis = 1000;
constexpr int kSendTimeoutSeconds = 2;

// The folder holds the lock and the socket: it must be the user's own and
// writable by nobody else, or another user could plant a socket of theirs
// under the name.
bool isPrivateFolder(const std::string& folder) {
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & 022) == 0;
}

// A socket address for the path. A path longer than sun_path is reached
// through the open folder ("/proc/self/fd/N/name"), so a deep runtime folder
// still works; `folderFd` then holds the folder and must stay open while
// the address is used.
bool socketAddress(const std::string& path, sockaddr_un& address, int& folderFd) {
    address = {};
    address.sun_family = AF_UNIX;
    std::string usable = path;
    if (usable.size() >= sizeof address.sun_path) {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos) return false;
        folderFd = open(path.substr(0, slash + 1).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folderFd < 0) return false;
        usable = "/proc/self/fd/" + std::to_string(folderFd) + path.substr(slash);
        if (usable.size() >= sizeof address.sun_path) return false;
    }
    usable.copy(address.sun_path, usable.size());
    return true;
}

struct FolderFd {
    int fd = -1;
    ~FolderFd() {
        if (fd >= 0) close(fd);
    }
};

bool peerIsThisUser(int connection) {
    ucred peer {};
    socklen_t size = sizeof peer;
    return getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

// The bytes up to the NUL, read within the time limit.
std::optional<std::string> readTerminatedPath(int connection) {
    std::string bytes;
    char buffer[4096];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPeerWaitMillis);
    while (bytes.size() <= kMostPathBytes) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) return std::nullopt;
        pollfd waiting{connection, POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        const ssize_t n = read(connection, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return std::nullopt;
        bytes.append(buffer, static_cast<std::size_t>(n));
        const std::size_t end = bytes.find('\0');
        if (end != std::string::npos) {
            bytes.resize(end);
            if (bytes.empty()) return std::nullopt;
            return bytes;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string handoverSocketPath(const std::string& name) {
    std::string folder = runtimeFolder();
    return folder.empty() ? std::string() : folder + name + ".socket";
}

int listenForHandover(const std::string& name) {
    const std::string path = handoverSocketPath(name);
    if (path.empty() || !isPrivateFolder(path.substr(0, path.rfind('/') + 1))) return -1;
    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode) || unlink(path.c_str()) != 0) return -1;
    }
    FolderFd folder;
    sockaddr_un address {};
    if (!socketAddress(path, address, folder.fd)) return -1;
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener < 0) return -1;
    // The socket is born owner-only: no moment in which another user of a
    // shared folder could connect.
    const mode_t previousMask = umask(077);
    const bool bound = bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    umask(previousMask);
    if (!bound || chmod(path.c_str(), 0600) != 0 || listen(listener, 8) != 0) {
        if (bound) unlink(path.c_str());
        close(listener);
        return -1;
    }
    return listener;
}

std::optional<std::string> receiveHandover(int listener) {
    const int connection = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (connection < 0) return std::nullopt;
    std::optional<std::string> path;
    if (peerIsThisUser(connection)) path = readTerminatedPath(connection);
    close(connection);
    return path;
}

void stopListeningForHandover(const std::string& name, int listener) {
    if (listener < 0) return;
    close(listener);
    const std::string path = handoverSocketPath(name);
    if (!path.empty()) unlink(path.c_str());
}

bool handOverToRunningWindow(const std::string& name, const std::string& path) {
    const std::string socketPath = handoverSocketPath(name);
    if (socketPath.empty() || path.empty() || path.find('\0') != std::string::npos ||
        !isPrivateFolder(socketPath.substr(0, socketPath.rfind('/') + 1)))
        return false;
    struct stat info {};
    if (lstat(socketPath.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode) || info.st_uid != getuid()) return false;
    FolderFd folder;
    sockaddr_un address {};
    if (!socketAddress(socketPath, address, folder.fd)) return false;
    const int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connection < 0) return false;
    // A window that is stuck must not keep this start from ending.
    const timeval limit{kSendTimeoutSeconds, 0};
    setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    int connected;
    do connected = connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    while (connected != 0 && errno == EINTR);
    const bool sent = connected == 0 && writeAll(connection, std::string_view(path.c_str(), path.size() + 1));
    close(connection);
    return sent;
}
