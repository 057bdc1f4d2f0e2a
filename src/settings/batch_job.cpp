#include "settings/batch_job.h"

#include <mutex>
#include <random>

int drawRandomNumber() {
    // One generator for the process; the worker and the reset may draw from
    // different threads.
    static std::mutex mutex;
    static std::mt19937 generator{std::random_device{}()};
    std::lock_guard lock(mutex);
    return std::uniform_int_distribution<int>(1, 99999)(generator);
}

void resetBatchJob(BatchJob& job) {
    job.files.clear();
    job.cliMode = false;
    job.runMode.clear();
    job.inputArgument.clear();
    job.outputFolder.clear();
    job.outputExtension.clear();
    job.targetBitDepth = 0;
    job.autoBitDepth = false;
    job.watermarkFont = nullptr;
    job.randomNumber = drawRandomNumber();
    job.sequenceNumber = 1;
    job.inputPath.clear();
    job.inputSubfolder.clear();
    job.sourceBitDepth = 0;
    job.outputPath.clear();
    job.tempPath.clear();
}
