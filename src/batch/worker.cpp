#include "batch/worker.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <iterator>
#include <limits>
#include <sys/stat.h>

#include "engine/convert.h"
#include "engine/signature.h"

namespace {

// A successful file never reports less than one second, so the window's
// remaining-time estimate does not jump around for tiny files.
constexpr std::int64_t kMinimumFileMillis = 1000;

std::int64_t tickMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void publishFile(BatchProgress& progress, std::int32_t index, const std::string& path, std::int64_t millis) {
    std::lock_guard lock(progress.mutex);
    progress.currentIndex = index;
    progress.currentFile = path;
    progress.lastFileMillis = millis;
}

bool setModificationTime(const std::string& path, timespec modified) {
    timespec times[2]{};
    times[0].tv_nsec = UTIME_OMIT;  // access time stays
    times[1] = modified;
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool keepWrittenTime(const BatchJob&, const ConversionSettings&) { return true; }

// The input's own modification time, nanoseconds included. A trip through
// a local date value could not tell the two 02:30s of the night the clocks
// go back apart, and would move the file by an hour.
bool copyInputTime(const BatchJob& job, const ConversionSettings&) {
    struct stat info {};
    return stat(job.inputPath.c_str(), &info) == 0 && setModificationTime(job.outputPath, info.st_mtim);
}

bool setCustomTime(const BatchJob& job, const ConversionSettings& settings) {
    if (!isValidLocalDate(settings.CustomTimestamp)) return false;
    return setModificationTime(job.outputPath, timespec{fileTimeFromLocalDate(settings.CustomTimestamp), 0});
}

// By File Timestamp value: how the output gets its time.
using TimestampRule = bool (*)(const BatchJob&, const ConversionSettings&);
constexpr TimestampRule kTimestampRules[] = {keepWrittenTime, copyInputTime, setCustomTime};

}  // namespace

void prepareProgress(BatchProgress& progress) {
    std::lock_guard lock(progress.mutex);
    progress.currentIndex = 0;
    progress.currentFile.clear();
    progress.lastFileMillis = 0;
    progress.fileCount = 0;
    progress.running = true;
}

void stopWorker(BatchProgress& progress) {
    std::lock_guard lock(progress.mutex);
    progress.running = false;
}

ProgressSnapshot readProgress(BatchProgress& progress) {
    std::lock_guard lock(progress.mutex);
    return {progress.currentIndex, progress.currentFile, progress.lastFileMillis};
}

std::int32_t convertedCount(BatchProgress& progress) {
    std::lock_guard lock(progress.mutex);
    return progress.fileCount;
}

bool isValidLocalDate(std::int64_t localDate) {
    return localDate >= 0 && localDate <= std::numeric_limits<std::int32_t>::max();
}

bool applyOutputTimestamp(const BatchJob& job, const ConversionSettings& settings) {
    if (settings.FileTimestamp >= std::size(kTimestampRules)) return true;
    return kTimestampRules[settings.FileTimestamp](job, settings);
}

int ConversionWorker(BatchJob& job, const ConversionSettings& settings, BatchProgress& progress, LogSink log) {
    // Only a debug console run logs each file.
    const LogSink fileLog = job.cliMode && job.runMode == RunMode::Debug ? log : nullptr;
    std::int32_t processed = 0;
    std::int32_t converted = 0;
    std::int64_t millis = 0;
    for (auto file = job.files.begin(); progress.running && file != job.files.end(); ++file) {
        ++processed;
        job.inputPath = file->first;
        job.inputSubfolder = file->second;
        publishFile(progress, processed, job.inputPath, millis);
        if (fileLog) {
            fileLog("Processing: " + job.inputPath);
            fileLog("File Format: " + identifyFileFormat(job.inputPath));
        }
        const std::int64_t start = tickMillis();
        if (convertFile(job, settings)) {
            if (fileLog) fileLog("[OK] Saving As: " + job.outputPath);
            ++converted;
            millis = std::max(tickMillis() - start, kMinimumFileMillis);
            job.randomNumber = drawRandomNumber();
            ++job.sequenceNumber;
            applyOutputTimestamp(job, settings);
        } else {
            millis = 0;
            if (fileLog) fileLog("[ERROR] Unable to convert the file!");
        }
    }
    std::lock_guard lock(progress.mutex);
    progress.fileCount = converted;
    return 0;
}
