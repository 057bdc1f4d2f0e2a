#include <gtest/gtest.h>

#include "settings/keywords.h"

namespace {
// The highest table id; the ids past it name no table.
constexpr int kLastTable = kDdsCompression;
}  // namespace

TEST(Keywords, TextToValue) {
    struct Case { int table; const char* text; int expected; } cases[] = {
        {kResamplingFilter, "bicubic", 3}, {kResamplingFilter, "Bicubic", 3}, {kResamplingFilter, "BICUBIC", 3},
        {kResamplingFilter, " BICUBIC", 0}, {kResamplingFilter, "best", 0}, {kResamplingFilter, "lanczos", 5},
        {kRawDepth, "48", 5}, {kRawDepth, "48HS", 4}, {kRawDepth, "8", 1},
        {kSizeMode, "FIXED", 0}, {kSizeMode, "SCALED", 0},
        {kCompression, "RLE", 1}, {kCompression, "ZLIB1", 1}, {kCompression, "logluv", 8}, {kCompression, "B44", 4},
        {kFontEffect, "STRIKETHROUGHT", 2}, {kFontEffect, "STRIKETHROUGH", 0},
        {kPosition, "bottomright", 8}, {kTimestampSource, "custom", 2},
        {kDdsCompression, "AUTO", 0}, {kDdsCompression, "dxt1", 1}, {kDdsCompression, "Dxt5", 2},
        {kDdsCompression, "bc7", 3}, {kDdsCompression, "NONE", 4}, {kDdsCompression, "DXT3", 0},
        {kDdsCompression, "BC1", 0}, {kDdsCompression, "", 0}, {kCompression, "DXT1", 0},
        {kLastTable + 1, "ANY", 0}, {kLastTable + 1, "NONE", 0}, {-1, "ANY", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(KeywordToValue(c.table, c.text), c.expected) << c.table << " " << c.text;
}

TEST(Keywords, ValueToLowerCaseKeyword) {
    struct Case { int table; int value; const char* format; const char* expected; } cases[] = {
        {kResamplingFilter, 3, "", "bicubic"}, {kPosition, 9, "", ""}, {kPosition, 0, "", "topleft"},
        {kCompression, 4, "tiff", "deflate"}, {kCompression, 4, "exr", "b44"}, {kCompression, 0, "png", "none"},
        {kCompression, 1, "bmp", "rle"}, {kCompression, 1, "tga", "rle"}, {kCompression, 3, "png", "zlib9"},
        {kCompression, 5, "png", ""}, {kWatermarkKind, 2, "", "image"}, {kFontEffect, 2, "", "strikethrought"},
        {kDdsCompression, 0, "", "auto"}, {kDdsCompression, 3, "", "bc7"}, {kDdsCompression, 4, "dds", "none"},
        {kDdsCompression, 5, "", ""}, {kDdsCompression, -1, "", ""},
        {kLastTable + 1, 0, "", ""}, {40, 0, "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueToKeyword(c.table, c.value, c.format), c.expected) << c.table << " " << c.value;
}

TEST(Keywords, EveryKeywordRoundTrips) {
    for (int table = 0; table <= kLastTable; ++table) {
        if (table == kCompression) continue;
        for (int value = 0;; ++value) {
            std::string keyword = ValueToKeyword(table, value);
            if (keyword.empty()) break;
            EXPECT_EQ(KeywordToValue(table, keyword), value) << table << " " << keyword;
        }
    }
}

TEST(Keywords, CompressionKeywordsRoundTripWithinTheirFormat) {
    for (const char* format : {"bmp", "tga", "exr", "png", "tiff"}) {
        int count = 0;
        for (int value = 0; value < 16; ++value) {
            std::string keyword = ValueToKeyword(kCompression, value, format);
            if (keyword.empty()) continue;
            ++count;
            EXPECT_EQ(KeywordToValue(kCompression, keyword), value) << format << " " << keyword;
        }
        int expected = std::string(format) == "tiff" ? 9 : std::string(format) == "exr" ? 5
                     : std::string(format) == "png" ? 4 : 2;
        EXPECT_EQ(count, expected) << format;
    }
    EXPECT_EQ(ValueToKeyword(kCompression, 1, ""), "");
    EXPECT_EQ(ValueToKeyword(kCompression, 6, "TIFF"), "lzw");
}

TEST(Keywords, ListsWhatAUserMayWrite) {
    using List = std::vector<std::string>;
    EXPECT_EQ(keywordList(kSizeUnit), (List{"pixels", "percent"}));
    EXPECT_EQ(keywordList(kCompression, "tga"), (List{"none", "rle"}));
    EXPECT_EQ(keywordList(kCompression, "PNG"), (List{"none", "zlib1", "zlib6", "zlib9"}));
    EXPECT_EQ(keywordList(kCompression, "exr"), (List{"none", "zip", "piz", "pxr24", "b44"}));
    EXPECT_EQ(keywordList(kCompression, "dds"), (List{"none"}));
    EXPECT_EQ(keywordList(kCompression).size(), 1u);
    EXPECT_EQ(keywordList(kDdsCompression), (List{"auto", "dxt1", "dxt5", "bc7", "none"}));
    EXPECT_EQ(keywordList(kDdsCompression, "dds"), keywordList(kDdsCompression));
    EXPECT_TRUE(keywordList(kLastTable + 1).empty());
    EXPECT_TRUE(keywordList(-1).empty());
    // Every listed keyword reads back as its own position in the list.
    for (int table = 0; table <= kLastTable; ++table) {
        if (table == kCompression) continue;
        const List list = keywordList(table);
        ASSERT_FALSE(list.empty()) << table;
        for (std::size_t value = 0; value < list.size(); ++value)
            EXPECT_EQ(KeywordToValue(table, list[value]), static_cast<int>(value)) << table << " " << list[value];
    }
}
