// The solid frame: four bands along the image edges, each with its own
// width and colour, meeting on mitred diagonals, drawn antialiased on a
// transparent overlay and composited over the image at one opacity.
#include <array>
#include <vector>

#include "engine/canvas.h"
#include "engine/color_text.h"
#include "engine/overlay.h"
#include "engine/stages.h"
#include "settings/choices.h"

namespace {

struct Point {
    double x;
    double y;
};
using Polygon = std::vector<Point>;

struct Shape {
    Polygon outline;
    RgbColor color;
};

// The eight fills in drawing order: first the corner rectangles, each of
// which ends up under two bands so that no background shows through the
// antialiased seam of a mitre, then the top, right, bottom and left bands,
// later bands covering earlier ones where wide bands overlap.
std::array<Shape, 8> frameShapes(double w, double h, const ConversionSettings& s) {
    const double l = s.SolidLeft, r = s.SolidRight, t = s.SolidTop, b = s.SolidBottom;
    const RgbColor left = colorFromText(s.SolidLeftColor), right = colorFromText(s.SolidRightColor);
    const RgbColor top = colorFromText(s.SolidTopColor), bottom = colorFromText(s.SolidBottomColor);
    return {{
        {{{0, 0}, {l, 0}, {l, t}, {0, t}}, top},
        {{{w - r, 0}, {w, 0}, {w, t}, {w - r, t}}, right},
        {{{w - r, h - b}, {w, h - b}, {w, h}, {w - r, h}}, bottom},
        {{{0, h - b}, {l, h - b}, {l, h}, {0, h}}, left},
        {{{0, 0}, {w, 0}, {w - r, t}, {l, t}}, top},
        {{{w, 0}, {w, h}, {w - r, h - b}, {w - r, t}}, right},
        {{{w, h}, {0, h}, {l, h - b}, {w - r, h - b}}, bottom},
        {{{0, h}, {0, 0}, {l, t}, {l, h - b}}, left},
    }};
}

double coordinate(const Point& p, bool horizontal) { return horizontal ? p.x : p.y; }

// One step of Sutherland-Hodgman: keeps the part of the polygon on one side
// of the line x = limit (horizontal) or y = limit.
Polygon clipAgainst(const Polygon& polygon, bool horizontal, double limit, bool keepBelow) {
    Polygon kept;
    auto inside = [&](const Point& p) {
        return keepBelow ? coordinate(p, horizontal) <= limit : coordinate(p, horizontal) >= limit;
    };
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        if (inside(a)) kept.push_back(a);
        if (inside(a) == inside(b)) continue;
        const double t = (limit - coordinate(a, horizontal)) / (coordinate(b, horizontal) - coordinate(a, horizontal));
        Point cross{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
        (horizontal ? cross.x : cross.y) = limit;
        kept.push_back(cross);
    }
    return kept;
}

// Band widths are any int32 the settings hold; cairo's fixed-point
// coordinates would overflow far outside the canvas, so every shape is cut
// to the canvas first (exactly, in doubles), which keeps each diagonal's
// slope whatever the widths.
Polygon clipToCanvas(Polygon polygon, double w, double h) {
    polygon = clipAgainst(polygon, true, 0, false);
    polygon = clipAgainst(polygon, true, w, true);
    polygon = clipAgainst(polygon, false, 0, false);
    return clipAgainst(polygon, false, h, true);
}

void fillShape(cairo_t* context, const Shape& shape, double w, double h) {
    const Polygon outline = clipToCanvas(shape.outline, w, h);
    if (outline.size() < 3) return;
    cairo_new_path(context);
    cairo_move_to(context, outline[0].x, outline[0].y);
    for (std::size_t i = 1; i < outline.size(); ++i) cairo_line_to(context, outline[i].x, outline[i].y);
    cairo_close_path(context);
    setSourceColor(context, shape.color);
    cairo_fill(context);
}

// The frame as a 32-bit straight-alpha bitmap of the image's size, with the
// common opacity applied to the whole overlay; null when it cannot be made.
ImagePtr drawFrameOverlay(int width, int height, const ConversionSettings& settings) {
    SurfacePtr canvas = createCanvas(width, height);
    ContextPtr context = createContext(canvas.get());
    if (!context) return nullptr;
    cairo_set_antialias(context.get(), CAIRO_ANTIALIAS_GOOD);
    cairo_set_operator(context.get(), CAIRO_OPERATOR_OVER);
    for (const Shape& shape : frameShapes(width, height, settings)) fillShape(context.get(), shape, width, height);
    return canvasToBitmap(canvas.get(), settings.SolidOpacity);
}

}  // namespace

// Laid out on the image's own size, so the overlay always fits the image.
ImagePtr applyFrame(ImagePtr image, const ConversionSettings& settings, BatchJob&) {
    const FrameKind kind = choiceOf<FrameKind>(settings.DoFrame);
    if (kind == FrameKind::None || !image) return image;
    image = convertTo24Bits(std::move(image));
    if (kind != FrameKind::Solid) return image;
    ImagePtr overlay = drawFrameOverlay(imageWidth(image), imageHeight(image), settings);
    if (!overlay) return image;
    return compositeOver(std::move(image), overlay.get());
}

// Any frame, drawn or not, first takes the picture to 24 bits.
bool frameLeavesAsIs(const ConversionSettings& settings, const BatchJob&, ImageExtent) {
    return choiceOf<FrameKind>(settings.DoFrame) == FrameKind::None;
}
