// Inputs the fuzz targets found, replayed the way the targets ran them. Each
// must end with its expected outcome, leave nothing behind in the output
// folder and stay within a modest amount of memory.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "convert_case.h"
#include "engine/signature.h"
#include "test_support.h"

namespace {

std::string findingPath(const std::string& target, const std::string& name) {
    return std::string(SOURCE_DIR) + "/tests/data/fuzz/" + target + "/" + name;
}

struct ConvertFinding {
    const char* name;
    bool converts;
    const char* fault;  // what went wrong before the mend
};

const ConvertFinding kConvertFindings[] = {
    {"slow-invalid-depth-huge-height", false,
     "a 311-byte file announcing 32 x 7827497 pixels at an invalid depth made the conversion fault in an "
     "eighth of the physical memory before the decoder refused the header"},
};

// Far below what the faults took (gigabytes), far above a small
// conversion, with or without sanitizers.
constexpr long kMemoryBoundKb = 600 * 1024;

enum ChildOutcome { kFailedCleanly = 10, kConvertedCleanly = 11, kLeftFiles = 12 };

// Runs the case in a child process, so that its peak memory is its own.
struct ChildRun {
    int outcome = -1;
    long peakKb = 0;
};

ChildRun runInChild(const std::string& bytes, const std::string& folder) {
    ChildRun run;
    const pid_t child = fork();
    if (child == 0) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const ConvertCaseResult result = runConvertCase(decodeConvertCase(data, bytes.size()), folder);
        _exit(!result.leftovers.empty() ? kLeftFiles : result.converted ? kConvertedCleanly : kFailedCleanly);
    }
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.outcome = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        run.peakKb = usage.ru_maxrss;
    }
    return run;
}

TEST(FuzzRegression, ConversionFindingsEndWithTheirOutcomeAndLeaveNothing) {
    for (const ConvertFinding& finding : kConvertFindings) {
        SCOPED_TRACE(std::string(finding.name) + ": " + finding.fault);
        const std::string bytes = readFileBytes(findingPath("fuzz_convert", finding.name));
        ASSERT_FALSE(bytes.empty());
        TempFolder folder;
        const ChildRun run = runInChild(bytes, folder.path);
        EXPECT_EQ(run.outcome, finding.converts ? kConvertedCleanly : kFailedCleanly);
        EXPECT_LT(run.peakKb, kMemoryBoundKb);
        EXPECT_EQ(listFolder(folder.path + "out/"), std::vector<std::string>{});
    }
}

// Not a finding but its sibling: a header the decoder accepts, announcing
// a gigabyte of pixels, in a file of a kilobyte. The decoder would allocate
// and zero the whole bitmap before running out of data.
TEST(FuzzRegression, PixelsTheFileCannotHoldFailWithinMemory) {
    const std::string settingsOff(kCaseHeaderSize, '\0');
    const std::string png = buildPng(16384, 16384, 8, 6, std::string(1000, '\0'));
    TempFolder folder;
    const ChildRun run = runInChild(settingsOff + png, folder.path);
    EXPECT_EQ(run.outcome, kFailedCleanly);
    EXPECT_LT(run.peakKb, kMemoryBoundKb);
    EXPECT_EQ(listFolder(folder.path + "out/"), std::vector<std::string>{});
}

// Found by the end-to-end memory bound: a chunk before the image data that
// claims 2 GB in a file of 200 bytes. The decoder allocated the claimed
// length before it found the file short.
TEST(FuzzRegression, ChunkClaimingMoreThanTheFileFailsWithinMemory) {
    const std::string settingsOff(kCaseHeaderSize, '\0');
    const std::string png = readFileBytes(pngSuitePath("basn6a08.png"));
    const std::string claim("\x7F\xFF\xFF\xFFtEXt", 8);
    TempFolder folder;
    const ChildRun run = runInChild(settingsOff + png.substr(0, 49) + claim + png.substr(49), folder.path);
    EXPECT_EQ(run.outcome, kFailedCleanly);
    EXPECT_LT(run.peakKb, kMemoryBoundKb);
    EXPECT_EQ(listFolder(folder.path + "out/"), std::vector<std::string>{});
}

}  // namespace
