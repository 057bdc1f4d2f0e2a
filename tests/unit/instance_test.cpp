#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "cli/single_instance.h"
#include "test_support.h"

namespace {
// Sets XDG_RUNTIME_DIR for the scope of one test.
struct RuntimeDir {
    std::string saved;
    bool had = false;
    explicit RuntimeDir(const char* value) {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        had = old != nullptr;
        if (old) saved = old;
        if (value) setenv("XDG_RUNTIME_DIR", value, 1);
        else unsetenv("XDG_RUNTIME_DIR");
    }
    ~RuntimeDir() {
        if (had) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
        else unsetenv("XDG_RUNTIME_DIR");
    }
};
}  // namespace

TEST(SingleInstanceLock, PathInTheRuntimeFolderOrAPrivateTempFolder) {
    TempFolder folder;
    {
        RuntimeDir runtime(folder.path.c_str());
        EXPECT_EQ(singleInstanceLockPath("Korvane PNG to DDS 2.8"), folder.path + "Korvane PNG to DDS 2.8.lock");
    }
    std::string fallback = "/tmp/tovrel-" + std::to_string(getuid()) + "/Korvane PNG to DDS 2.8.lock";
    for (const char* value : {static_cast<const char*>(nullptr), "", "/nonexistent/runtime"}) {
        RuntimeDir runtime(value);
        EXPECT_EQ(singleInstanceLockPath("Korvane PNG to DDS 2.8"), fallback);
    }
    struct stat info {};
    ASSERT_EQ(stat(("/tmp/tovrel-" + std::to_string(getuid())).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(SingleInstanceLock, RefusedWhileAnotherHolderHasIt) {
    TempFolder folder;
    RuntimeDir runtime(folder.path.c_str());
    // flock belongs to the open file, so a second open in this process
    // stands in for another instance.
    int other = open((folder.path + "tovrel unit test.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(acquireSingleInstance("tovrel unit test"));
    close(other);
    ASSERT_TRUE(acquireSingleInstance("tovrel unit test"));
    EXPECT_TRUE(acquireSingleInstance("tovrel unit test"));  // the holder asking again
    int third = open((folder.path + "tovrel unit test.lock").c_str(), O_RDWR | O_CLOEXEC);
    EXPECT_NE(flock(third, LOCK_EX | LOCK_NB), 0);
    releaseSingleInstance();
    EXPECT_EQ(flock(third, LOCK_EX | LOCK_NB), 0);
    close(third);
}

TEST(SingleInstanceLock, UnusableLockFileDoesNotLockTheUserOut) {
    TempFolder folder;
    RuntimeDir runtime(folder.path.c_str());
    // A folder where the lock file belongs cannot be opened as a file.
    mkdir((folder.path + "tovrel unit test.lock").c_str(), 0700);
    EXPECT_TRUE(acquireSingleInstance("tovrel unit test"));
    releaseSingleInstance();
}

namespace {
constexpr const char* kName = "tovrel unit test";

struct HandoverListener {
    int fd;
    explicit HandoverListener(int listener) : fd(listener) {}
    ~HandoverListener() { stopListeningForHandover(kName, fd); }
};

std::optional<std::string> receiveWithin(int listener, int milliseconds) {
    pollfd waiting{listener, POLLIN, 0};
    if (poll(&waiting, 1, milliseconds) != 1) return std::nullopt;
    return receiveHandover(listener);
}
}  // namespace

TEST(Handover, ThePathReachesTheWindowThroughAnOwnerOnlySocket) {
    TempFolder folder;
    chmod(folder.path.c_str(), 0700);
    // Beyond the 108 bytes of a socket address the folder is reached
    // through its open descriptor.
    const std::string deep = folder.path + std::string(120, 'd') + "/";
    mkdir(deep.c_str(), 0700);
    for (const std::string& runtimeFolder : {folder.path, deep}) {
        SCOPED_TRACE(runtimeFolder.size());
        RuntimeDir runtime(runtimeFolder.c_str());
        const std::string socketPath = handoverSocketPath(kName);
        EXPECT_EQ(socketPath, runtimeFolder + kName + ".socket");
        HandoverListener listener(listenForHandover(kName));
        ASSERT_GE(listener.fd, 0);
        struct stat info {};
        ASSERT_EQ(lstat(socketPath.c_str(), &info), 0);
        EXPECT_TRUE(S_ISSOCK(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        const std::string path = "/home/u/a picture\nwith a line feed.png";
        ASSERT_TRUE(handOverToRunningWindow(kName, path));
        EXPECT_EQ(receiveWithin(listener.fd, 2000), path);
        // Nothing more is waiting.
        EXPECT_EQ(receiveHandover(listener.fd), std::nullopt);
        stopListeningForHandover(kName, listener.fd);
        listener.fd = -1;
        EXPECT_NE(lstat(socketPath.c_str(), &info), 0);
        EXPECT_FALSE(handOverToRunningWindow(kName, path));
    }
}

TEST(Handover, ASocketLeftBehindIsReplacedAnythingElseIsKept) {
    TempFolder folder;
    chmod(folder.path.c_str(), 0700);
    RuntimeDir runtime(folder.path.c_str());
    const std::string socketPath = handoverSocketPath(kName);
    {
        // A window that ended without cleaning up: its socket stays, dead.
        HandoverListener crashed(listenForHandover(kName));
        ASSERT_GE(crashed.fd, 0);
        close(crashed.fd);
        crashed.fd = -1;
    }
    EXPECT_FALSE(handOverToRunningWindow(kName, "/a.png"));
    {
        HandoverListener listener(listenForHandover(kName));
        ASSERT_GE(listener.fd, 0);
        ASSERT_TRUE(handOverToRunningWindow(kName, "/b.png"));
        EXPECT_EQ(receiveWithin(listener.fd, 2000), "/b.png");
    }
    writeFileBytes(socketPath, "not a socket");
    EXPECT_EQ(listenForHandover(kName), -1);
    EXPECT_EQ(readFileBytes(socketPath), "not a socket");
    EXPECT_FALSE(handOverToRunningWindow(kName, "/c.png"));
}

TEST(Handover, AFolderOthersMayWriteInIsNotUsed) {
    TempFolder folder;
    RuntimeDir runtime(folder.path.c_str());
    chmod(folder.path.c_str(), 0777);
    EXPECT_EQ(listenForHandover(kName), -1);
    chmod(folder.path.c_str(), 0700);
    HandoverListener listener(listenForHandover(kName));
    ASSERT_GE(listener.fd, 0);
    // Opened up while the window runs: the second start sends nothing.
    chmod(folder.path.c_str(), 0733);
    EXPECT_FALSE(handOverToRunningWindow(kName, "/a.png"));
    chmod(folder.path.c_str(), 0700);
}

TEST(Handover, APeerThatSendsNoWholePathGivesNothing) {
    TempFolder folder;
    chmod(folder.path.c_str(), 0700);
    RuntimeDir runtime(folder.path.c_str());
    HandoverListener listener(listenForHandover(kName));
    ASSERT_GE(listener.fd, 0);
    for (const std::string& bytes : {std::string("/no/terminator.png"), std::string(1, '\0')}) {
        const int peer = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        handoverSocketPath(kName).copy(address.sun_path, sizeof address.sun_path - 1);
        ASSERT_EQ(connect(peer, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(write(peer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        close(peer);
        EXPECT_EQ(receiveWithin(listener.fd, 2000), std::nullopt);
    }
}
