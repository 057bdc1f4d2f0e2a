// The one record of the current run, and the progress record the worker
// shares with its controller.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

#include "settings/choices.h"

struct WatermarkFont;  // created by the controller before a run (engine/watermark_font.h)

struct BatchJob {
    // The files to convert, keyed by full path, each with its subfolder
    // below an input root (always empty in this program).
    std::unordered_map<std::string, std::string> files;

    // Run parameters set by the command line.
    bool cliMode = false;
    RunMode runMode = RunMode::Normal;
    std::string inputArgument;  // the text given with -I

    // Job-wide values filled by the controller.
    std::string outputFolder;    // ends with "/"
    std::string outputExtension; // "dds"
    int targetBitDepth = 0;
    bool autoBitDepth = false;
    const WatermarkFont* watermarkFont = nullptr;

    // Numbers behind %rnd% and %n%.
    int randomNumber = 1;
    int sequenceNumber = 1;

    // The file in hand, filled by the worker and convertFile.
    std::string inputPath;
    std::string inputSubfolder;
    int sourceBitDepth = 0;
    int finalWidth = 0;
    int finalHeight = 0;
    std::string outputPath;
    std::string tempPath;
};

struct BatchProgress {
    std::mutex mutex;  // guards the four fields below
    std::int32_t currentIndex = 0;
    std::string currentFile;
    std::int64_t lastFileMillis = 0;
    std::int32_t fileCount = 0;
    // Written by the controller under the mutex, read by the worker without it.
    std::atomic<bool> running{false};
};

// Empties the file set and every text, clears the depths and cliMode, draws
// a new random number and restarts the running number at 1. finalWidth and
// finalHeight keep the values of the last conversion.
void resetBatchJob(BatchJob& job);

// A uniform random integer from 1 to 99999 (the value behind %rnd%).
int drawRandomNumber();
