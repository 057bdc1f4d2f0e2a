// The whole conversion of arbitrary bytes given as the input file. The
// first kHeaderSize bytes choose the settings (rotation, resize, flips and
// colour stages, frame, text or picture watermark, name template, output
// timestamp); the rest is the file. Afterwards the output folder holds the
// output file when the conversion succeeded and nothing at all otherwise:
// in particular no temporary "tovrel..." file.
#include <dirent.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "batch/worker.h"
#include "engine/convert.h"
#include "engine/watermark_font.h"
#include "fuzz_support.h"

namespace {

constexpr std::size_t kHeaderSize = 40;

// Reads the settings header; bytes past the end of the input read as 0.
struct HeaderReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t byte() { return at < size && at < kHeaderSize ? data[at++] : (++at, 0); }
};

// Values that have broken arithmetic before: limits, zero, signs, sizes
// just below and above the image limit, and full turns.
constexpr std::array<std::int32_t, 24> kExtremes{
    0,     1,      -1,       2,       90,         180,        270,        360,
    -90,   45,     1000,     -1000,   16384,      16385,      65535,      100000,
    46341, -46341, 99999999, INT_MAX, INT_MAX - 1, INT_MIN,   INT_MIN + 1, 1 << 30};

// Small values most of the time, an extreme value otherwise.
std::int32_t pickNumber(HeaderReader& header) {
    const std::uint8_t selector = header.byte();
    if (selector < 160) return static_cast<std::int32_t>(selector) - 40;
    return kExtremes[selector % kExtremes.size()];
}

constexpr std::array<const char*, 8> kColors{"000000", "FFFFFF", "ff8000", "", "12345", "FF00FF80", "zzzzzz", "#00FF00"};

constexpr std::array<const char*, 12> kTexts{
    "Korvane",
    "%filename% %width%x%height% %bpp%",
    "line one%EOL%line two%eol%3",
    "%EOL%%EOL%%EOL%",
    "50% off",
    "",
    "%rnd%-%n%-%yyyy%%mm%%dd%%hh%%ii%%ss%",
    "%FILENAME[U]%%filename[t]%%ext[u]%%ext[t]%%EOL%%filename[l]%",
    "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80 \xFF\xFE broken \xC3",
    "%",
    "very long line very long line very long line very long line very long line very long line",
    "tab\there\nnewline\r\nnul-free"};

constexpr std::array<const char*, 8> kMasks{
    "%filename%.%ext%", "", "%width%x%height%-%bpp%.dds", "%rnd%_%n%", "%EXT[U]%%FILENAME[T]%", "no/such/folder/x.dds",
    "%filename%%filename%%filename%%filename%", "\xFF\xFE.dds"};

constexpr std::array<int, 4> kFontSizes{14, 1, 200, 0};

const std::string& outputFolder() {
    static const std::string folder = [] {
        std::string path = scratchFolder() + "out/";
        mkdir(path.c_str(), 0700);
        return path;
    }();
    return folder;
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

// One font per size and style, created on first use and kept: creating a
// font is slow, and the run's controller creates it once per run anyway.
const WatermarkFont* watermarkFont(const ConversionSettings& settings) {
    static std::map<std::pair<int, int>, WatermarkFontPtr> fonts;
    const std::pair key{settings.FontSize, settings.FontStyle * 8 + settings.FontEffect};
    auto found = fonts.find(key);
    if (found == fonts.end()) found = fonts.emplace(key, createWatermarkFont(settings)).first;
    return found->second.get();
}

void chooseGeometry(HeaderReader& header, ConversionSettings& settings) {
    const std::uint8_t switches = header.byte();
    settings.DoImageRotation = switches & 1;
    settings.ImageRotationType = header.byte() % 4;
    settings.TransformImageRotation = pickNumber(header);
    settings.ImageRotationBackColor = kColors[header.byte() % kColors.size()];
    settings.DoImageResize = (switches >> 1) & 1;
    settings.ImageWidth = pickNumber(header);
    settings.ImageHeight = pickNumber(header);
    const std::uint8_t resize = header.byte();
    settings.ImageWidthUnit = resize & 3;
    settings.ImageHeightUnit = (resize >> 2) & 3;
    settings.KeepAspectRatio = (resize >> 4) & 1;
    settings.ImageResizeType = (resize >> 5) & 3;
    settings.ImageResizeAlgorithm = header.byte() % 8;
    settings.DoImageFlipHorizontal = (switches >> 2) & 1;
    settings.DoImageFlipVertical = (switches >> 3) & 1;
}

void chooseColorStages(HeaderReader& header, ConversionSettings& settings) {
    const std::uint8_t switches = header.byte();
    settings.DoImageColorCorrection = switches & 1;
    settings.ImageBrightness = static_cast<std::int8_t>(header.byte()) % 101;
    settings.ImageContrast = static_cast<std::int8_t>(header.byte()) % 101;
    settings.ImageGamma = 0.01f + static_cast<float>(header.byte()) / 25.6f;
    settings.ImageInvert = (switches >> 1) & 1;
    settings.DoImageGreyscale = (switches >> 2) & 1;
    settings.DoImageThreshold = (switches >> 3) & 1;
    settings.ImageThreshold = pickNumber(header);
    settings.DoImageDither = (switches >> 4) & 1;
    settings.ImageDitherAlgorithm = (switches >> 5) % 8;
    settings.DDSBPP = (switches >> 7) ? 32 : 0;
}

void chooseFrame(HeaderReader& header, ConversionSettings& settings) {
    settings.DoFrame = header.byte() % 3;
    settings.SolidLeft = pickNumber(header);
    settings.SolidRight = pickNumber(header);
    settings.SolidTop = pickNumber(header);
    settings.SolidBottom = pickNumber(header);
    const std::uint8_t colors = header.byte();
    settings.SolidLeftColor = kColors[colors % kColors.size()];
    settings.SolidRightColor = kColors[(colors >> 3) % kColors.size()];
    settings.SolidTopColor = kColors[(colors >> 5) % kColors.size()];
    settings.SolidBottomColor = kColors[(colors >> 2) % kColors.size()];
    settings.SolidOpacity = pickNumber(header);
}

void chooseWatermark(HeaderReader& header, ConversionSettings& settings, const std::string& picturePath) {
    settings.DoWatermark = header.byte() % 4;  // 3 is no known kind
    settings.Text = kTexts[header.byte() % kTexts.size()];
    const std::uint8_t style = header.byte();
    settings.FontSize = kFontSizes[style % kFontSizes.size()];
    settings.FontStyle = (style >> 2) % 4;
    settings.FontEffect = (style >> 4) % 3;
    settings.TextAntialiasing = (style >> 6) & 1;
    settings.TextBoundary = style >> 7;
    settings.ImageBoundary = style >> 7;
    settings.FontLeading = pickNumber(header);
    settings.TextPadding = pickNumber(header);
    settings.FontColor = kColors[header.byte() % kColors.size()];
    const std::uint8_t place = header.byte();
    settings.TextAlignment = place % 4;
    settings.TextPosition = place >> 2;  // beyond the nine positions too
    settings.ImagePosition = place >> 2;
    settings.TextOpacity = pickNumber(header);
    settings.BackOpacity = pickNumber(header);
    settings.ImageOpacity = settings.TextOpacity;
    settings.TextXOffset = pickNumber(header);
    settings.TextYOffset = pickNumber(header);
    settings.ImageXOffset = settings.TextXOffset;
    settings.ImageYOffset = settings.TextYOffset;
    settings.TextRotation = pickNumber(header);
    settings.WatermarkImageRotation = settings.TextRotation;
    settings.ImageGreyscale = place & 1;
    settings.Image = picturePath;  // the input file itself, when it is a picture
}

void chooseNaming(HeaderReader& header, ConversionSettings& settings) {
    const std::uint8_t naming = header.byte();
    settings.FilenameMask = kMasks[naming % kMasks.size()];
    settings.FileTimestamp = (naming >> 3) % 3;
    settings.CustomTimestamp = pickNumber(header);
}

// The outcome left in the output folder: the output file alone after a
// success, nothing after a failure. Then the folder is emptied.
void checkOutputFolder(bool converted, const BatchJob& job) {
    std::vector<std::string> entries = folderEntries(outputFolder());
    const std::size_t expected = converted ? 1 : 0;
    bool unexpected = entries.size() != expected;
    if (converted && !entries.empty() && outputFolder() + entries.front() != job.outputPath) unexpected = true;
    for (const std::string& name : entries) std::remove((outputFolder() + name).c_str());
    if (unexpected) {
        for (const std::string& name : entries) std::fprintf(stderr, "left in the output folder: %s\n", name.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (initDdsWriter(), true);
    (void)ready;
    HeaderReader header{data, size};
    const std::size_t fileStart = size < kHeaderSize ? size : kHeaderSize;
    const std::string inputPath = writeScratchFile("in.png", data + fileStart, size - fileStart);

    ConversionSettings settings;
    chooseGeometry(header, settings);
    chooseColorStages(header, settings);
    chooseFrame(header, settings);
    chooseWatermark(header, settings, inputPath);
    chooseNaming(header, settings);

    BatchJob job;
    job.outputFolder = outputFolder();
    job.outputExtension = "dds";
    job.inputPath = inputPath;
    job.targetBitDepth = settings.DDSBPP;
    job.autoBitDepth = settings.DDSBPP == 0;
    if (settings.DoWatermark == 1) job.watermarkFont = watermarkFont(settings);

    const bool converted = convertFile(job, settings);
    if (converted) applyOutputTimestamp(job, settings);
    checkOutputFolder(converted, job);
    return 0;
}
