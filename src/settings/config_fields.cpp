#include "settings/config_fields.h"

namespace {

using CS = ConversionSettings;
using IS = InterfaceSettings;

template <typename T>
ConfigField ui(const char* group, const char* key, T IS::*member, WriteRule rule = WriteRule::Always) {
    return {group, key, FieldPtr<IS>{member}, rule, ""};
}

template <typename T>
ConfigField conv(const char* group, const char* key, T CS::*member) {
    return {group, key, FieldPtr<CS>{member}, WriteRule::Always, ""};
}

template <typename T>
ConfigField input(const char* format, const char* key, T CS::*member) {
    return {"Input", key, FieldPtr<CS>{member}, WriteRule::InputFormat, format};
}

template <typename T>
ConfigField output(const char* format, const char* key, T CS::*member) {
    return {"Output", key, FieldPtr<CS>{member}, WriteRule::OutputFormat, format};
}

template <typename Visit, typename Conversion, typename Interface>
auto visitField(const ConfigField& row, Conversion& conversion, Interface& interface, Visit visit) {
    if (const auto* field = std::get_if<FieldPtr<IS>>(&row.field))
        return std::visit([&](auto member) { return visit(interface.*member); }, *field);
    return std::visit([&](auto member) { return visit(conversion.*member); }, std::get<FieldPtr<CS>>(row.field));
}

}  // namespace

const std::vector<const char*>& configGroups() {
    static const std::vector<const char*> groups{"General", "Window", "Interface", "Input", "Output", "Transform",
                                                 "Adjustment", "Frame", "Watermark", "Advanced", "File", "Privacy"};
    return groups;
}

const std::vector<ConfigField>& configFields() {
    constexpr WriteRule kWindow = WriteRule::WithWindowPosition;
    static const std::vector<ConfigField> table{
        ui("General", "CFG", &IS::CFG),
        ui("General", "Language", &IS::Language),
        ui("General", "Update Range", &IS::UpdateRange),
        ui("General", "Update Date", &IS::UpdateDate),
        ui("General", "Save Window Position", &IS::SaveWindowPosition),
        ui("Window", "IsMaximized", &IS::IsMaximized, kWindow),
        ui("Window", "Width", &IS::Width, kWindow),
        ui("Window", "Height", &IS::Height, kWindow),
        ui("Window", "X", &IS::X, kWindow),
        ui("Window", "Y", &IS::Y, kWindow),
        ui("Interface", "UI Theme", &IS::UITheme),
        ui("Interface", "UI Size", &IS::UISize),

        conv("Input", "Format", &CS::InputFormat),
        input("dds", "DDS Load As", &CS::DDSLoadAs),
        input("gif", "GIF Frame Loading", &CS::GIFFrameLoading),
        input("ico", "ICO Frame Loading", &CS::ICOFrameLoading),
        input("psd", "PSD Color Mode", &CS::PSDColorMode),
        input("raw", "RAW Load As", &CS::RAWLoadAs),
        input("raw", "RAW Header Size", &CS::RAWHeaderSize),
        input("raw", "RAW Image Width", &CS::RAWImageWidth),
        input("raw", "RAW Image Height", &CS::RAWImageHeight),
        input("raw", "RAW Tone Mapping", &CS::RAWToneMapping),
        input("tiff", "TIFF Frame Loading", &CS::TIFFFrameLoading),

        conv("Output", "Format", &CS::OutputFormat),
        output("bmp", "BMP BPP", &CS::BMPBPP),
        output("bmp", "BMP Compression", &CS::BMPCompression),
        output("bmp", "BMP Color Table", &CS::BMPColorTable),
        output("dds", "DDS BPP", &CS::DDSBPP),
        output("dds", "DDS Compression", &CS::DDSCompression),
        output("exr", "EXR BPP", &CS::EXRBPP),
        output("exr", "EXR Compression", &CS::EXRCompression),
        output("gif", "GIF BPP", &CS::GIFBPP),
        output("hdr", "HDR BPP", &CS::HDRBPP),
        output("ico", "ICO BPP", &CS::ICOBPP),
        output("j2k", "J2K BPP", &CS::J2KBPP),
        output("jng", "JNG BPP", &CS::JNGBPP),
        output("jp2", "JP2 BPP", &CS::JP2BPP),
        output("jpg", "JPG BPP", &CS::JPGBPP),
        output("jpg", "JPG Quality", &CS::JPGQuality),
        output("jpg", "JPG Chroma", &CS::JPGChroma),
        output("jpg", "JPG Save As", &CS::JPGSaveAs),
        output("jxr", "JXR BPP", &CS::JXRBPP),
        output("pbm", "PBM BPP", &CS::PBMBPP),
        output("pcx", "PCX BPP", &CS::PCXBPP),
        output("pfm", "PFM BPP", &CS::PFMBPP),
        output("pgm", "PGM BPP", &CS::PGMBPP),
        output("png", "PNG BPP", &CS::PNGBPP),
        output("png", "PNG Compression", &CS::PNGCompression),
        output("png", "PNG Interlaced", &CS::PNGInterlaced),
        output("ppm", "PPM BPP", &CS::PPMBPP),
        output("psd", "PSD BPP", &CS::PSDBPP),
        output("tga", "TGA BPP", &CS::TGABPP),
        output("tga", "TGA Compression", &CS::TGACompression),
        output("tiff", "TIFF BPP", &CS::TIFFBPP),
        output("tiff", "TIFF Compression", &CS::TIFFCompression),
        output("tiff", "TIFF Color Mode", &CS::TIFFColorMode),
        output("wbmp", "WBMP BPP", &CS::WBMPBPP),
        output("webp", "WEBP BPP", &CS::WEBPBPP),
        output("webp", "WEBP Quality", &CS::WEBPQuality),
        output("xpm", "XPM BPP", &CS::XPMBPP),

        conv("Transform", "Do Image Rotation", &CS::DoImageRotation),
        conv("Transform", "Image Rotation Type", &CS::ImageRotationType),
        conv("Transform", "Image Rotation", &CS::TransformImageRotation),
        conv("Transform", "Image Rotation Back Color", &CS::ImageRotationBackColor),
        conv("Transform", "Do Image Resize", &CS::DoImageResize),
        conv("Transform", "Image Width", &CS::ImageWidth),
        conv("Transform", "Image Width Unit", &CS::ImageWidthUnit),
        conv("Transform", "Image Height", &CS::ImageHeight),
        conv("Transform", "Image Height Unit", &CS::ImageHeightUnit),
        conv("Transform", "Keep Aspect Ratio", &CS::KeepAspectRatio),
        conv("Transform", "Image Resize Type", &CS::ImageResizeType),
        conv("Transform", "Image Resize Algorithm", &CS::ImageResizeAlgorithm),
        conv("Transform", "Do Image Flip Horizontal", &CS::DoImageFlipHorizontal),
        conv("Transform", "Do Image Flip Vertical", &CS::DoImageFlipVertical),

        conv("Adjustment", "Do Image Color Correction", &CS::DoImageColorCorrection),
        conv("Adjustment", "Image Brightness", &CS::ImageBrightness),
        conv("Adjustment", "Image Contrast", &CS::ImageContrast),
        conv("Adjustment", "Image Gamma", &CS::ImageGamma),
        conv("Adjustment", "Image Invert", &CS::ImageInvert),
        conv("Adjustment", "Do Image Greyscale", &CS::DoImageGreyscale),
        conv("Adjustment", "Do Image Threshold", &CS::DoImageThreshold),
        conv("Adjustment", "Image Threshold", &CS::ImageThreshold),
        conv("Adjustment", "Do Image Dither", &CS::DoImageDither),
        conv("Adjustment", "Image Dither Algorithm", &CS::ImageDitherAlgorithm),

        conv("Frame", "Do Frame", &CS::DoFrame),
        conv("Frame", "Solid Left", &CS::SolidLeft),
        conv("Frame", "Solid Right", &CS::SolidRight),
        conv("Frame", "Solid Top", &CS::SolidTop),
        conv("Frame", "Solid Bottom", &CS::SolidBottom),
        conv("Frame", "Solid Left Color", &CS::SolidLeftColor),
        conv("Frame", "Solid Right Color", &CS::SolidRightColor),
        conv("Frame", "Solid Top Color", &CS::SolidTopColor),
        conv("Frame", "Solid Bottom Color", &CS::SolidBottomColor),
        conv("Frame", "Solid Opacity", &CS::SolidOpacity),

        conv("Watermark", "Do Watermark", &CS::DoWatermark),
        conv("Watermark", "Text", &CS::Text),
        conv("Watermark", "Fonts", &CS::Fonts),
        conv("Watermark", "Font", &CS::Font),
        conv("Watermark", "Font Size", &CS::FontSize),
        conv("Watermark", "Font Leading", &CS::FontLeading),
        conv("Watermark", "Font Colors", &CS::FontColors),
        conv("Watermark", "Font Color", &CS::FontColor),
        conv("Watermark", "Font Style", &CS::FontStyle),
        conv("Watermark", "Font Effect", &CS::FontEffect),
        conv("Watermark", "Text Antialiasing", &CS::TextAntialiasing),
        conv("Watermark", "Text Alignment", &CS::TextAlignment),
        conv("Watermark", "Text Padding", &CS::TextPadding),
        conv("Watermark", "Text Opacity", &CS::TextOpacity),
        conv("Watermark", "Back Colors", &CS::BackColors),
        conv("Watermark", "Back Color", &CS::BackColor),
        conv("Watermark", "Back Opacity", &CS::BackOpacity),
        conv("Watermark", "Text Boundary", &CS::TextBoundary),
        conv("Watermark", "Text Position", &CS::TextPosition),
        conv("Watermark", "Text X Offset", &CS::TextXOffset),
        conv("Watermark", "Text Y Offset", &CS::TextYOffset),
        conv("Watermark", "Text Rotation", &CS::TextRotation),
        conv("Watermark", "Text Size", &CS::TextSize),
        conv("Watermark", "Text Scale", &CS::TextScale),
        conv("Watermark", "Image", &CS::Image),
        conv("Watermark", "Image Greyscale", &CS::ImageGreyscale),
        conv("Watermark", "Image Opacity", &CS::ImageOpacity),
        conv("Watermark", "Image Boundary", &CS::ImageBoundary),
        conv("Watermark", "Image Position", &CS::ImagePosition),
        conv("Watermark", "Image X Offset", &CS::ImageXOffset),
        conv("Watermark", "Image Y Offset", &CS::ImageYOffset),
        conv("Watermark", "Image Rotation", &CS::WatermarkImageRotation),
        conv("Watermark", "Image Size", &CS::ImageSize),
        conv("Watermark", "Image Scale", &CS::ImageScale),

        conv("Advanced", "Filename Mask", &CS::FilenameMask),
        conv("Advanced", "File Timestamp", &CS::FileTimestamp),
        conv("Advanced", "Custom Timestamp", &CS::CustomTimestamp),
        ui("Advanced", "Out Folders History", &IS::OutFoldersHistory),
        ui("Advanced", "Out Folders Number", &IS::OutFoldersNumber),
        conv("Advanced", "Keep Subfolders", &CS::KeepSubfolders),

        ui("File", "Recent Out Folders", &IS::RecentOutFolders),
        ui("File", "Recent Files", &IS::RecentFiles),

        ui("Privacy", "Clean Recent Files", &IS::CleanRecentFiles),
    };
    return table;
}

std::string configFieldText(const ConfigField& row, const ConversionSettings& conversion,
                            const InterfaceSettings& interface) {
    return visitField(row, conversion, interface, [](const auto& value) { return configValueText(value); });
}

void assignConfigField(const ConfigField& row, std::string_view text, ConversionSettings& conversion,
                       InterfaceSettings& interface) {
    visitField(row, conversion, interface, [&](auto& value) { assignConfigText(value, text); });
}
