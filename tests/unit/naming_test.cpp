#include <gtest/gtest.h>

#include <set>

#include "engine/naming.h"

namespace {
BatchJob jobFor(const std::string& inputPath) {
    BatchJob job;
    job.inputPath = inputPath;
    job.outputFolder = "/out/";
    job.outputExtension = "dds";
    job.targetBitDepth = 32;
    job.finalWidth = 50;
    job.finalHeight = 25;
    job.randomNumber = 42;
    job.sequenceNumber = 1;
    return job;
}
}  // namespace

TEST(NameTemplate, ExpandsPlaceholdersInOrder) {
    struct Case { const char* mask; const char* input; const char* expected; } cases[] = {
        {"", "/in/Photo.Final.png", "Photo.Final.dds"},
        {"%filename[u]%_%ext[t]%.%ext%", "/in/my Pic.png", "MY PIC_Dds.dds"},
        {"%filename[t]%.%ext%", "/in/hELLO.png", "Hello.dds"},
        {"%filename[l]%.%ext[u]%", "/in/MiXeD.png", "mixed.DDS"},
        {"Copy of %filename%.%ext%", "/in/A.png", "copy of A.dds"},
        {"%filename%", "/in/noext.png", "noext"},
        {"%bpp%_%width%x%height%.%ext%", "/in/a.png", "32_50x25.dds"},
        {"%n%-%rnd%.%ext%", "/in/a.png", "00001-00042.dds"},
        {"%DATE%_%FILENAME%.%EXT%", "/in/Up.png", "%date%_Up.dds"},
        {"%filename%.%ext%", "/in/has%n%inside.png", "has00001inside.dds"},
        {"%filename%.%ext%", "/in/noextension", "noextension.dds"},
    };
    for (const auto& c : cases) {
        ConversionSettings settings;
        settings.FilenameMask = c.mask;
        EXPECT_EQ(expandNameTemplate(jobFor(c.input), settings), c.expected) << c.mask;
    }
}

TEST(NameTemplate, PadsAndCutsToFiveCharacters) {
    BatchJob job = jobFor("/in/a.png");
    job.sequenceNumber = 100000;
    job.randomNumber = 7;
    EXPECT_EQ(placeholderValue(17, job), "10000");
    EXPECT_EQ(placeholderValue(16, job), "00007");
}

TEST(NameTemplate, OutputPathAddsSubfolderOnlyWhenKept) {
    BatchJob job = jobFor("/in/sub/a.png");
    job.inputSubfolder = "sub/";
    ConversionSettings settings;
    EXPECT_EQ(buildOutputPath(job, settings), "/out/sub/a.dds");
    settings.KeepSubfolders = 0;
    EXPECT_EQ(buildOutputPath(job, settings), "/out/a.dds");
}

TEST(NameTemplate, StripExtension) {
    EXPECT_EQ(stripExtension("a.b.png"), "a.b");
    EXPECT_EQ(stripExtension("plain"), "plain");
    EXPECT_EQ(stripExtension(""), "");
    EXPECT_EQ(stripExtension(".hidden"), "");
}

TEST(TempName, FifteenLowerCaseLettersAfterPrefix) {
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        std::string name = makeUniqueName();
        ASSERT_EQ(name.size(), 21u);
        EXPECT_EQ(name.substr(0, 6), "tovrel");
        for (char c : name.substr(6)) EXPECT_TRUE(c >= 'a' && c <= 'z') << name;
        seen.insert(name);
    }
    EXPECT_EQ(seen.size(), 50u);
}
