#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

#include "test_support.h"

namespace {
// Holds the lock a running instance would hold, from this test process.
struct HeldLock {
    int fd = -1;
    explicit HeldLock(const std::string& path) {
        fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            fd = -1;
        }
    }
    ~HeldLock() {
        if (fd >= 0) close(fd);
    }
};
}  // namespace

TEST(SingleInstance, SecondStartEndsAtOnceAndSilently) {
    TempFolder work;
    std::string runtime = work.path + "runtime/";
    std::filesystem::create_directories(runtime);
    {
        HeldLock lock(runtime + "Korvane PNG to DDS 2.8.lock");
        ASSERT_GE(lock.fd, 0);
        const std::vector<std::vector<std::string>> starts = {{"-v"}, {"-h"}, {"-i"}, {"-i", "photo.png"}, {}};
        for (const auto& args : starts) {
            RunResult run = runTovrel(args, work.path, runtime);
            EXPECT_EQ(run.exitCode, 0) << testing::PrintToString(args);
            EXPECT_EQ(run.output, "") << testing::PrintToString(args);
        }
    }
    // Once the holder has gone, the next start runs normally.
    RunResult run = runTovrel({"-v"}, work.path, runtime);
    EXPECT_EQ(run.output, "2.8\r\n");
}

TEST(SingleInstance, OnlyTheSameVersionIsRefused) {
    TempFolder work;
    std::string runtime = work.path + "runtime/";
    std::filesystem::create_directories(runtime);
    HeldLock other(runtime + "Korvane PNG to DDS 2.7.lock");
    ASSERT_GE(other.fd, 0);
    EXPECT_EQ(runTovrel({"-v"}, work.path, runtime).output, "2.8\r\n");
}

TEST(SingleInstance, LockIsNotKeptAfterTheProcessEnds) {
    TempFolder work;
    std::string runtime = work.path + "runtime/";
    std::filesystem::create_directories(runtime);
    runTovrel({"-v"}, work.path, runtime);
    EXPECT_TRUE(std::filesystem::exists(runtime + "Korvane PNG to DDS 2.8.lock"));
    HeldLock lock(runtime + "Korvane PNG to DDS 2.8.lock");
    EXPECT_GE(lock.fd, 0);
}
