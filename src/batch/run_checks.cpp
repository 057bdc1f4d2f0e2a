#include "batch/run_checks.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/dds_save.h"
#include "settings/choices.h"
#include "settings/formats.h"
#include "settings/paths.h"

namespace {

struct CheckWords {
    RunCheck check;
    std::string_view words;
};

constexpr CheckWords kCheckWords[] = {
    {RunCheck::InvalidInput, "Invalid input file"},
    {RunCheck::EmptyOutputFolder, "Invalid output folder"},
    {RunCheck::IncorrectOutputFolder, "Incorrect output folder"},
    {RunCheck::InvalidOutputFolder, "Invalid output folder"},
    {RunCheck::InvalidConversionType, "Invalid conversion type"},
    {RunCheck::InvalidBitDepth, "Invalid dds-bpp value"},
    {RunCheck::InvalidCompression, "Invalid dds-compression value"},
    {RunCheck::InvalidWidth, "Invalid width value"},
    {RunCheck::InvalidHeight, "Invalid height value"},
    {RunCheck::InvalidBrightness, "Invalid brightness value"},
    {RunCheck::InvalidContrast, "Invalid contrast value"},
    {RunCheck::InvalidGamma, "Invalid gamma value"},
    {RunCheck::EmptyWatermarkImage, "Invalid watermark image"},
    {RunCheck::InvalidWatermarkImage, "Invalid watermark image"},
    {RunCheck::InvalidWatermarkFont, "Invalid watermark font"},
};

bool inPercentRange(int value) { return value >= -100 && value <= 100; }

struct ValueCheck {
    bool (*applies)(const ConversionSettings&);
    bool (*valid)(const ConversionSettings&);
    RunCheck failure;
};

bool always(const ConversionSettings&) { return true; }
bool resizing(const ConversionSettings& s) { return s.DoImageResize != 0; }
bool correctingColour(const ConversionSettings& s) { return s.DoImageColorCorrection != 0; }

const ValueCheck kValueChecks[] = {
    {always, validBitDepth, RunCheck::InvalidBitDepth},
    {always, validCompression, RunCheck::InvalidCompression},
    {resizing, validWidth, RunCheck::InvalidWidth},
    {resizing, validHeight, RunCheck::InvalidHeight},
    {correctingColour, validBrightness, RunCheck::InvalidBrightness},
    {correctingColour, validContrast, RunCheck::InvalidContrast},
    {correctingColour, validGamma, RunCheck::InvalidGamma},
};

}  // namespace

std::string_view runCheckWords(RunCheck check) {
    for (const CheckWords& entry : kCheckWords)
        if (entry.check == check) return entry.words;
    return {};
}

bool validBitDepth(const ConversionSettings& settings) {
    const std::vector<int> depths = listedDepths("dds");
    return settings.DDSBPP == 0 || std::ranges::find(depths, settings.DDSBPP) != depths.end();
}

// The command line and profiles store only listed keywords; a number
// outside the list comes from a hand-edited configuration file.
bool validCompression(const ConversionSettings& settings) {
    return settings.DDSCompression >= 0 && std::cmp_less(settings.DDSCompression, kDdsCompressionKeywords.size());
}

bool validWidth(const ConversionSettings& settings) { return settings.ImageWidth != 0; }
bool validHeight(const ConversionSettings& settings) { return settings.ImageHeight != 0; }
bool validBrightness(const ConversionSettings& settings) { return inPercentRange(settings.ImageBrightness); }
bool validContrast(const ConversionSettings& settings) { return inPercentRange(settings.ImageContrast); }

// A NaN gamma (the number reader accepts "NaN") fails both comparisons and
// so is refused.
bool validGamma(const ConversionSettings& settings) { return settings.ImageGamma >= 0.01f && settings.ImageGamma <= 9.99f; }

RunCheck checkOutputFolderExists(const std::string& folder) {
    if (folder.empty()) return RunCheck::EmptyOutputFolder;
    return fileSizeQuery(folder) == -2 ? RunCheck::Ok : RunCheck::InvalidOutputFolder;
}

RunCheck checkSettingValues(const ConversionSettings& settings) {
    for (const ValueCheck& check : kValueChecks)
        if (check.applies(settings) && !check.valid(settings)) return check.failure;
    return RunCheck::Ok;
}

RunCheck checkWatermarkImage(const ConversionSettings& settings) {
    if (choiceOf<WatermarkKind>(settings.DoWatermark) != WatermarkKind::Image) return RunCheck::Ok;
    if (settings.Image.empty()) return RunCheck::EmptyWatermarkImage;
    return fileSizeQuery(settings.Image) > 0 ? RunCheck::Ok : RunCheck::InvalidWatermarkImage;
}

RunCheck prepareRun(BatchJob& job, const ConversionSettings& settings, WatermarkFontPtr& font) {
    if (choiceOf<WatermarkKind>(settings.DoWatermark) == WatermarkKind::Text) {
        font = createWatermarkFont(settings);
        if (!font) return RunCheck::InvalidWatermarkFont;
    }
    job.watermarkFont = font.get();
    job.targetBitDepth = settings.DDSBPP;
    job.autoBitDepth = settings.DDSBPP == 0;
    initDdsWriter();  // before the worker starts: it settles how the worker allocates
    return RunCheck::Ok;
}
