// A console run whose reader has gone away (tovrel ... | head -1) still
// converts the file and leaves no temporary file behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "console_run_support.h"

TEST(BrokenPipe, ClosedOutputDoesNotStopTheConversion) {
    TempFolder work;
    ASSERT_TRUE(writeRgbaPng(work.path + "in.png", 64, 64, [](int, int) { return kOrange; }));
    const std::string runtime = work.path + "runtime", config = work.path + "config";
    std::filesystem::create_directories(runtime);
    std::filesystem::create_directories(config);

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);  // nobody will ever read the output
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        setsid();
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        const std::string input = work.path + "in.png", output = work.path;
        execl(TOVREL_BINARY, TOVREL_BINARY, "-i", input.c_str(), "-o", output.c_str(), "-d", nullptr);
        _exit(127);
    }
    close(fds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(std::filesystem::exists(work.path + "in.dds"));
    EXPECT_TRUE(temporaryFiles(work.path).empty());
}
