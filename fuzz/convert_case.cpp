#include "convert_case.h"

#include <dirent.h>
#include <sys/stat.h>

#include <array>
#include <climits>
#include <cstdio>
#include <map>
#include <utility>

#include "batch/worker.h"
#include "engine/convert.h"
#include "engine/dds_save.h"
#include "engine/watermark_font.h"
#include "settings/batch_job.h"

namespace {

struct HeaderReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t byte() {
        const std::uint8_t value = at < size && at < kCaseHeaderSize ? data[at] : 0;
        ++at;
        return value;
    }
};

// Values that have broken arithmetic before: limits, zero, signs, sides
// just beyond the image limit (refused at once), and full turns. Sizes the
// limit lets through stay at 2048, so that every case runs in seconds: a
// 16384-pixel side is legal, and then only slow.
constexpr std::array<std::int32_t, 24> kExtremes{
    0,    1,     -1,    2,      90,    180,    270,      360,     -90,         45,      1000,        -1000,
    2048, 16385, 65535, 100000, 46341, -46341, 99999999, INT_MAX, INT_MAX - 1, INT_MIN, INT_MIN + 1, 1 << 30};

// Small values most of the time, an extreme value otherwise.
std::int32_t pickNumber(HeaderReader& header) {
    const std::uint8_t selector = header.byte();
    if (selector < 160) return static_cast<std::int32_t>(selector) - 40;
    return kExtremes[selector % kExtremes.size()];
}

// For the text box (leading, padding): a box side the canvas accepts but
// that is far beyond the image is legal and only slow to rotate, so such
// values become 2048; values past the canvas limit are refused at once and
// stay.
std::int32_t pickBoxNumber(HeaderReader& header) {
    const std::int32_t value = pickNumber(header);
    const std::int64_t magnitude = value < 0 ? -std::int64_t{value} : value;
    return magnitude > 2048 && magnitude <= 32767 ? 2048 : value;
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
    "tab\there\nnewline\r\nend"};

constexpr std::array<const char*, 8> kMasks{
    "%filename%.%ext%", "", "%width%x%height%-%bpp%.dds", "%rnd%_%n%", "%EXT[U]%%FILENAME[T]%", "no/such/folder/x.dds",
    "%filename%%filename%%filename%%filename%", "\xFF\xFE.dds"};

constexpr std::array<int, 4> kFontSizes{14, 1, 200, 0};

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

void chooseWatermark(HeaderReader& header, ConversionSettings& settings) {
    settings.DoWatermark = header.byte() % 4;  // 3 is no known kind
    settings.Text = kTexts[header.byte() % kTexts.size()];
    const std::uint8_t style = header.byte();
    settings.FontSize = kFontSizes[style % kFontSizes.size()];
    settings.FontStyle = (style >> 2) % 4;
    settings.FontEffect = (style >> 4) % 3;
    settings.TextAntialiasing = (style >> 6) & 1;
    settings.TextBoundary = style >> 7;
    settings.ImageBoundary = style >> 7;
    settings.FontLeading = pickBoxNumber(header);
    settings.TextPadding = pickBoxNumber(header);
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
}

void chooseNaming(HeaderReader& header, ConversionSettings& settings) {
    const std::uint8_t naming = header.byte();
    settings.FilenameMask = kMasks[naming % kMasks.size()];
    settings.FileTimestamp = (naming >> 3) % 3;
    settings.CustomTimestamp = pickNumber(header);
}

// After the naming: the header's 35th byte, so the earlier cases keep
// their meaning. 5 is a value without a keyword.
void chooseCompression(HeaderReader& header, ConversionSettings& settings) {
    settings.DDSCompression = header.byte() % 6;
}

// One font per size, style and effect, created on first use and kept:
// creating a font is slow, and a console run creates one per run anyway.
const WatermarkFont* watermarkFont(const ConversionSettings& settings) {
    static std::map<std::pair<int, int>, WatermarkFontPtr> fonts;
    const std::pair key{settings.FontSize, settings.FontStyle * 8 + settings.FontEffect};
    auto found = fonts.find(key);
    if (found == fonts.end()) found = fonts.emplace(key, createWatermarkFont(settings)).first;
    return found->second.get();
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

void writeFile(const std::string& path, std::string_view bytes) {
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

}  // namespace

ConvertCase decodeConvertCase(const std::uint8_t* data, std::size_t size) {
    ConvertCase convertCase;
    HeaderReader header{data, size};
    chooseGeometry(header, convertCase.settings);
    chooseColorStages(header, convertCase.settings);
    chooseFrame(header, convertCase.settings);
    chooseWatermark(header, convertCase.settings);
    chooseNaming(header, convertCase.settings);
    chooseCompression(header, convertCase.settings);
    const std::size_t fileStart = size < kCaseHeaderSize ? size : kCaseHeaderSize;
    convertCase.file = std::string_view(reinterpret_cast<const char*>(data) + fileStart, size - fileStart);
    return convertCase;
}

std::string describeConvertCase(const ConvertCase& convertCase) {
    const ConversionSettings& s = convertCase.settings;
    char line[2048];
    std::snprintf(line, sizeof line,
                  "file %zu bytes; rotation %d type %d angle %d; resize %d %d/%d x %d/%d keep %d type %d algo %d; "
                  "flips %d %d; color %d b %d c %d g %.2f inv %d; grey %d; threshold %d %d; dither %d %d; bpp %d; "
                  "frame %d %d %d %d %d opacity %d; watermark %d text \"%s\" size %d style %d effect %d aa %d "
                  "leading %d padding %d align %d position %d opacity %d/%d offset %d,%d rotation %d boundary %d; "
                  "mask \"%s\" timestamp %d %d",
                  convertCase.file.size(), s.DoImageRotation, s.ImageRotationType, s.TransformImageRotation,
                  s.DoImageResize, s.ImageWidth, s.ImageWidthUnit, s.ImageHeight, s.ImageHeightUnit, s.KeepAspectRatio,
                  s.ImageResizeType, s.ImageResizeAlgorithm, s.DoImageFlipHorizontal, s.DoImageFlipVertical,
                  s.DoImageColorCorrection, s.ImageBrightness, s.ImageContrast, static_cast<double>(s.ImageGamma),
                  s.ImageInvert, s.DoImageGreyscale, s.DoImageThreshold, s.ImageThreshold, s.DoImageDither,
                  s.ImageDitherAlgorithm, s.DDSBPP, s.DoFrame, s.SolidLeft, s.SolidRight, s.SolidTop, s.SolidBottom,
                  s.SolidOpacity, s.DoWatermark, s.Text.c_str(), s.FontSize, s.FontStyle, s.FontEffect,
                  s.TextAntialiasing, s.FontLeading, s.TextPadding, s.TextAlignment, s.TextPosition, s.TextOpacity,
                  s.BackOpacity, s.TextXOffset, s.TextYOffset, s.TextRotation, s.TextBoundary, s.FilenameMask.c_str(),
                  s.FileTimestamp, s.CustomTimestamp);
    return line;
}

ConvertCaseResult runConvertCase(const ConvertCase& convertCase, const std::string& folder) {
    initDdsWriter();
    const std::string inputPath = folder + "in.png";
    const std::string outputFolder = folder + "out/";
    mkdir(outputFolder.c_str(), 0700);
    writeFile(inputPath, convertCase.file);
    ConversionSettings settings = convertCase.settings;
    settings.Image = inputPath;  // the input itself, when it is a picture

    BatchJob job;
    job.outputFolder = outputFolder;
    job.outputExtension = "dds";
    job.inputPath = inputPath;
    job.targetBitDepth = settings.DDSBPP;
    job.autoBitDepth = settings.DDSBPP == 0;
    if (settings.DoWatermark == 1) job.watermarkFont = watermarkFont(settings);

    ConvertCaseResult result;
    result.converted = convertFile(job, settings);
    if (result.converted) applyOutputTimestamp(job, settings);
    for (const std::string& name : folderEntries(outputFolder)) {
        const std::string path = outputFolder + name;
        if (!result.converted || path != job.outputPath) result.leftovers.push_back(name);
        std::remove(path.c_str());
    }
    return result;
}
