#include "settings/batch_job.h"

#include "settings/random_number.h"

int drawRandomNumber() { return randomBetween(1, 99999); }

void resetBatchJob(BatchJob& job) {
    job.files.clear();
    job.cliMode = false;
    job.runMode = RunMode::Normal;
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
