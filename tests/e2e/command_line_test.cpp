#include <gtest/gtest.h>

#include "test_support.h"

TEST(CommandLineProcess, WithoutConsoleWorkEndsQuietlyWithExitZero) {
    const std::vector<std::vector<std::string>> cases = {
        {}, {"-o", "out"}, {"--width=800", "-d"}, {"plain", "words"}, {"-u"}, {"-T", "/nonexistent"},
    };
    for (const auto& args : cases) {
        TempFolder work;
        RunResult run = runTovrel(args, work.path);
        EXPECT_EQ(run.exitCode, 0) << testing::PrintToString(args);
        EXPECT_EQ(run.output, "") << testing::PrintToString(args);
    }
}

TEST(CommandLineProcess, ConsoleRunsNeverTouchTheConfigurationFile) {
    TempFolder work;
    std::string config = work.path + "config-home/";
    runTovrel({"-i", "photo.png", "--width=3"}, work.path, "", config);
    runTovrel({"-v"}, work.path, "", config);
    runTovrel({"-i"}, work.path, "", config);
    EXPECT_TRUE(listFolder(config).empty());
}
