#include "engine/watermark_font.h"

#include <cmath>
#include <fontconfig/fontconfig.h>
#include <mutex>

#include "engine/handle.h"
#include "engine/watermark_font_detail.h"
#include "settings/choices.h"
#include "settings/text.h"

namespace {

using PatternPtr = Handle<FcPattern, FcPatternDestroy>;
using AttrListPtr = Handle<PangoAttrList, pango_attr_list_unref>;
using FontOptionsPtr = Handle<cairo_font_options_t, cairo_font_options_destroy>;

bool isBold(FontStyle style) { return style == FontStyle::Bold || style == FontStyle::BoldItalic; }
bool isItalic(FontStyle style) { return style == FontStyle::Italic || style == FontStyle::BoldItalic; }

// The families fontconfig's configuration puts in front of the face with
// strong binding, the face itself first.
bool isStrongFamily(FcPattern* pattern, std::string_view family) {
    FcValue value;
    FcValueBinding binding;
    for (int id = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, id, &value, &binding) == FcResultMatch; ++id) {
        if (binding != FcValueBindingStrong || value.type != FcTypeString) continue;
        if (equalsIgnoringAsciiCase(reinterpret_cast<const char*>(value.u.s), family)) return true;
    }
    return false;
}

FontDescriptionPtr describeFont(const std::string& family, long long pixelSize, FontStyle style) {
    FontDescriptionPtr description(pango_font_description_new());
    pango_font_description_set_family(description.get(), family.c_str());
    pango_font_description_set_absolute_size(description.get(), static_cast<double>(pixelSize) * PANGO_SCALE);
    pango_font_description_set_weight(description.get(), isBold(style) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description.get(), isItalic(style) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return description;
}

PangoFontMap* sharedFontMap() {
    // Created once and kept for the life of the process: pango's default
    // map is per thread, and every run has a new worker thread.
    static PangoFontMap* map = pango_cairo_font_map_new();
    return map;
}

void applyFontOptions(PangoContext* context, bool antialiased) {
    FontOptionsPtr options(cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), antialiased ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options.get(), antialiased ? CAIRO_HINT_METRICS_OFF : CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options.get());
}

void applyEffects(PangoLayout* layout, const WatermarkFont& font) {
    AttrListPtr attributes(pango_attr_list_new());
    if (font.underline) pango_attr_list_insert(attributes.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (font.strikeOut) pango_attr_list_insert(attributes.get(), pango_attr_strikethrough_new(TRUE));
    pango_layout_set_attributes(layout, attributes.get());
}

}  // namespace

long long fontPixelSize(long long points) {
    return static_cast<long long>(std::llround(static_cast<double>(points) * 96.0 / 72.0));
}

std::string resolveFontFamily(std::string_view face) {
    if (!FcInit()) return {};
    const std::string name(face);
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return {};
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return {};
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* family = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch) return {};
    const std::string matched(reinterpret_cast<const char*>(family));
    return isStrongFamily(pattern.get(), matched) ? matched : std::string();
}

void WatermarkFontDeleter::operator()(WatermarkFont* font) const noexcept { delete font; }

WatermarkFontPtr createWatermarkFont(const ConversionSettings& settings) {
    // A size of 0 or less has no glyphs to draw, and a larger one than
    // kMaxFontPoints none that fits a canvas: both are refused like an
    // unknown face, so the run stops before it starts.
    if (settings.FontSize < 1 || settings.FontSize > kMaxFontPoints) return nullptr;
    std::string family = resolveFontFamily(settings.Font);
    if (family.empty()) return nullptr;
    WatermarkFontPtr font(new WatermarkFont);
    font->pixelSize = static_cast<int>(fontPixelSize(settings.FontSize));
    font->underline = choiceOf<FontEffect>(settings.FontEffect) == FontEffect::Underline;
    font->strikeOut = choiceOf<FontEffect>(settings.FontEffect) == FontEffect::StrikeThrough;
    font->description = describeFont(family, font->pixelSize, choiceOf<FontStyle>(settings.FontStyle));
    font->family = std::move(family);
    return font;
}

std::unique_lock<std::mutex> watermarkFontLock() {
    static std::mutex mutex;
    return std::unique_lock<std::mutex>(mutex);
}

LayoutPtr createWatermarkLayout(cairo_t* context, const WatermarkFont& font, bool antialiased) {
    PangoContext* pangoContext = pango_font_map_create_context(sharedFontMap());
    if (!pangoContext) return nullptr;
    pango_cairo_update_context(context, pangoContext);
    applyFontOptions(pangoContext, antialiased);
    LayoutPtr layout(pango_layout_new(pangoContext));
    g_object_unref(pangoContext);  // the layout keeps its own reference
    pango_layout_set_font_description(layout.get(), font.description.get());
    // One line per layout: a line feed in the text is a character to draw,
    // not a break; lines come only from %EOL%.
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    applyEffects(layout.get(), font);
    return layout;
}
