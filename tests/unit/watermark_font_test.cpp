#include <gtest/gtest.h>

#include <climits>

#include "engine/watermark.h"
#include "engine/watermark_font.h"
#include "engine/watermark_font_detail.h"
#include "image_support.h"

namespace {

ConversionSettings fontSettings(const std::string& face, int size = 14, int style = 0, int effect = 0) {
    ConversionSettings s;
    s.DoWatermark = 1;
    s.Font = face;
    s.FontSize = size;
    s.FontStyle = static_cast<uint8>(style);
    s.FontEffect = static_cast<uint8>(effect);
    s.BackOpacity = 255;
    return s;
}

ImagePtr renderWith(const ConversionSettings& s, const std::string& text) {
    WatermarkFontPtr font = createWatermarkFont(s);
    EXPECT_TRUE(font);
    return font ? renderTextWatermark(text, *font, s) : nullptr;
}

}  // namespace

TEST(WatermarkFont, InstalledFacesAndTheirStrongSubstitutesAreAccepted) {
    struct Case {
        const char* face;
        const char* family;
    } cases[] = {
        {"Arial", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"Liberation Sans", "Liberation Sans"},
        {"LIBERATION SERIF", "Liberation Serif"},
        {"Times New Roman", "Liberation Serif"},
        {"DejaVu Sans", "DejaVu Sans"},
    };
    for (const auto& c : cases) {
        WatermarkFontPtr font = createWatermarkFont(fontSettings(c.face));
        ASSERT_TRUE(font) << c.face;
        EXPECT_EQ(font->family, c.family) << c.face;
    }
}

TEST(WatermarkFont, FacesThatOnlyReachTheFallbackAreRefused) {
    for (const char* face : {"No Such Face 4711", "", " ", "Arial Nonexistent Bold"})
        EXPECT_FALSE(createWatermarkFont(fontSettings(face))) << '"' << face << '"';
}

TEST(WatermarkFont, PointsBecomePixelsAtNinetySixDpi) {
    const std::pair<long long, long long> cases[] = {{14, 19}, {12, 16}, {10, 13}, {11, 15}, {9, 12},
                                                     {1, 1},   {3, 4},   {72, 96}, {24575, 32767}};
    for (auto [points, pixels] : cases) EXPECT_EQ(fontPixelSize(points), pixels) << points;
    WatermarkFontPtr font = createWatermarkFont(fontSettings("Arial", 14));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->pixelSize, 19);
    EXPECT_EQ(pango_font_description_get_size(font->description.get()), 19 * PANGO_SCALE);
    EXPECT_TRUE(pango_font_description_get_size_is_absolute(font->description.get()));
}

TEST(WatermarkFont, SizesOutsideTheDrawableRangeAreRefused) {
    for (int size : {0, -1, -14, INT_MIN, kMaxFontPoints + 1, INT_MAX})
        EXPECT_FALSE(createWatermarkFont(fontSettings("Arial", size))) << size;
    EXPECT_TRUE(createWatermarkFont(fontSettings("Arial", 1)));
    EXPECT_TRUE(createWatermarkFont(fontSettings("Arial", kMaxFontPoints)));
}

TEST(WatermarkFont, StyleAndEffectSettings) {
    struct Case {
        int style, effect;
        PangoWeight weight;
        PangoStyle slant;
        bool underline, strikeOut;
    } cases[] = {
        {0, 0, PANGO_WEIGHT_NORMAL, PANGO_STYLE_NORMAL, false, false},
        {1, 0, PANGO_WEIGHT_BOLD, PANGO_STYLE_NORMAL, false, false},
        {2, 1, PANGO_WEIGHT_NORMAL, PANGO_STYLE_ITALIC, true, false},
        {3, 2, PANGO_WEIGHT_BOLD, PANGO_STYLE_ITALIC, false, true},
        {7, 9, PANGO_WEIGHT_NORMAL, PANGO_STYLE_NORMAL, false, false},
    };
    for (const auto& c : cases) {
        WatermarkFontPtr font = createWatermarkFont(fontSettings("Arial", 14, c.style, c.effect));
        ASSERT_TRUE(font);
        EXPECT_EQ(pango_font_description_get_weight(font->description.get()), c.weight) << c.style;
        EXPECT_EQ(pango_font_description_get_style(font->description.get()), c.slant) << c.style;
        EXPECT_EQ(font->underline, c.underline) << c.effect;
        EXPECT_EQ(font->strikeOut, c.strikeOut) << c.effect;
    }
}

TEST(WatermarkFont, StylesAndEffectsChangeTheDrawnText) {
    const std::string text = "Watermark";
    ImagePtr regular = renderWith(fontSettings("Arial", 20), text);
    ImagePtr bold = renderWith(fontSettings("Arial", 20, 1), text);
    ImagePtr italic = renderWith(fontSettings("Arial", 20, 2), text);
    ImagePtr underline = renderWith(fontSettings("Arial", 20, 0, 1), text);
    ImagePtr strike = renderWith(fontSettings("Arial", 20, 0, 2), text);
    ImagePtr larger = renderWith(fontSettings("Arial", 40), text);
    ASSERT_TRUE(regular && bold && italic && underline && strike && larger);
    EXPECT_GT(imageWidth(bold), imageWidth(regular));
    EXPECT_GT(imageWidth(larger), imageWidth(regular) * 3 / 2);
    EXPECT_GT(imageHeight(larger), imageHeight(regular) * 3 / 2);
    EXPECT_FALSE(sameImage(italic.get(), regular.get()));
    // Underline and strike-out draw a line across the whole text: a row of
    // text colour over nine tenths of the box or more; the underline lies
    // below the strike-out line.
    auto fullLineRow = [](FIBITMAP* bitmap) {
        const Rgba white{255, 255, 255, 255};
        const int width = static_cast<int>(FreeImage_GetWidth(bitmap));
        for (int y = static_cast<int>(FreeImage_GetHeight(bitmap)) - 1; y >= 0; --y) {
            int count = 0;
            for (int x = 0; x < width; ++x) count += pixelAt(bitmap, x, y) == white;
            if (count * 10 >= width * 9) return y;
        }
        return -1;
    };
    EXPECT_EQ(fullLineRow(regular.get()), -1);
    const int underlineRow = fullLineRow(underline.get()), strikeRow = fullLineRow(strike.get());
    EXPECT_GT(strikeRow, imageHeight(strike) / 4);
    EXPECT_GT(underlineRow, strikeRow);
}
