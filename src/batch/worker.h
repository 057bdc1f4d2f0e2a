// The conversion worker: converts every file of the job on its own thread,
// publishes its progress, prints the per-file log of a debug console run
// and stamps each output file's time.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "batch/log_sink.h"
#include "settings/batch_job.h"
#include "settings/local_date.h"
#include "settings/settings.h"

// The thread procedure. Reads the settings and the job, writes the job's
// per-file fields and the progress record; returns 0. The per-file log of a
// debug console run goes to `log` (nothing when it is nullptr).
int ConversionWorker(BatchJob& job, const ConversionSettings& settings, BatchProgress& progress, LogSink log);

// Controller side of the progress record.
// Before the start: index 0, no file, no time, no count, running.
void prepareProgress(BatchProgress& progress);
// Asks the worker to stop after the file in hand.
void stopWorker(BatchProgress& progress);
struct ProgressSnapshot {
    std::int32_t currentIndex = 0;
    std::string currentFile;
    std::int64_t lastFileMillis = 0;
};
ProgressSnapshot readProgress(BatchProgress& progress);
// Files converted; meaningful once the worker has returned.
std::int32_t convertedCount(BatchProgress& progress);

// 1970-01-01 00:00:00 to 2038-01-19 03:14:07.
bool isValidLocalDate(std::int64_t localDate);

// Sets the output file's modification time by the File Timestamp setting
// (0 none, 1 the input's, copied exactly, 2 Custom Timestamp). The access
// time is kept.
// False when the time was to be set and could not be; never reported.
bool applyOutputTimestamp(const BatchJob& job, const ConversionSettings& settings);
