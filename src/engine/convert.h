// Converts the file in hand (job.inputPath) into a DDS file named from the
// output name template. Runs on the worker thread.
#pragma once

#include "batch/batch_job.h"
#include "settings/settings.h"

bool convertFile(BatchJob& job, const ConversionSettings& settings);
