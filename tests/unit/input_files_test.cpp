#include <gtest/gtest.h>

#include "batch/input_files.h"
#include "settings/formats.h"
#include "test_support.h"

TEST(InputFiles, OnlyPngIsAccepted) {
    EXPECT_EQ(acceptedInputExtensions(), std::vector<std::string>{"png"});
    ASSERT_EQ(kInputFormatTable.size(), 1u);
    EXPECT_EQ(kInputFormatTable[0].description, "Portable Network Graphics");
}

TEST(InputFiles, AddInputFileTakesOnePngWithContent) {
    TempFolder folder;
    writeFileBytes(folder.path + "a.png", "x");
    writeFileBytes(folder.path + "B.PNG", "x");
    writeFileBytes(folder.path + "empty.png", "");
    writeFileBytes(folder.path + "c.jpg", "x");
    writeFileBytes(folder.path + "list.txt", "x");
    writeFileBytes(folder.path + "png", "x");
    struct Case { const char* name; bool taken; } cases[] = {
        {"a.png", true}, {"B.PNG", true}, {"missing.png", true},  // a missing file is reported by the run
        {"empty.png", false}, {"c.jpg", false}, {"list.txt", false}, {"png", false},
    };
    for (const auto& c : cases) {
        BatchJob job;
        job.files.emplace("/earlier.png", "");
        const std::string path = folder.path + c.name;
        EXPECT_EQ(addInputFile(job, path), c.taken) << c.name;
        const std::string expected = c.taken ? path : "/earlier.png";
        EXPECT_EQ(job.files.size(), 1u) << c.name;
        EXPECT_EQ(job.files.count(expected), 1u) << c.name;
    }
}

TEST(InputFiles, RelativeSubfolderBelowTheInputRoot) {
    EXPECT_EQ(relativeSubfolder("/in/sub/deep/a.png", "/in/"), "sub/deep/");
    EXPECT_EQ(relativeSubfolder("/in/a.png", "/in/"), "");
    EXPECT_EQ(relativeSubfolder("/other/a.png", "/in/"), "");
    EXPECT_EQ(relativeSubfolder("/in/a.png", ""), "");
}
