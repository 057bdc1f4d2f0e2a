#include "settings/keywords.h"

#include <vector>

#include "settings/text.h"

namespace {

struct Keyword {
    std::string_view text;
    int value;
    const char* group;  // compression table only: the formats whose group it is
};

// The compression table holds one group per output format, each numbered
// from 0, so the same value stands for different keywords.
const std::vector<Keyword> kCompressionTable{
    {"NONE", 0, ""},
    {"RLE", 1, "bmp,tga"},
    {"ZIP", 1, "exr"}, {"PIZ", 2, "exr"}, {"PXR24", 3, "exr"}, {"B44", 4, "exr"},
    {"ZLIB1", 1, "png"}, {"ZLIB6", 2, "png"}, {"ZLIB9", 3, "png"},
    {"CCITTFAX3", 1, "tiff"}, {"CCITTFAX4", 2, "tiff"}, {"PACKBITS", 3, "tiff"}, {"DEFLATE", 4, "tiff"},
    {"ADOBEDEFLATE", 5, "tiff"}, {"LZW", 6, "tiff"}, {"JPEG", 7, "tiff"}, {"LOGLUV", 8, "tiff"},
};

std::vector<Keyword> numbered(std::initializer_list<std::string_view> texts) {
    std::vector<Keyword> table;
    int value = 0;
    for (std::string_view text : texts) table.push_back({text, value++, ""});
    return table;
}

template <std::size_t N>
std::vector<Keyword> numbered(const std::array<std::string_view, N>& texts) {
    std::vector<Keyword> table;
    int value = 0;
    for (std::string_view text : texts) table.push_back({text, value++, ""});
    return table;
}

const std::vector<std::vector<Keyword>>& tables() {
    static const std::vector<std::vector<Keyword>> all{
        numbered({"AUTO", "BGRA", "RGBA"}),
        numbered({"AUTO", "8", "16", "24", "48HS", "48"}),
        numbered({"ALL", "FIRST", "MIDDLE", "LAST", "RANDOM"}),
        numbered({"NONE", "LINEAR", "AL", "DRR", "GD"}),
        kCompressionTable,
        numbered({"AUTO", "EXACT"}),
        numbered({"RGB", "CMYK", "LAB"}),
        numbered({"NONE", "LOW", "MEDIUM", "HIGH"}),
        numbered({"STANDARD", "SIMPLE", "OPTIMIZED", "PROGRESSIVE"}),
        numbered(kRotationTypeKeywords),
        numbered(kSizeUnitKeywords),
        numbered(kResizeScopeKeywords),
        numbered({"BOX", "BILINEAR", "BSPLINE", "BICUBIC", "CATMULLROM", "LANCZOS"}),
        numbered({"FS", "BAYER4", "BAYER8", "BAYER16", "CLUSTER6", "CLUSTER8", "CLUSTER16"}),
        numbered(kFrameKindKeywords),
        numbered(kWatermarkKindKeywords),
        numbered(kFontStyleKeywords),
        numbered(kFontEffectKeywords),
        numbered(kTextAlignmentKeywords),
        numbered(kBoundaryKeywords),
        numbered({"TOPLEFT", "TOPCENTER", "TOPRIGHT", "MIDDLELEFT", "MIDDLECENTER", "MIDDLERIGHT",
                  "BOTTOMLEFT", "BOTTOMCENTER", "BOTTOMRIGHT"}),
        numbered({"FIXED"}),
        numbered(kTimestampSourceKeywords),
        numbered(kDdsCompressionKeywords),
    };
    return all;
}

bool inGroup(const Keyword& keyword, std::string_view format) {
    if (keyword.value == 0) return true;
    std::string groups = std::string(",") + keyword.group + ",";
    return !format.empty() && groups.find("," + asciiLower(format) + ",") != std::string::npos;
}

}  // namespace

int KeywordToValue(int tableId, std::string_view text) {
    if (tableId < 0 || tableId >= static_cast<int>(tables().size())) return 0;
    std::string upper = toUpperText(text);
    for (const Keyword& keyword : tables()[tableId])
        if (upper == keyword.text) return keyword.value;
    return 0;
}

std::string ValueToKeyword(int tableId, int value, std::string_view compressionFormat) {
    if (tableId < 0 || tableId >= static_cast<int>(tables().size())) return {};
    for (const Keyword& keyword : tables()[tableId]) {
        if (keyword.value != value) continue;
        if (tableId == kCompression && !inGroup(keyword, compressionFormat)) continue;
        return asciiLower(keyword.text);
    }
    return {};
}

std::vector<std::string> keywordList(int tableId, std::string_view compressionFormat) {
    std::vector<std::string> list;
    if (tableId < 0 || tableId >= static_cast<int>(tables().size())) return list;
    for (const Keyword& keyword : tables()[tableId])
        if (tableId != kCompression || inGroup(keyword, compressionFormat)) list.push_back(asciiLower(keyword.text));
    return list;
}
