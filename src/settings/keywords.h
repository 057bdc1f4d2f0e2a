// Keyword tables of the choice-valued options: a field stores the index of
// its keyword; the command line and profiles write the keyword, the debug
// summary prints it back in lower case.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

enum KeywordTableId : int {
    kDdsChannelOrder = 0,
    kRawDepth = 1,
    kFrameChoice = 2,
    kRawToneMapping = 3,
    kCompression = 4,
    kColorTable = 5,
    kColorMode = 6,
    kChromaSubsampling = 7,
    kJpegSaveMode = 8,
    kRotationType = 9,
    kSizeUnit = 10,
    kResizeScope = 11,
    kResamplingFilter = 12,
    kDither = 13,
    kFrameKind = 14,
    kWatermarkKind = 15,
    kFontStyle = 16,
    kFontEffect = 17,
    kTextAlignment = 18,
    kBoundary = 19,
    kPosition = 20,
    kSizeMode = 21,
    kTimestampSource = 22,
    kDdsCompression = 23,
};

// The tables whose values have names in code (settings/choices.h): a
// keyword's position is its value.
inline constexpr std::array<std::string_view, 2> kRotationTypeKeywords{"SIMPLE", "ADVANCED"};
inline constexpr std::array<std::string_view, 2> kSizeUnitKeywords{"PIXELS", "PERCENT"};
inline constexpr std::array<std::string_view, 2> kResizeScopeKeywords{"ALLIMAGES", "LARGEIMAGES"};
inline constexpr std::array<std::string_view, 2> kFrameKindKeywords{"NONE", "SOLID"};
inline constexpr std::array<std::string_view, 3> kWatermarkKindKeywords{"NONE", "TEXT", "IMAGE"};
inline constexpr std::array<std::string_view, 4> kFontStyleKeywords{"REGULAR", "BOLD", "ITALIC", "BOLDITALIC"};
inline constexpr std::array<std::string_view, 3> kFontEffectKeywords{"NONE", "UNDERLINE", "STRIKETHROUGHT"};
inline constexpr std::array<std::string_view, 3> kTextAlignmentKeywords{"LEFT", "CENTER", "RIGHT"};
inline constexpr std::array<std::string_view, 2> kBoundaryKeywords{"IMAGE", "FRAME"};
inline constexpr std::array<std::string_view, 3> kTimestampSourceKeywords{"CURRENT", "ORIGINAL", "CUSTOM"};
// Its own table: the shared compression table names 0 "none".
inline constexpr std::array<std::string_view, 5> kDdsCompressionKeywords{"AUTO", "DXT1", "DXT5", "BC7", "NONE"};

// The value of a keyword, compared after upper-casing (no trimming); 0 for
// an unknown keyword or table.
int KeywordToValue(int tableId, std::string_view text);

// The lower-case keyword of a value; "" when the value has none. For the
// compression table the keyword comes from the group of `compressionFormat`
// ("bmp", "tga", "exr", "png" or "tiff"), with "none" for 0.
std::string ValueToKeyword(int tableId, int value, std::string_view compressionFormat = "");

// Every keyword of a table in lower case, in value order: what the user may
// write. For the compression table only "none" and the group of
// `compressionFormat`; an unknown table gives an empty list.
std::vector<std::string> keywordList(int tableId, std::string_view compressionFormat = "");
