// The text watermark's box: the expanded text, cut into %EOL% lines,
// measured and drawn with the watermark font on a box of its own size.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/canvas.h"
#include "engine/color_text.h"
#include "engine/naming.h"
#include "engine/watermark.h"
#include "engine/watermark_font_detail.h"
#include "settings/choices.h"
#include "settings/checked_size.h"
#include "settings/text.h"

namespace {

// The largest box drawn, in pixels (a 256 MiB canvas); a larger one, made
// by a huge padding or font size or a very long text, is not drawn.
constexpr long long kMaxBoxPixels = 1LL << 26;
// Code points of one line times the font's pixel size: beyond this a line
// is far wider than any canvas, and pango's own coordinates would overflow
// while measuring it.
constexpr long long kMaxLineExtent = 1LL << 18;
// Multi-line boxes are at least this wide and their lines this tall.
constexpr long long kMinMultiLineSize = 10;

struct LineMetrics {
    long long boxWidth;    // whole pixels the line needs in the box
    long long alignWidth;  // width used to align it
    long long height;
};

struct TextBox {
    std::vector<std::string> lines;
    std::vector<LineMetrics> metrics;
    long long width = 0;
    long long height = 0;
    long long lineStep = 0;
};

std::string validUtf8(std::string_view text) {
    char* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result(valid ? valid : "");
    g_free(valid);
    return result;
}

void setLine(PangoLayout* layout, const std::string& line) {
    pango_layout_set_text(layout, line.data(), static_cast<int>(line.size()));
}

PangoRectangle lineExtents(PangoLayout* layout, const std::string& line) {
    setLine(layout, line);
    PangoRectangle logical{};
    pango_layout_get_extents(layout, nullptr, &logical);
    return logical;
}

// The box room of a line comes from the whole-pixel metrics of plain text
// in both modes, so switching antialiasing on never changes the box; an
// antialiased line is aligned by its vector width rounded to the nearest
// pixel. `vectorLayout` is null for plain text.
LineMetrics measureLine(PangoLayout* plainLayout, PangoLayout* vectorLayout, const std::string& line) {
    const PangoRectangle plain = lineExtents(plainLayout, line);
    const auto boxWidth = static_cast<long long>(std::ceil(static_cast<double>(plain.width) / PANGO_SCALE));
    const auto height = static_cast<long long>(std::ceil(static_cast<double>(plain.height) / PANGO_SCALE));
    if (!vectorLayout) return {boxWidth, boxWidth, height};
    const PangoRectangle vector = lineExtents(vectorLayout, line);
    return {boxWidth, std::llround(static_cast<double>(vector.width) / PANGO_SCALE), height};
}

// Box size before padding: one line at its own size, several lines at the
// widest width and tallest height (each at least 10) with Font Leading
// added between them.
void sizeBox(TextBox& box, long long leading) {
    long long width = 0, height = 0;
    for (const LineMetrics& m : box.metrics) {
        width = std::max(width, m.boxWidth);
        height = std::max(height, m.height);
    }
    if (box.lines.size() == 1) {
        box.width = width;
        box.height = height;
        return;
    }
    width = std::max(width, kMinMultiLineSize);
    height = std::max(height, kMinMultiLineSize);
    box.lineStep = height + leading;
    box.width = width;
    box.height = height + static_cast<long long>(box.lines.size() - 1) * box.lineStep;
}

bool boxFits(const TextBox& box) {
    return box.width <= kMaxCanvasSide && box.height <= kMaxCanvasSide &&
           pictureFits(box.width, box.height, kMaxBoxPixels);
}

bool linesFit(const std::vector<std::string>& lines, int pixelSize) {
    return std::all_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return checkedSize(static_cast<std::int64_t>(codePointCount(line)), pixelSize, 1, kMaxLineExtent).has_value();
    });
}

// Any alignment without a keyword puts lines at 0.
long long lineX(const TextBox& box, const LineMetrics& line, TextAlignment alignment, long long padding) {
    if (box.lines.size() == 1) return padding;  // a single line always sits at the padding
    switch (alignment) {
        case TextAlignment::Left: return padding;
        case TextAlignment::Center: return std::llround(static_cast<double>(box.width - line.alignWidth) / 2.0);
        case TextAlignment::Right: return box.width - line.alignWidth - padding;
        default: return 0;
    }
}

// Draws every line that reaches into the box at its place.
void drawLines(cairo_t* context, PangoLayout* layout, const TextBox& box, const ConversionSettings& s) {
    pango_cairo_update_layout(context, layout);
    const long long padding = s.TextPadding;
    for (std::size_t i = 0; i < box.lines.size(); ++i) {
        const long long y = padding + static_cast<long long>(i) * box.lineStep;
        if (y + box.metrics[i].height <= 0 || y >= box.height) continue;
        setLine(layout, box.lines[i]);
        cairo_move_to(context, static_cast<double>(lineX(box, box.metrics[i], choiceOf<TextAlignment>(s.TextAlignment), padding)),
                      static_cast<double>(y));
        pango_cairo_show_layout(context, layout);
    }
}

void putPixel(BYTE* target, RgbColor color, int alpha) {
    target[FI_RGBA_RED] = color.red;
    target[FI_RGBA_GREEN] = color.green;
    target[FI_RGBA_BLUE] = color.blue;
    target[FI_RGBA_ALPHA] = static_cast<BYTE>(alpha);
}

// Plain text: the glyphs are drawn without antialiasing into a coverage
// mask, then every pixel of the box gets either the text colour with Text
// Opacity or the box colour with Back Opacity, all four channels written
// as they are, with no blending between the two.
ImagePtr drawPlainBox(PangoLayout* layout, const TextBox& box, const ConversionSettings& s) {
    const int width = static_cast<int>(box.width), height = static_cast<int>(box.height);
    SurfacePtr mask = createCanvas(width, height, CAIRO_FORMAT_A8);
    ContextPtr context = createContext(mask.get());
    if (!context) return nullptr;
    cairo_set_antialias(context.get(), CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(context.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(context.get(), 0, 0, 0, 1);
    drawLines(context.get(), layout, box, s);
    cairo_surface_flush(mask.get());

    ImagePtr bitmap(FreeImage_Allocate(width, height, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    if (!bitmap) return nullptr;
    const RgbColor text = colorFromText(s.FontColor), back = colorFromText(s.BackColor);
    const int textAlpha = clampOpacity(s.TextOpacity), backAlpha = clampOpacity(s.BackOpacity);
    const unsigned char* coverage = cairo_image_surface_get_data(mask.get());
    const int stride = cairo_image_surface_get_stride(mask.get());
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap.get(), height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const bool glyph = coverage[static_cast<std::ptrdiff_t>(y) * stride + x] >= 128;
            putPixel(row + 4 * x, glyph ? text : back, glyph ? textAlpha : backAlpha);
        }
    }
    return bitmap;
}

// Antialiased text: opaque glyphs on a transparent text canvas; the box
// gets the box colour at Back Opacity and the text canvas over it at Text
// Opacity, so overlapping glyph edges fade as one layer.
ImagePtr drawAntialiasedBox(PangoLayout* layout, const TextBox& box, const ConversionSettings& s) {
    const int width = static_cast<int>(box.width), height = static_cast<int>(box.height);
    SurfacePtr textCanvas = createCanvas(width, height);
    ContextPtr textContext = createContext(textCanvas.get());
    SurfacePtr boxCanvas = createCanvas(width, height);
    ContextPtr boxContext = createContext(boxCanvas.get());
    if (!textContext || !boxContext) return nullptr;
    cairo_set_operator(textContext.get(), CAIRO_OPERATOR_OVER);
    setSourceColor(textContext.get(), colorFromText(s.FontColor));
    drawLines(textContext.get(), layout, box, s);
    cairo_surface_flush(textCanvas.get());

    setSourceColor(boxContext.get(), colorFromText(s.BackColor), s.BackOpacity);
    cairo_paint(boxContext.get());
    cairo_set_source_surface(boxContext.get(), textCanvas.get(), 0, 0);
    cairo_paint_with_alpha(boxContext.get(), clampOpacity(s.TextOpacity) / 255.0);
    return canvasToBitmap(boxCanvas.get());
}

}  // namespace

std::string expandWatermarkText(const ConversionSettings& settings, const BatchJob& job) {
    const std::string& text = settings.Text;
    if (std::count(text.begin(), text.end(), '%') < 2) return text;
    const std::string configured = toLowerText(text);
    std::string expanded = text;
    for (std::size_t i = 0; i < kPlaceholders.size(); ++i)
        if (configured.find(kPlaceholders[i]) != std::string::npos) expanded = replacePlaceholder(expanded, i, job);
    return expanded;
}

std::vector<std::string> splitWatermarkLines(std::string_view text) {
    static constexpr std::string_view kEndOfLine = "%eol%";
    const std::string lowered = asciiLower(text);  // same byte positions as the text
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t hit; (hit = lowered.find(kEndOfLine, start)) != std::string::npos; start = hit + kEndOfLine.size())
        lines.emplace_back(text.substr(start, hit - start));
    lines.emplace_back(text.substr(start));
    return lines;
}

ImagePtr renderTextWatermark(std::string_view text, const WatermarkFont& font, const ConversionSettings& settings) {
    TextBox box;
    for (const std::string& line : splitWatermarkLines(text)) box.lines.push_back(validUtf8(line));
    if (!linesFit(box.lines, font.pixelSize)) return nullptr;

    auto lock = watermarkFontLock();
    const bool antialiased = settings.TextAntialiasing != 0;
    SurfacePtr scratch = createCanvas(1, 1);
    ContextPtr scratchContext = createContext(scratch.get());
    if (!scratchContext) return nullptr;
    LayoutPtr plainLayout = createWatermarkLayout(scratchContext.get(), font, false);
    LayoutPtr vectorLayout = antialiased ? createWatermarkLayout(scratchContext.get(), font, true) : nullptr;
    if (!plainLayout || (antialiased && !vectorLayout)) return nullptr;
    for (const std::string& line : box.lines)
        box.metrics.push_back(measureLine(plainLayout.get(), vectorLayout.get(), line));
    sizeBox(box, settings.FontLeading);
    box.width += 2LL * settings.TextPadding;
    box.height += 2LL * settings.TextPadding;
    if (!boxFits(box)) return nullptr;
    return antialiased ? drawAntialiasedBox(vectorLayout.get(), box, settings)
                       : drawPlainBox(plainLayout.get(), box, settings);
}
