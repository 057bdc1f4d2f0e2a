#include "pen.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

Rgb hex(std::uint32_t v) {
    return {((v >> 16) & 0xff) / 255.0, ((v >> 8) & 0xff) / 255.0, (v & 0xff) / 255.0};
}

// Order: Outline, Paper, Folder, FolderFront, Blue, Green, Red, Yellow, Wood,
// Sky, Grass, Teal, Light, Lens.
const Look kBuiltin{"builtin",
                    {hex(0x2d3a4a), hex(0xffffff), hex(0xe0a53a), hex(0xf3c460), hex(0x3b7dd8), hex(0x3fa34d),
                     hex(0xd9483b), hex(0xf6c431), hex(0xa0703c), hex(0x8ecdf2), hex(0x5cb85c), hex(0x2aa198),
                     hex(0xffffff), hex(0xd6ecfa)},
                    1.0, 1.0, 0.0, false, false};

// Warm earth colours, brown ink, strokes that bend like a pen line.
const Look kHanddrawn{"handdrawn",
                      {hex(0x4b3020), hex(0xfbf1dc), hex(0xd98b3a), hex(0xefb063), hex(0x4f7fa8), hex(0x7a9a3a),
                       hex(0xc4442c), hex(0xf0b429), hex(0x9b5e34), hex(0xf2d5a7), hex(0x8aa33e), hex(0x5a8f7b),
                       hex(0xfff8ea), hex(0xfdebc8)},
                      1.15, 1.6, 0.016, false, true};

// Cool flat colours, square corners, edges in a darker shade of the fill.
const Look kSlate{"slate",
                  {hex(0x243240), hex(0xe8eef3), hex(0x5b7489), hex(0x7f98ad), hex(0x3a6ea5), hex(0x2e9c8f),
                   hex(0xc0506a), hex(0xe3cf63), hex(0x6b7d8f), hex(0xa9c8e0), hex(0x4e9a8e), hex(0x3aa0a8),
                   hex(0xffffff), hex(0xcfe3f2)},
                  1.0, 0.0, 0.0, true, false};

std::uint32_t nextRandom(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

double unitRandom(std::uint32_t& state) { return (nextRandom(state) & 0xffffff) / double(0x1000000); }

// Moves the path along its normals by a smooth wave of the distance walked,
// so the line bends gently and stays continuous around corners.
std::vector<Pt> bend(Pen& pen, const std::vector<Pt>& points, bool closed) {
    // Below 24 pixels a bent line only blurs; the small icons keep the
    // look's colours and round manner but stay on the pixel grid.
    const double amplitude = pen.size >= 24 ? pen.look->wobble * pen.size : 0;
    if (amplitude <= 0 || points.size() < 2) return points;
    std::uint32_t state = pen.seed * 2654435761u + 0x9e3779b9u;
    if (state == 0) state = 1;
    const double phase1 = unitRandom(state) * 2 * std::numbers::pi;
    const double phase2 = unitRandom(state) * 2 * std::numbers::pi;
    const double wave1 = 2 * std::numbers::pi / (pen.size * 0.9);
    const double wave2 = 2 * std::numbers::pi / (pen.size * 0.37);
    const double step = std::max(1.5, pen.size / 12.0);
    std::vector<Pt> out;
    double walked = 0;
    const std::size_t count = closed ? points.size() : points.size() - 1;
    for (std::size_t i = 0; i < count; ++i) {
        const Pt a = points[i];
        const Pt b = points[(i + 1) % points.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length <= 0) continue;
        const double nx = -(b.y - a.y) / length, ny = (b.x - a.x) / length;
        const int pieces = std::max(1, int(std::ceil(length / step)));
        const int last = (!closed && i + 1 == count) ? pieces : pieces - 1;
        for (int k = 0; k <= last; ++k) {
            const double t = double(k) / pieces;
            const double d = walked + t * length;
            const double offset = amplitude * (0.7 * std::sin(d * wave1 + phase1) + 0.3 * std::sin(d * wave2 + phase2));
            out.push_back({a.x + (b.x - a.x) * t + nx * offset, a.y + (b.y - a.y) * t + ny * offset});
        }
        walked += length;
    }
    return out;
}

void tracePath(Pen& pen, const std::vector<Pt>& points, bool closed) {
    const std::vector<Pt> bent = bend(pen, points, closed);
    cairo_new_path(pen.cr);
    for (std::size_t i = 0; i < bent.size(); ++i) {
        if (i == 0)
            cairo_move_to(pen.cr, bent[i].x, bent[i].y);
        else
            cairo_line_to(pen.cr, bent[i].x, bent[i].y);
    }
    if (closed) cairo_close_path(pen.cr);
}

void setStrokeManner(Pen& pen, double width) {
    cairo_set_line_width(pen.cr, width);
    const bool geometric = pen.look->outlineIsShade;
    cairo_set_line_join(pen.cr, geometric ? CAIRO_LINE_JOIN_MITER : CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(pen.cr, geometric ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND);
}

// A light fill gets a deeper shade, or its edge would vanish on a light
// menu background.
Rgb outlineFor(const Pen& pen, Ink fill) {
    if (!pen.look->outlineIsShade) return inkColour(pen, Ink::Outline);
    const Rgb c = inkColour(pen, fill);
    const double luminance = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    return shade(c, luminance > 0.75 ? 0.45 : 0.62);
}

}  // namespace

const Look& builtinLook() { return kBuiltin; }
const Look& handdrawnLook() { return kHanddrawn; }
const Look& slateLook() { return kSlate; }

Pen makePen(cairo_t* cr, int size, const Look& look, std::uint32_t seed) { return Pen{cr, size, &look, seed | 1u}; }

double px(const Pen& pen, double units) { return units * pen.size / 16.0; }

// Outlines grow with the picture up to 48 pixels and more slowly above, so
// the large application icons do not look heavy.
double lineWidth(const Pen& pen) {
    const double size = pen.size;
    const double growth = size > 48 ? std::sqrt(size / 48) : 1.0;
    return std::max(1.0, std::round(pen.look->lineUnits * std::min(size, 48.0) / 16 * growth));
}

Rgb inkColour(const Pen& pen, Ink ink) { return pen.look->inks[static_cast<int>(ink)]; }

Rgb shade(Rgb c, double factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

void setColour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

// The outer edges land on whole pixels and the outline runs half a line
// inside them, so a one-pixel outline covers exactly one pixel row.
std::vector<Pt> boxPoints(const Pen& pen, double x0, double y0, double x1, double y1, double corner) {
    const double half = lineWidth(pen) / 2;
    const double left = std::round(px(pen, x0)) + half, right = std::round(px(pen, x1)) - half;
    const double top = std::round(px(pen, y0)) + half, bottom = std::round(px(pen, y1)) - half;
    const double r = std::min({px(pen, corner * pen.look->cornerUnits), (right - left) / 2, (bottom - top) / 2});
    if (r < 0.75) return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    std::vector<Pt> out;
    const Pt centres[4] = {{right - r, top + r}, {right - r, bottom - r}, {left + r, bottom - r}, {left + r, top + r}};
    for (int c = 0; c < 4; ++c) {
        const double start = (c - 1) * std::numbers::pi / 2;
        for (int k = 0; k <= 6; ++k) {
            const double a = start + k * (std::numbers::pi / 2) / 6;
            out.push_back({centres[c].x + r * std::cos(a), centres[c].y + r * std::sin(a)});
        }
    }
    return out;
}

std::vector<Pt> polygonPoints(const Pen& pen, const std::vector<Pt>& units) {
    std::vector<Pt> out;
    out.reserve(units.size());
    for (const Pt& p : units) out.push_back({px(pen, p.x), px(pen, p.y)});
    return out;
}

std::vector<Pt> arcPoints(const Pen& pen, double cx, double cy, double r, double a0, double a1) {
    std::vector<Pt> out;
    const int steps = std::max(8, int(std::abs(a1 - a0) * px(pen, r) / 1.5));
    for (int k = 0; k <= steps; ++k) {
        const double a = a0 + (a1 - a0) * k / steps;
        out.push_back({px(pen, cx + r * std::cos(a)), px(pen, cy + r * std::sin(a))});
    }
    return out;
}

std::vector<Pt> circlePoints(const Pen& pen, double cx, double cy, double r) {
    std::vector<Pt> out = arcPoints(pen, cx, cy, r, 0, 2 * std::numbers::pi);
    out.pop_back();
    return out;
}

std::vector<Pt> starPoints(const Pen& pen, double cx, double cy, double outer, double inner, int tips, double turn) {
    std::vector<Pt> out;
    for (int k = 0; k < tips * 2; ++k) {
        const double a = turn - std::numbers::pi / 2 + k * std::numbers::pi / tips;
        const double r = (k % 2 == 0) ? outer : inner;
        out.push_back({px(pen, cx + r * std::cos(a)), px(pen, cy + r * std::sin(a))});
    }
    return out;
}

void fillPlain(Pen& pen, const std::vector<Pt>& points, Ink fill) {
    ++pen.seed;
    tracePath(pen, points, true);
    setColour(pen.cr, inkColour(pen, fill));
    cairo_fill(pen.cr);
}

void fillShape(Pen& pen, const std::vector<Pt>& points, Ink fill) {
    ++pen.seed;
    // A hand colouring misses the outline a little at the larger sizes.
    const double shift = (pen.look->offsetFill && pen.size >= 24) ? pen.size * 0.025 : 0;
    cairo_save(pen.cr);
    cairo_translate(pen.cr, shift, shift);
    tracePath(pen, points, true);
    setColour(pen.cr, inkColour(pen, fill));
    cairo_fill(pen.cr);
    cairo_restore(pen.cr);
    ++pen.seed;
    tracePath(pen, points, true);
    setStrokeManner(pen, lineWidth(pen));
    setColour(pen.cr, outlineFor(pen, fill));
    cairo_stroke(pen.cr);
}

void outlineShape(Pen& pen, const std::vector<Pt>& points, Ink fill) {
    ++pen.seed;
    tracePath(pen, points, true);
    setStrokeManner(pen, lineWidth(pen));
    setColour(pen.cr, outlineFor(pen, fill));
    cairo_stroke(pen.cr);
}

void clipTo(Pen& pen, const std::vector<Pt>& points) {
    cairo_save(pen.cr);
    cairo_new_path(pen.cr);
    for (std::size_t i = 0; i < points.size(); ++i)
        (i == 0 ? cairo_move_to : cairo_line_to)(pen.cr, points[i].x, points[i].y);
    cairo_close_path(pen.cr);
    cairo_clip(pen.cr);
}

void endClip(Pen& pen) { cairo_restore(pen.cr); }

void strokeLine(Pen& pen, const std::vector<Pt>& points, Ink ink, double widthUnits, bool closed) {
    ++pen.seed;
    tracePath(pen, points, closed);
    setStrokeManner(pen, std::max(1.0, px(pen, widthUnits)));
    setColour(pen.cr, inkColour(pen, ink));
    cairo_stroke(pen.cr);
}

void strokeOutlined(Pen& pen, const std::vector<Pt>& points, Ink ink, double widthUnits) {
    ++pen.seed;
    const double width = std::max(1.0, px(pen, widthUnits));
    tracePath(pen, points, false);
    setStrokeManner(pen, width + 2 * lineWidth(pen));
    setColour(pen.cr, outlineFor(pen, ink));
    cairo_stroke_preserve(pen.cr);
    setStrokeManner(pen, width);
    setColour(pen.cr, inkColour(pen, ink));
    cairo_stroke(pen.cr);
}
