#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
