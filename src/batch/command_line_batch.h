// The console run: checks the run parameters and settings, prints the debug
// summary, imports the single input file, converts it on the worker thread
// and prints the outcome.
#pragma once

#include "batch/log_sink.h"
#include "settings/batch_job.h"
#include "settings/settings.h"

// Always returns 0; every failure is a line sent to `print`, as are the
// summary, the progress texts and the worker's per-file log.
int RunCommandLineBatch(BatchJob& job, const ConversionSettings& settings, bool quiet, LogSink print);
