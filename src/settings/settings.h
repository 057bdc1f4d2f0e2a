// The two process-wide settings records. Every field is named after its
// configuration key with the blanks removed ("Do Image Resize" is
// DoImageResize); a key that exists in two groups carries its group as a
// prefix (InputFormat / OutputFormat, TransformImageRotation /
// WatermarkImageRotation).
//
// Field types follow the configuration file: bool8 and uint8 are one byte
// (any non-zero bool8 counts as on), int32 and float32 are four bytes.
#pragma once

#include <cstdint>
#include <string>

using bool8 = std::uint8_t;
using uint8 = std::uint8_t;
using int32 = std::int32_t;
using float32 = float;

struct InterfaceSettings {
    // General
    int32 CFG = 19;
    std::string Language = "en";
    int32 UpdateRange = 2;
    int32 UpdateDate = 0;
    bool8 SaveWindowPosition = 1;
    // Window
    bool8 IsMaximized = 0;
    int32 X = 100;
    int32 Y = 100;
    int32 Width = 510;
    int32 Height = 260;
    // Interface
    std::string UITheme = "handdrawn";
    int32 UISize = 2;
    // Advanced (interface half)
    bool8 OutFoldersHistory = 1;
    uint8 OutFoldersNumber = 5;
    // File
    std::string RecentOutFolders;
    std::string RecentFiles;
    // Privacy
    bool8 CleanRecentFiles = 0;
};

struct ConversionSettings {
    // Input
    std::string InputFormat = "png";
    int32 DDSLoadAs = 0;
    int32 GIFFrameLoading = 0;
    int32 ICOFrameLoading = 0;
    int32 TIFFFrameLoading = 0;
    int32 PSDColorMode = 0;
    int32 RAWLoadAs = 0;
    int32 RAWHeaderSize = 0;
    int32 RAWImageWidth = 0;
    int32 RAWImageHeight = 0;
    int32 RAWToneMapping = 2;

    // Output
    std::string OutputFormat = "dds";
    int32 BMPBPP = 0;
    int32 BMPCompression = 0;
    int32 BMPColorTable = 0;
    int32 DDSBPP = 0;
    int32 DDSCompression = 0;  // DdsCompression (settings/choices.h)
    int32 EXRBPP = 0;
    int32 EXRCompression = 0;
    int32 GIFBPP = 0;
    int32 HDRBPP = 0;
    int32 ICOBPP = 0;
    int32 J2KBPP = 0;
    int32 JNGBPP = 0;
    int32 JP2BPP = 0;
    int32 JPGBPP = 0;
    int32 JPGQuality = 95;
    int32 JPGChroma = 0;
    int32 JPGSaveAs = 0;
    int32 JXRBPP = 0;
    int32 PBMBPP = 0;
    int32 PCXBPP = 0;
    int32 PFMBPP = 0;
    int32 PGMBPP = 0;
    int32 PNGBPP = 0;
    int32 PNGCompression = 0;
    bool8 PNGInterlaced = 0;
    int32 PPMBPP = 0;
    int32 PSDBPP = 0;
    int32 TGABPP = 0;
    int32 TGACompression = 0;
    int32 TIFFBPP = 0;
    int32 TIFFCompression = 0;
    int32 TIFFColorMode = 0;
    int32 WBMPBPP = 0;
    int32 WEBPBPP = 0;
    int32 WEBPQuality = 100;
    int32 XPMBPP = 0;

    // Transform
    bool8 DoImageRotation = 0;
    uint8 ImageRotationType = 0;
    int32 TransformImageRotation = 0;
    std::string ImageRotationBackColor = "000000";
    bool8 DoImageResize = 0;
    int32 ImageWidth = 0;
    uint8 ImageWidthUnit = 0;
    int32 ImageHeight = 0;
    uint8 ImageHeightUnit = 0;
    bool8 KeepAspectRatio = 1;
    uint8 ImageResizeType = 0;
    uint8 ImageResizeAlgorithm = 3;
    bool8 DoImageFlipHorizontal = 0;
    bool8 DoImageFlipVertical = 0;

    // Adjustment
    bool8 DoImageColorCorrection = 0;
    int32 ImageBrightness = 0;
    int32 ImageContrast = 0;
    float32 ImageGamma = 1.0f;
    bool8 ImageInvert = 0;
    bool8 DoImageGreyscale = 0;
    bool8 DoImageThreshold = 0;
    int32 ImageThreshold = 0;
    bool8 DoImageDither = 0;
    uint8 ImageDitherAlgorithm = 0;

    // Frame
    uint8 DoFrame = 0;
    int32 SolidLeft = 0;
    int32 SolidRight = 0;
    int32 SolidTop = 0;
    int32 SolidBottom = 0;
    std::string SolidLeftColor = "000000";
    std::string SolidRightColor = "000000";
    std::string SolidTopColor = "000000";
    std::string SolidBottomColor = "000000";
    int32 SolidOpacity = 255;

    // Watermark
    uint8 DoWatermark = 0;
    std::string Text;
    std::string Fonts = "Arial,Tahoma,Verdana";
    std::string Font = "Arial";
    int32 FontSize = 14;
    int32 FontLeading = 0;
    std::string FontColors = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";
    std::string FontColor = "FFFFFF";
    uint8 FontStyle = 0;
    uint8 FontEffect = 0;
    bool8 TextAntialiasing = 0;
    uint8 TextAlignment = 0;
    int32 TextPadding = 0;
    int32 TextOpacity = 255;
    std::string BackColors = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";
    std::string BackColor = "000000";
    int32 BackOpacity = 1;
    uint8 TextBoundary = 0;
    uint8 TextPosition = 8;
    int32 TextXOffset = 10;
    int32 TextYOffset = 10;
    int32 TextRotation = 0;
    uint8 TextSize = 0;
    int32 TextScale = 10;
    std::string Image;
    bool8 ImageGreyscale = 0;
    int32 ImageOpacity = 255;
    uint8 ImageBoundary = 0;
    uint8 ImagePosition = 8;
    int32 ImageXOffset = 10;
    int32 ImageYOffset = 10;
    int32 WatermarkImageRotation = 0;
    uint8 ImageSize = 0;
    int32 ImageScale = 10;

    // Advanced (conversion half)
    std::string FilenameMask = "%filename%.%ext%";
    uint8 FileTimestamp = 0;
    int32 CustomTimestamp = 0;
    bool8 KeepSubfolders = 1;
};

// Fills both records with their defaults. commandLineMode differs only in
// Keep Aspect Ratio, which is off for a console run.
void ResetToDefaults(ConversionSettings& conversion, InterfaceSettings& interface,
                     bool commandLineMode);
