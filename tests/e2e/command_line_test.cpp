#include <gtest/gtest.h>

#include "test_support.h"

TEST(CommandLineProcess, ConsoleRunsNeverTouchTheConfigurationFile) {
    TempFolder work;
    std::string config = work.path + "config-home/";
    runTovrel({"-i", "photo.png", "--width=3"}, work.path, "", config);
    runTovrel({"-v"}, work.path, "", config);
    runTovrel({"-i"}, work.path, "", config);
    EXPECT_TRUE(listFolder(config).empty());
}

TEST(CommandLineProcess, HelpAndVersionAfterTheFirstParameterAreSkipped) {
    TempFolder work;
    RunResult run = runTovrel({"-i", "photo.png", "--help", "-v"}, work.path);
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines[0], "Korvane PNG to DDS 2.8");  // the run's banner, not usage or version
    EXPECT_EQ(run.output.find("Usage:"), std::string::npos);
}
