// The conversion worker: its loop, log lines, counters and numbers, and the
// output timestamp rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

#include "batch/worker.h"
#include "cli/console.h"
#include "test_support.h"

namespace {

const RgbaPixel kTeal{0, 128, 128, 255};

struct WorkerRun {
    TempFolder folder;
    BatchJob job;
    ConversionSettings settings;
    BatchProgress progress;

    WorkerRun() {
        job.cliMode = true;
        job.runMode = RunMode::Debug;
        job.outputFolder = folder.path;
        job.outputExtension = "dds";
        job.autoBitDepth = true;
        job.randomNumber = 77;
        job.sequenceNumber = 1;
        prepareProgress(progress);
    }
    std::string addPicture(const std::string& name) {
        writeRgbaPng(folder.path + name, 4, 4, [](int, int) { return kTeal; });
        job.files.emplace(folder.path + name, "");
        return folder.path + name;
    }
    std::string addFile(const std::string& name, const std::string& bytes) {
        writeFileBytes(folder.path + name, bytes);
        job.files.emplace(folder.path + name, "");
        return folder.path + name;
    }
    CapturedOutput run(LogSink log = printLine) {
        int result = -1;
        CapturedOutput out = captureStdout([&] {
            std::thread worker([&] { result = ConversionWorker(job, settings, progress, log); });
            worker.join();
        });
        EXPECT_EQ(result, 0);
        return out;
    }
};

std::int64_t modificationSeconds(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mtim.tv_sec;
}

void setTimes(const std::string& path, std::time_t access, std::time_t modification) {
    timespec times[2]{{access, 0}, {modification, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Sets TZ for the test's process and restores it afterwards.
struct TimeZone {
    std::string saved;
    bool had = false;
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) saved = old, had = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (had) setenv("TZ", saved.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
};

// A sink that keeps the lines it is given, to see where the log goes.
std::vector<std::string> collectedLines;
void collectLine(std::string_view line) { collectedLines.emplace_back(line); }

}  // namespace

TEST(ConversionWorker, EmptySetEndsAtOnce) {
    WorkerRun w;
    EXPECT_TRUE(w.run().output.empty());
    EXPECT_EQ(convertedCount(w.progress), 0);
    EXPECT_EQ(readProgress(w.progress).currentIndex, 0);
}

TEST(ConversionWorker, FailingFileIsLoggedAndNotCounted) {
    WorkerRun w;
    const std::string path = w.addFile("broken.png", "not a picture");
    const CapturedOutput out = w.run();
    EXPECT_EQ(out.lines, (std::vector<std::string>{"Processing: " + path, "File Format: [ERROR] UNRECOGNIZED",
                                                   "[ERROR] Unable to convert the file!"}));
    EXPECT_EQ(convertedCount(w.progress), 0);
    const ProgressSnapshot snapshot = readProgress(w.progress);
    EXPECT_EQ(snapshot.currentIndex, 1);
    EXPECT_EQ(snapshot.currentFile, path);
    EXPECT_EQ(snapshot.lastFileMillis, 0);
    EXPECT_EQ(w.job.sequenceNumber, 1);
    EXPECT_EQ(w.job.randomNumber, 77);
    EXPECT_EQ(listFolder(w.folder.path), std::vector<std::string>{"broken.png"});
}

TEST(ConversionWorker, SuccessfulFileIsLoggedCountedAndAdvancesTheNumbers) {
    WorkerRun w;
    const std::string path = w.addPicture("pic.png");
    w.settings.FilenameMask = "%n%.%ext%";
    w.job.randomNumber = 0;  // never drawn, so only a new draw leaves 1..99999
    const CapturedOutput out = w.run();
    EXPECT_EQ(out.lines, (std::vector<std::string>{"Processing: " + path, "File Format: PNG",
                                                   "[OK] Saving As: " + w.folder.path + "00001.dds"}));
    EXPECT_EQ(convertedCount(w.progress), 1);
    EXPECT_EQ(w.job.sequenceNumber, 2);
    EXPECT_GE(w.job.randomNumber, 1);
    EXPECT_LE(w.job.randomNumber, 99999);
}

TEST(ConversionWorker, TwoFilesCountOnAndReportAtLeastOneSecond) {
    WorkerRun w;
    w.addPicture("a.png");
    w.addPicture("b.png");
    w.settings.FilenameMask = "%n%.%ext%";
    w.run();
    EXPECT_EQ(convertedCount(w.progress), 2);
    EXPECT_EQ(w.job.sequenceNumber, 3);
    const ProgressSnapshot snapshot = readProgress(w.progress);
    EXPECT_EQ(snapshot.currentIndex, 2);
    EXPECT_GE(snapshot.lastFileMillis, 1000);  // the first file, published with the second
    EXPECT_EQ(listFolder(w.folder.path), (std::vector<std::string>{"00001.dds", "00002.dds", "a.png", "b.png"}));
}

TEST(ConversionWorker, LogOnlyForADebugConsoleRun) {
    struct Case { bool cliMode; RunMode runMode; } cases[] = {
        {true, RunMode::Normal}, {true, RunMode::Screenshot}, {false, RunMode::Debug}};
    for (const auto& c : cases) {
        WorkerRun w;
        w.job.cliMode = c.cliMode;
        w.job.runMode = c.runMode;
        w.addPicture("pic.png");
        EXPECT_TRUE(w.run().output.empty()) << storedValue(c.runMode);
        EXPECT_EQ(convertedCount(w.progress), 1);
    }
}

TEST(ConversionWorker, LogGoesOnlyToTheGivenSink) {
    WorkerRun w;
    const std::string path = w.addFile("broken.png", "not a picture");
    collectedLines.clear();
    EXPECT_TRUE(w.run(collectLine).output.empty());
    EXPECT_EQ(collectedLines, (std::vector<std::string>{"Processing: " + path, "File Format: [ERROR] UNRECOGNIZED",
                                                        "[ERROR] Unable to convert the file!"}));

    WorkerRun silent;  // no sink: the debug run converts without a log
    silent.addPicture("pic.png");
    EXPECT_TRUE(silent.run(nullptr).output.empty());
    EXPECT_EQ(convertedCount(silent.progress), 1);
}

TEST(ConversionWorker, ClearedRunningFlagStopsBeforeTheFirstFile) {
    WorkerRun w;
    w.addPicture("pic.png");
    stopWorker(w.progress);
    EXPECT_TRUE(w.run().output.empty());
    EXPECT_EQ(convertedCount(w.progress), 0);
    EXPECT_EQ(readProgress(w.progress).currentIndex, 0);
    EXPECT_EQ(listFolder(w.folder.path), std::vector<std::string>{"pic.png"});
}

TEST(OutputTimestamp, ThreeSources) {
    const std::int64_t inputDate = 1000000000;  // 2001-09-09 01:46:40 local
    const std::int64_t customDate = 1234567890;
    struct Case { int source; std::int64_t expectedDate; } cases[] = {{0, -1}, {1, inputDate}, {2, customDate}, {3, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        WorkerRun w;
        const std::string input = w.addPicture("pic.png");
        setTimes(input, 0, fileTimeFromLocalDate(inputDate));
        w.settings.FileTimestamp = static_cast<uint8>(c.source);
        w.settings.CustomTimestamp = static_cast<int32>(customDate);
        const std::time_t before = std::time(nullptr);
        w.run();
        const std::string output = w.folder.path + "pic.dds";
        if (c.expectedDate >= 0) {
            EXPECT_EQ(fileLocalDate(output), c.expectedDate);
        } else {  // the time it was written
            EXPECT_GE(modificationSeconds(output), before - 1);
            EXPECT_LE(modificationSeconds(output), std::time(nullptr) + 1);
        }
    }
}

TEST(OutputTimestamp, LeavesAccessTimeAndRefusesInvalidDates) {
    TempFolder folder;
    BatchJob job;
    job.outputPath = folder.path + "out.dds";
    writeFileBytes(job.outputPath, "x");
    setTimes(job.outputPath, 500000000, 600000000);
    ConversionSettings settings;
    settings.FileTimestamp = 2;
    settings.CustomTimestamp = -5;
    EXPECT_FALSE(applyOutputTimestamp(job, settings));
    EXPECT_EQ(modificationSeconds(job.outputPath), 600000000);
    settings.CustomTimestamp = 700000000;
    EXPECT_TRUE(applyOutputTimestamp(job, settings));
    struct stat info {};
    stat(job.outputPath.c_str(), &info);
    EXPECT_EQ(info.st_atim.tv_sec, 500000000);
    EXPECT_EQ(fileLocalDate(job.outputPath), 700000000);
    job.outputPath = folder.path + "missing.dds";
    EXPECT_FALSE(applyOutputTimestamp(job, settings));
}

TEST(LocalDate, ReadsTheLocalClockAsIfItWereUtc) {
    TimeZone zone("KVN-2");  // two hours east of UTC, no summer time
    EXPECT_EQ(localDateFromFileTime(0), 7200);
    EXPECT_EQ(localDateFromFileTime(1000000000), 1000007200);
    EXPECT_EQ(fileTimeFromLocalDate(7200), 0);
    EXPECT_EQ(fileTimeFromLocalDate(localDateFromFileTime(1234567890)), 1234567890);
    EXPECT_TRUE(isValidLocalDate(0));
    EXPECT_TRUE(isValidLocalDate(2147483647));
    EXPECT_FALSE(isValidLocalDate(-1));
    EXPECT_FALSE(isValidLocalDate(2147483648));
}
