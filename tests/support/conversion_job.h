// The job of one conversion the way the batch prepares it: the input, the
// output folder, "dds" and the automatic depth.
#pragma once

#include <string>

#include "settings/batch_job.h"

inline BatchJob conversionJob(const std::string& input, const std::string& outputFolder) {
    BatchJob job;
    resetBatchJob(job);
    job.inputPath = input;
    job.outputFolder = outputFolder;
    job.outputExtension = "dds";
    job.autoBitDepth = true;
    return job;
}
