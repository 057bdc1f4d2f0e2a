// The console run: checks the run parameters and settings in a fixed order
// (the first failure prints its one line and ends the run), prints the
// debug summary, imports the single input file, converts it on the worker
// thread and prints the outcome.
#include "batch/command_line_batch.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "batch/input_files.h"
#include "batch/run_checks.h"
#include "batch/worker.h"
#include "engine/convert.h"
#include "engine/watermark_font.h"
#include "settings/formats.h"
#include "settings/choices.h"
#include "settings/keywords.h"
#include "settings/paths.h"
#include "settings/string_table.h"
#include "settings/text.h"

namespace {

// The console's failure outcome is a fixed text, whatever the language of
// the string table.
constexpr std::string_view kNotCompleteLine = "Conversion is not complete";

using Settings = ConversionSettings;

std::string str(long long value) { return std::to_string(value); }

std::string strF2(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

std::string keyword(KeywordTableId table, int value) { return ValueToKeyword(table, value); }

void printText(LogSink print, std::string_view group, std::string_view key) { print(lookupString(stringTable(), group, key)); }

// One summary line; when `valid` is set and says no, the run fails with
// `failure` right after the line.
struct SummaryLine {
    std::string_view label;
    std::string (*value)(const Settings&);
    bool (*valid)(const Settings&) = nullptr;
    RunCheck failure = RunCheck::Ok;
};

// A block of summary lines printed when its setting is on.
struct SummarySection {
    bool (*applies)(const Settings&);
    std::span<const SummaryLine> lines;
};

bool always(const Settings&) { return true; }

const SummaryLine kDdsLines[] = {
    {"DDS BPP: ", [](const Settings& s) { return str(s.DDSBPP); }, validBitDepth, RunCheck::InvalidBitDepth},
    {"DDS Compression: ", [](const Settings& s) { return keyword(kDdsCompression, s.DDSCompression); },
     validCompression, RunCheck::InvalidCompression},
};

const SummaryLine kRotationLines[] = {
    {"Image Rotation Type: ", [](const Settings& s) { return keyword(kRotationType, s.ImageRotationType); }},
    {"Image Rotation: ", [](const Settings& s) { return str(s.TransformImageRotation); }},
    {"Image Rotation Back Color: ", [](const Settings& s) { return s.ImageRotationBackColor; }},
};

const SummaryLine kResizeLines[] = {
    {"Width: ", [](const Settings& s) { return str(s.ImageWidth) + " " + keyword(kSizeUnit, s.ImageWidthUnit); },
     validWidth, RunCheck::InvalidWidth},
    {"Height: ", [](const Settings& s) { return str(s.ImageHeight) + " " + keyword(kSizeUnit, s.ImageHeightUnit); },
     validHeight, RunCheck::InvalidHeight},
    {"Keep Aspect Ratio: ", [](const Settings& s) { return str(s.KeepAspectRatio); }},
    {"Image Resize Type: ", [](const Settings& s) { return keyword(kResizeScope, s.ImageResizeType); }},
    {"Image Resize Algorithm: ", [](const Settings& s) { return keyword(kResamplingFilter, s.ImageResizeAlgorithm); }},
};

const SummaryLine kFlipLines[] = {
    {"Flip Horizontal: ", [](const Settings& s) { return str(s.DoImageFlipHorizontal); }},
    {"Flip Vertical: ", [](const Settings& s) { return str(s.DoImageFlipVertical); }},
};

const SummaryLine kColorLines[] = {
    {"Brightness: ", [](const Settings& s) { return str(s.ImageBrightness); }, validBrightness, RunCheck::InvalidBrightness},
    {"Contrast: ", [](const Settings& s) { return str(s.ImageContrast); }, validContrast, RunCheck::InvalidContrast},
    {"Gamma: ", [](const Settings& s) { return strF2(s.ImageGamma); }, validGamma, RunCheck::InvalidGamma},
    {"Invert: ", [](const Settings& s) { return str(s.ImageInvert); }},
};

const SummaryLine kGreyscaleLines[] = {
    {"Greyscale: ", [](const Settings& s) { return str(s.DoImageGreyscale); }},
};
const SummaryLine kThresholdLines[] = {
    {"Image Threshold: ", [](const Settings& s) { return str(s.ImageThreshold); }},
};
const SummaryLine kDitherLines[] = {
    {"Image Dithering Algorithm: ", [](const Settings& s) { return keyword(kDither, s.ImageDitherAlgorithm); }},
};

const SummaryLine kFrameKindLines[] = {
    {"Frame: ", [](const Settings& s) { return keyword(kFrameKind, s.DoFrame); }},
};
const SummaryLine kSolidFrameLines[] = {
    {"Frame left: ", [](const Settings& s) { return str(s.SolidLeft); }},
    {"Frame right: ", [](const Settings& s) { return str(s.SolidRight); }},
    {"Frame top: ", [](const Settings& s) { return str(s.SolidTop); }},
    {"Frame bottom: ", [](const Settings& s) { return str(s.SolidBottom); }},
    {"Frame left color: ", [](const Settings& s) { return s.SolidLeftColor; }},
    {"Frame right color: ", [](const Settings& s) { return s.SolidRightColor; }},
    {"Frame top color: ", [](const Settings& s) { return s.SolidTopColor; }},
    {"Frame bottom color: ", [](const Settings& s) { return s.SolidBottomColor; }},
    {"Frame opacity: ", [](const Settings& s) { return str(s.SolidOpacity); }},
};

const SummaryLine kWatermarkKindLines[] = {
    {"Watermark: ", [](const Settings& s) { return keyword(kWatermarkKind, s.DoWatermark); }},
};
const SummaryLine kTextWatermarkLines[] = {
    {"Watermark text: ", [](const Settings& s) { return s.Text; }},
    {"Watermark font: ", [](const Settings& s) { return s.Font; }},
    {"Watermark font size: ", [](const Settings& s) { return str(s.FontSize); }},
    {"Watermark font leading: ", [](const Settings& s) { return str(s.FontLeading); }},
    {"Watermark font color: ", [](const Settings& s) { return s.FontColor; }},
    {"Watermark font style: ", [](const Settings& s) { return keyword(kFontStyle, s.FontStyle); }},
    {"Watermark font effect: ", [](const Settings& s) { return keyword(kFontEffect, s.FontEffect); }},
    {"Watermark text antialiasing: ", [](const Settings& s) { return str(s.TextAntialiasing); }},
    {"Watermark text alignment: ", [](const Settings& s) { return keyword(kTextAlignment, s.TextAlignment); }},
    {"Watermark text padding: ", [](const Settings& s) { return str(s.TextPadding); }},
    {"Watermark text opacity: ", [](const Settings& s) { return str(s.TextOpacity); }},
    {"Watermark background color: ", [](const Settings& s) { return s.BackColor; }},
    {"Watermark background opacity: ", [](const Settings& s) { return str(s.BackOpacity); }},
    {"Watermark boundary: ", [](const Settings& s) { return keyword(kBoundary, s.TextBoundary); }},
    {"Watermark position: ", [](const Settings& s) { return keyword(kPosition, s.TextPosition); }},
    {"Watermark offset (x/y): ", [](const Settings& s) { return str(s.TextXOffset) + "/" + str(s.TextYOffset); }},
    {"Watermark rotation: ", [](const Settings& s) { return str(s.TextRotation); }},
    {"Watermark size/mode: ", [](const Settings& s) { return keyword(kSizeMode, s.TextSize); }},
};
const SummaryLine kImageWatermarkLines[] = {
    {"Watermark image: ", [](const Settings& s) { return s.Image; }},
    {"Watermark greyscale: ", [](const Settings& s) { return str(s.ImageGreyscale); }},
    {"Watermark opacity: ", [](const Settings& s) { return str(s.ImageOpacity); }},
    {"Watermark boundary: ", [](const Settings& s) { return keyword(kBoundary, s.ImageBoundary); }},
    {"Watermark position: ", [](const Settings& s) { return keyword(kPosition, s.ImagePosition); }},
    {"Watermark offset (x/y): ", [](const Settings& s) { return str(s.ImageXOffset) + "/" + str(s.ImageYOffset); }},
    {"Watermark rotation: ", [](const Settings& s) { return str(s.WatermarkImageRotation); }},
    {"Watermark size/mode: ", [](const Settings& s) { return keyword(kSizeMode, s.ImageSize); }},
};

const SummaryLine kNamingLines[] = {
    {"Filename Mask: ", [](const Settings& s) { return s.FilenameMask; }},
    {"File Timestamp: ", [](const Settings& s) { return keyword(kTimestampSource, s.FileTimestamp); }},
};
const SummaryLine kCustomTimestampLines[] = {
    {"Custom Timestamp: ", [](const Settings& s) { return str(s.CustomTimestamp); }},
};
const SummaryLine kSubfolderLines[] = {
    {"Keep Subfolders: ", [](const Settings& s) { return str(s.KeepSubfolders); }},
};

// The transform, adjustment and frame blocks, in the order they are checked.
const SummarySection kTransformSections[] = {
    {[](const Settings& s) { return s.DoImageRotation != 0; }, kRotationLines},
    {[](const Settings& s) { return s.DoImageResize != 0; }, kResizeLines},
    {always, kFlipLines},
    {[](const Settings& s) { return s.DoImageColorCorrection != 0; }, kColorLines},
    {always, kGreyscaleLines},
    {[](const Settings& s) { return s.DoImageThreshold != 0; }, kThresholdLines},
    {[](const Settings& s) { return s.DoImageDither != 0; }, kDitherLines},
    {always, kFrameKindLines},
    {[](const Settings& s) { return choiceOf<FrameKind>(s.DoFrame) == FrameKind::Solid; }, kSolidFrameLines},
};

const SummarySection kNamingSections[] = {
    {always, kNamingLines},
    {[](const Settings& s) { return choiceOf<TimestampSource>(s.FileTimestamp) == TimestampSource::Custom; }, kCustomTimestampLines},
    {always, kSubfolderLines},
};

// The console's line for a failed check.
bool fail(LogSink print, RunCheck check) {
    print("Error: " + std::string(runCheckWords(check)));
    return false;
}

bool runSection(LogSink print, const SummarySection& section, const Settings& settings, bool debug) {
    if (!section.applies(settings)) return true;
    for (const SummaryLine& line : section.lines) {
        if (debug) print(std::string(line.label) + line.value(settings));
        if (line.valid && !line.valid(settings)) return fail(print, line.failure);
    }
    return true;
}

bool runSections(LogSink print, std::span<const SummarySection> sections, const Settings& settings, bool debug) {
    for (const SummarySection& section : sections)
        if (!runSection(print, section, settings, debug)) return false;
    return true;
}

// The input argument must name a file (it has an extension) with content.
bool checkInput(LogSink print, BatchJob& job, bool debug) {
    if (debug) print("Input: " + job.inputArgument);
    const bool hasExtension = !extensionPart(job.inputArgument).empty();
    if (hasExtension) job.inputPath = job.inputArgument;
    job.inputArgument.clear();
    if (!hasExtension || fileSizeQuery(job.inputPath) <= 0) return fail(print, RunCheck::InvalidInput);
    return true;
}

// Relative folders are taken below the program's folder, never the
// working directory; ".." would climb out of it and is refused.
bool checkOutputFolder(LogSink print, BatchJob& job, bool debug) {
    if (job.outputFolder.empty()) job.outputFolder = folderPart(job.inputPath);
    if (debug) print("Output: " + job.outputFolder);
    if (job.outputFolder.starts_with("..")) return fail(print, RunCheck::IncorrectOutputFolder);
    if (!isAbsolutePath(job.outputFolder)) {
        if (job.outputFolder.starts_with("./")) job.outputFolder.erase(0, 2);
        job.outputFolder = programFolder() + job.outputFolder;
    }
    job.outputFolder = withTrailingSlash(job.outputFolder);
    const RunCheck found = checkOutputFolderExists(job.outputFolder);
    return found == RunCheck::Ok || fail(print, found);
}

bool checkConversionType(LogSink print, BatchJob& job, bool debug) {
    if (job.outputExtension.empty()) job.outputExtension = kOutputFormatList.front();
    if (debug) print("Conversion: " + job.outputExtension);
    if (std::ranges::find(kOutputFormatList, job.outputExtension) == kOutputFormatList.end()) return fail(print, RunCheck::InvalidConversionType);
    return true;
}

// The job is prepared here, with the watermark, so a font that cannot be
// made fails before the naming summary; the font is kept in `font` until
// the run is over.
bool checkWatermarkAndPrepare(LogSink print, BatchJob& job, const Settings& settings, bool debug, WatermarkFontPtr& font) {
    if (!runSection(print, {always, kWatermarkKindLines}, settings, debug)) return false;
    const WatermarkKind kind = choiceOf<WatermarkKind>(settings.DoWatermark);
    if (kind == WatermarkKind::Text) runSection(print, {always, kTextWatermarkLines}, settings, debug);
    if (kind == WatermarkKind::Image) runSection(print, {always, kImageWatermarkLines}, settings, debug);
    RunCheck check = checkWatermarkImage(settings);
    if (check == RunCheck::Ok) check = prepareRun(job, settings, font);
    return check == RunCheck::Ok || fail(print, check);
}

bool checkRun(LogSink print, BatchJob& job, const Settings& settings, bool debug, WatermarkFontPtr& font) {
    return checkInput(print, job, debug) && checkOutputFolder(print, job, debug) && checkConversionType(print, job, debug) &&
           runSection(print, {always, kDdsLines}, settings, debug) && runSections(print, kTransformSections, settings, debug) &&
           checkWatermarkAndPrepare(print, job, settings, debug, font) && runSections(print, kNamingSections, settings, debug);
}

bool isListFile(const std::string& path) {
    const std::string extension = toLowerText(extensionPart(path));
    return extension == "txt" || extension == "lst";
}

int importInputFile(LogSink print, BatchJob& job, bool quiet) {
    if (!quiet) printText(print, "General", "Importing");
    const int count = !isListFile(job.inputPath) && addInputFile(job, job.inputPath) ? 1 : 0;
    if (!quiet) print(FillPlaceholders(lookupString(stringTable(), "Msg", "Import complete"), str(count)));
    return count;
}

// Ctrl+C, SIGTERM or a closed terminal while the worker runs: the file in
// hand is finished (the writer puts a DDS file in place whole or not at
// all, so nothing half-written or temporary stays behind), the outcome is
// printed, and then the run ends by that signal. Before the worker starts
// nothing has been written, and the signals end the run at once as usual.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t deferredSignal = 0;
std::atomic<bool>* workerRunning = nullptr;
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler stores into it");

// Async-signal-safe: two plain stores.
void deferSignal(int signal) {
    if (deferredSignal == 0) deferredSignal = signal;
    if (workerRunning) workerRunning->store(false);
}

// Holds the signals for the life of the worker; a signal the caller ignores
// (nohup) stays ignored.
struct DeferredSignals {
    struct sigaction previous[std::size(kEndingSignals)] {};
    bool installed[std::size(kEndingSignals)] {};

    explicit DeferredSignals(std::atomic<bool>& running) {
        workerRunning = &running;
        struct sigaction action {};
        action.sa_handler = deferSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            if (sigaction(kEndingSignals[i], nullptr, &previous[i]) != 0 || previous[i].sa_handler == SIG_IGN) continue;
            installed[i] = sigaction(kEndingSignals[i], &action, nullptr) == 0;
        }
    }
    ~DeferredSignals() {
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            if (installed[i]) sigaction(kEndingSignals[i], &previous[i], nullptr);
        workerRunning = nullptr;
    }
    DeferredSignals(const DeferredSignals&) = delete;
    DeferredSignals& operator=(const DeferredSignals&) = delete;
};

void endByDeferredSignal() {
    const int signal = deferredSignal;
    if (signal == 0) return;
    std::fflush(nullptr);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::int32_t runWorker(LogSink print, BatchJob& job, const Settings& settings) {
    BatchProgress progress;
    prepareProgress(progress);
    DeferredSignals held(progress.running);
    std::thread worker(ConversionWorker, std::ref(job), std::cref(settings), std::ref(progress), print);
    worker.join();
    return convertedCount(progress);
}

void printOutcome(LogSink print, std::int32_t converted, int count, bool quiet) {
    if (converted == 0) {
        print(kNotCompleteLine);
        return;
    }
    if (quiet) return;
    printText(print, "Msg", "Conversion complete");
    print(FillPlaceholders(lookupString(stringTable(), "Msg", "Files converted"), str(converted), str(count)));
}

// Clears the job's pointer to the font when the run ends on any path.
struct FontRelease {
    BatchJob& job;
    ~FontRelease() { job.watermarkFont = nullptr; }
};

}  // namespace

int RunCommandLineBatch(BatchJob& job, const ConversionSettings& settings, bool quiet, LogSink print) {
    if (!print) print = [](std::string_view) {};
    const bool debug = job.runMode == RunMode::Debug;
    job.cliMode = true;
    if (!quiet) printText(print, "General", "Preparing");
    WatermarkFontPtr font;
    FontRelease release{job};
    if (!checkRun(print, job, settings, debug, font)) return 0;
    const int count = importInputFile(print, job, quiet);
    if (count == 0) {
        print(kNotCompleteLine);
        printText(print, "Msg", "Empty input files");
        return 0;
    }
    if (!quiet) printText(print, "General", "Converting");
    printOutcome(print, runWorker(print, job, settings), count, quiet);
    endByDeferredSignal();
    return 0;
}
