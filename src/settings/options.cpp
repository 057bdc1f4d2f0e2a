#include "settings/options.h"

#include "settings/choices.h"
#include "settings/keywords.h"
#include "settings/text.h"

namespace {

using CS = ConversionSettings;

template <typename T>
SettingOption keyword(const char* name, T CS::*field, int table, SwitchEffect sets = {}) {
    return {name, ValueRule::Keyword, field, table, sets, 1, kEverywhere};
}

SettingOption number(const char* name, int32 CS::*field, SwitchEffect sets = {}, unsigned places = kEverywhere) {
    return {name, ValueRule::Number, field, -1, sets, 1, places};
}

SettingOption decimal(const char* name, float32 CS::*field, SwitchEffect sets = {}) {
    return {name, ValueRule::Decimal, field, -1, sets, 1, kEverywhere};
}

SettingOption text(const char* name, std::string CS::*field, SwitchEffect sets = {}) {
    return {name, ValueRule::Text, field, -1, sets, 1, kEverywhere};
}

SettingOption flag(const char* name, uint8 CS::*field, int value = 1, SwitchEffect sets = {}) {
    return {name, ValueRule::Flag, field, -1, sets, value, kEverywhere};
}

constexpr SwitchEffect kRotationOn{&CS::DoImageRotation, 1};
constexpr SwitchEffect kResizeOn{&CS::DoImageResize, 1};
constexpr SwitchEffect kColorCorrectionOn{&CS::DoImageColorCorrection, 1};
constexpr SwitchEffect kThresholdOn{&CS::DoImageThreshold, 1};
constexpr SwitchEffect kDitherOn{&CS::DoImageDither, 1};
constexpr SwitchEffect kSolidFrame{&CS::DoFrame, storedValue(FrameKind::Solid)};
constexpr SwitchEffect kTextWatermark{&CS::DoWatermark, storedValue(WatermarkKind::Text)};
constexpr SwitchEffect kImageWatermark{&CS::DoWatermark, storedValue(WatermarkKind::Image)};

void storeInteger(uint8& field, int32 value) { field = static_cast<uint8>(value & 0xFF); }
void storeInteger(int32& field, int32 value) { field = value; }
void storeInteger(float32& field, int32 value) { field = static_cast<float32>(value); }
void storeInteger(std::string& field, int32 value) { field = std::to_string(value); }

void storeInteger(const SettingOption& option, int32 value, CS& settings) {
    std::visit([&](auto member) { storeInteger(settings.*member, value); }, option.field);
}

void storeText(const SettingOption& option, std::string_view value, CS& settings) {
    if (auto member = std::get_if<std::string CS::*>(&option.field)) settings.**member = std::string(value);
}

void storeDecimal(const SettingOption& option, std::string_view value, CS& settings) {
    if (auto member = std::get_if<float32 CS::*>(&option.field)) settings.**member = toFloat32(readDecimal(value));
}

}  // namespace

const std::vector<SettingOption>& settingOptions() {
    static const std::vector<SettingOption> table{
        // Input formats
        keyword("--DDS-LOAD-AS", &CS::DDSLoadAs, kDdsChannelOrder),
        keyword("--GIF-FRAME-LOADING", &CS::GIFFrameLoading, kFrameChoice),
        keyword("--ICO-FRAME-LOADING", &CS::ICOFrameLoading, kFrameChoice),
        keyword("--TIFF-FRAME-LOADING", &CS::TIFFFrameLoading, kFrameChoice),
        keyword("--PSD-COLOR-MODE", &CS::PSDColorMode, kColorMode),
        keyword("--RAW-LOAD-AS", &CS::RAWLoadAs, kRawDepth),
        number("--RAW-HEADER-SIZE", &CS::RAWHeaderSize),
        number("--RAW-WIDTH", &CS::RAWImageWidth),
        number("--RAW-HEIGHT", &CS::RAWImageHeight),
        keyword("--RAW-TONE-MAPPING", &CS::RAWToneMapping, kRawToneMapping),
        // Output formats
        number("--BMP-BPP", &CS::BMPBPP),
        keyword("--BMP-COMPRESSION", &CS::BMPCompression, kCompression),
        keyword("--BMP-COLOR-TABLE", &CS::BMPColorTable, kColorTable),
        number("--DDS-BPP", &CS::DDSBPP),
        keyword("--DDS-COMPRESSION", &CS::DDSCompression, kDdsCompression),
        number("--EXR-BPP", &CS::EXRBPP),
        keyword("--EXR-COMPRESSION", &CS::EXRCompression, kCompression),
        number("--GIF-BPP", &CS::GIFBPP),
        number("--HDR-BPP", &CS::HDRBPP),
        number("--ICO-BPP", &CS::ICOBPP),
        number("--J2K-BPP", &CS::J2KBPP),
        number("--JNG-BPP", &CS::JNGBPP),
        number("--JP2-BPP", &CS::JP2BPP),
        number("--JPG-BPP", &CS::JPGBPP),
        number("--JPG-QUALITY", &CS::JPGQuality),
        keyword("--JPG-CHROMA", &CS::JPGChroma, kChromaSubsampling),
        keyword("--JPG-SAVE-AS", &CS::JPGSaveAs, kJpegSaveMode),
        number("--JXR-BPP", &CS::JXRBPP),
        number("--PBM-BPP", &CS::PBMBPP),
        number("--PCX-BPP", &CS::PCXBPP),
        number("--PFM-BPP", &CS::PFMBPP),
        number("--PGM-BPP", &CS::PGMBPP),
        number("--PNG-BPP", &CS::PNGBPP),
        keyword("--PNG-COMPRESSION", &CS::PNGCompression, kCompression),
        flag("--PNG-INTERLACED", &CS::PNGInterlaced),
        number("--PPM-BPP", &CS::PPMBPP),
        number("--PSD-BPP", &CS::PSDBPP),
        number("--TGA-BPP", &CS::TGABPP),
        keyword("--TGA-COMPRESSION", &CS::TGACompression, kCompression),
        number("--TIFF-BPP", &CS::TIFFBPP),
        keyword("--TIFF-COMPRESSION", &CS::TIFFCompression, kCompression),
        keyword("--TIFF-COLOR-MODE", &CS::TIFFColorMode, kColorMode),
        number("--WBMP-BPP", &CS::WBMPBPP),
        number("--WEBP-BPP", &CS::WEBPBPP),
        number("--WEBP-QUALITY", &CS::WEBPQuality),
        number("--XPM-BPP", &CS::XPMBPP),
        // Geometry
        keyword("--ROTATION-TYPE", &CS::ImageRotationType, kRotationType),
        number("--ROTATION", &CS::TransformImageRotation, kRotationOn),
        text("--ROTATION-BACK-COLOR", &CS::ImageRotationBackColor),
        number("--WIDTH", &CS::ImageWidth, kResizeOn),
        keyword("--WIDTH-UNIT", &CS::ImageWidthUnit, kSizeUnit),
        number("--HEIGHT", &CS::ImageHeight, kResizeOn),
        keyword("--HEIGHT-UNIT", &CS::ImageHeightUnit, kSizeUnit),
        flag("--KEEP-ASPECT-RATIO", &CS::KeepAspectRatio),
        keyword("--RESIZE-TYPE", &CS::ImageResizeType, kResizeScope),
        keyword("--RESIZE-ALGORITHM", &CS::ImageResizeAlgorithm, kResamplingFilter),
        flag("--FLIP-HORIZONTAL", &CS::DoImageFlipHorizontal),
        flag("--FLIP-VERTICAL", &CS::DoImageFlipVertical),
        // Colour
        number("--BRIGHTNESS", &CS::ImageBrightness, kColorCorrectionOn),
        number("--CONTRAST", &CS::ImageContrast, kColorCorrectionOn),
        decimal("--GAMMA", &CS::ImageGamma, kColorCorrectionOn),
        flag("--INVERT", &CS::ImageInvert, 1, kColorCorrectionOn),
        flag("--GREYSCALE", &CS::DoImageGreyscale),
        number("--THRESHOLD", &CS::ImageThreshold, kThresholdOn),
        keyword("--DITHER", &CS::ImageDitherAlgorithm, kDither, kDitherOn),
        // Frame
        number("--FR-SOLID-LEFT", &CS::SolidLeft, kSolidFrame),
        number("--FR-SOLID-RIGHT", &CS::SolidRight, kSolidFrame),
        number("--FR-SOLID-TOP", &CS::SolidTop, kSolidFrame),
        number("--FR-SOLID-BOTTOM", &CS::SolidBottom, kSolidFrame),
        text("--FR-SOLID-LEFT-COLOR", &CS::SolidLeftColor),
        text("--FR-SOLID-RIGHT-COLOR", &CS::SolidRightColor),
        text("--FR-SOLID-TOP-COLOR", &CS::SolidTopColor),
        text("--FR-SOLID-BOTTOM-COLOR", &CS::SolidBottomColor),
        number("--FR-SOLID-OPACITY", &CS::SolidOpacity, {}, kOnCommandLine),
        number("--WM-SOLID-OPACITY", &CS::SolidOpacity, {}, kInProfile),
        // Watermark
        text("--WM-TEXT", &CS::Text, kTextWatermark),
        text("--WM-FONT", &CS::Font),
        number("--WM-FONT-SIZE", &CS::FontSize),
        number("--WM-FONT-LEADING", &CS::FontLeading),
        text("--WM-FONT-COLOR", &CS::FontColor),
        keyword("--WM-FONT-STYLE", &CS::FontStyle, kFontStyle),
        keyword("--WM-FONT-EFFECT", &CS::FontEffect, kFontEffect),
        flag("--WM-TEXT-ANTIALIASING", &CS::TextAntialiasing),
        keyword("--WM-TEXT-ALIGNMENT", &CS::TextAlignment, kTextAlignment),
        number("--WM-TEXT-PADDING", &CS::TextPadding),
        number("--WM-TEXT-OPACITY", &CS::TextOpacity),
        text("--WM-BACK-COLOR", &CS::BackColor),
        number("--WM-BACK-OPACITY", &CS::BackOpacity),
        keyword("--WM-TEXT-BOUNDARY", &CS::TextBoundary, kBoundary),
        keyword("--WM-TEXT-POSITION", &CS::TextPosition, kPosition),
        number("--WM-TEXT-X-OFFSET", &CS::TextXOffset),
        number("--WM-TEXT-Y-OFFSET", &CS::TextYOffset),
        number("--WM-TEXT-ROTATION", &CS::TextRotation),
        keyword("--WM-TEXT-SIZE", &CS::TextSize, kSizeMode),
        text("--WM-IMAGE", &CS::Image, kImageWatermark),
        flag("--WM-IMAGE-GREYSCALE", &CS::ImageGreyscale),
        number("--WM-IMAGE-OPACITY", &CS::ImageOpacity),
        keyword("--WM-IMAGE-BOUNDARY", &CS::ImageBoundary, kBoundary),
        keyword("--WM-IMAGE-POSITION", &CS::ImagePosition, kPosition),
        number("--WM-IMAGE-X-OFFSET", &CS::ImageXOffset),
        number("--WM-IMAGE-Y-OFFSET", &CS::ImageYOffset),
        number("--WM-IMAGE-ROTATION", &CS::WatermarkImageRotation),
        keyword("--WM-IMAGE-SIZE", &CS::ImageSize, kSizeMode),
        // Naming and files
        text("--FILENAME-MASK", &CS::FilenameMask),
        keyword("--FILE-TIMESTAMP", &CS::FileTimestamp, kTimestampSource),
        number("--FILE-TIMESTAMP-CUSTOM", &CS::CustomTimestamp),
        flag("--NO-SUBFOLDERS", &CS::KeepSubfolders, 0),
    };
    return table;
}

const SettingOption* findSettingOption(std::string_view upperName, OptionPlace place) {
    for (const SettingOption& option : settingOptions())
        if ((option.places & place) != 0 && upperName == option.name) return &option;
    return nullptr;
}

void applySettingOption(const SettingOption& option, std::string_view value, ConversionSettings& settings) {
    switch (option.rule) {
        case ValueRule::Keyword: storeInteger(option, KeywordToValue(option.keywordTable, trimSpaces(value)), settings); break;
        case ValueRule::Number: storeInteger(option, readInteger(value), settings); break;
        case ValueRule::Decimal: storeDecimal(option, value, settings); break;
        case ValueRule::Text: storeText(option, value, settings); break;
        case ValueRule::Flag: storeInteger(option, option.flagValue, settings); break;
    }
    if (option.sets.field) settings.*option.sets.field = option.sets.value;
}
