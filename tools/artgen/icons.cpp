#include "icons.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// An arrow from `from` to `to` as one polygon: shaft of half width `shaft`,
// head of half width `head` and length `headLength` (design units).
std::vector<Pt> arrowShape(Pt from, Pt to, double shaft, double head, double headLength) {
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    const double ux = (to.x - from.x) / length, uy = (to.y - from.y) / length;
    const double nx = -uy, ny = ux;
    const Pt neck{to.x - ux * headLength, to.y - uy * headLength};
    return {{from.x + nx * shaft, from.y + ny * shaft}, {neck.x + nx * shaft, neck.y + ny * shaft},
            {neck.x + nx * head, neck.y + ny * head},   to,
            {neck.x - nx * head, neck.y - ny * head},   {neck.x - nx * shaft, neck.y - ny * shaft},
            {from.x - nx * shaft, from.y - ny * shaft}};
}

// A curved arrow along a circle from angle a0 to a1 (either direction) as
// one polygon: the shaft between two arcs, then a head whose tip runs on
// along the circle (design units).
std::vector<Pt> curvedArrow(double cx, double cy, double r, double a0, double a1, double shaft, double head,
                            double headLength) {
    const double sign = a1 > a0 ? 1.0 : -1.0;
    const double neck = a1 - sign * headLength / r;
    const int steps = 24;
    auto at = [&](double radius, double a) { return Pt{cx + radius * std::cos(a), cy + radius * std::sin(a)}; };
    std::vector<Pt> out;
    for (int k = 0; k <= steps; ++k) out.push_back(at(r + shaft, a0 + (neck - a0) * k / steps));
    out.push_back(at(r + head, neck));
    out.push_back(at(r, a1));
    out.push_back(at(r - head, neck));
    for (int k = steps; k >= 0; --k) out.push_back(at(r - shaft, a0 + (neck - a0) * k / steps));
    return out;
}

void page(Pen& pen, double x0, double y0, double x1, double y1) {
    const double fold = (x1 - x0) * 0.32;
    fillShape(pen, polygonPoints(pen, {{x0, y0}, {x1 - fold, y0}, {x1, y0 + fold}, {x1, y1}, {x0, y1}}), Ink::Paper);
    strokeLine(pen, polygonPoints(pen, {{x1 - fold, y0}, {x1 - fold, y0 + fold}, {x1, y0 + fold}}), Ink::Outline,
               pen.look->lineUnits * 0.9);
}

void textLines(Pen& pen, double x0, double x1, double y0, int count) {
    if (pen.size < 24) return;
    for (int k = 0; k < count; ++k) {
        const double y = y0 + k * 2.0;
        strokeLine(pen, polygonPoints(pen, {{x0, y}, {x1 - (k % 2) * 2.0, y}}), Ink::Sky, 0.7);
    }
}

void folder(Pen& pen) {
    fillShape(pen, polygonPoints(pen, {{1, 2.5}, {6, 2.5}, {7.5, 4.5}, {15, 4.5}, {15, 14}, {1, 14}}), Ink::Folder);
    fillShape(pen, boxPoints(pen, 1, 6.5, 15, 14.5, 0.6), Ink::FolderFront);
}

// A framed picture: sky, sun and hills, the frame drawn last over the
// hills' edges.
void landscape(Pen& pen, double x0, double y0, double x1, double y1) {
    const std::vector<Pt> frame = boxPoints(pen, x0, y0, x1, y1, 0.8);
    fillPlain(pen, frame, Ink::Sky);
    clipTo(pen, frame);
    const double w = x1 - x0, h = y1 - y0;
    fillPlain(pen, circlePoints(pen, x0 + w * 0.72, y0 + h * 0.3, h * 0.14 + 0.4), Ink::Yellow);
    fillShape(pen,
              polygonPoints(pen, {{x0 - 1, y1 + 1}, {x0 + w * 0.35, y0 + h * 0.38}, {x0 + w * 0.62, y1 - h * 0.3},
                                  {x0 + w * 0.75, y0 + h * 0.58}, {x1 + 1, y1 + 1}}),
              Ink::Grass);
    endClip(pen);
    outlineShape(pen, frame, Ink::Sky);
}

void badge(Pen& pen, double cx, double cy, double r, Ink ink) {
    fillShape(pen, circlePoints(pen, cx, cy, r), ink);
}

void plusMark(Pen& pen, double cx, double cy, double arm) {
    const double w = 1.4;
    strokeLine(pen, polygonPoints(pen, {{cx - arm, cy}, {cx + arm, cy}}), Ink::Light, w);
    strokeLine(pen, polygonPoints(pen, {{cx, cy - arm}, {cx, cy + arm}}), Ink::Light, w);
}

struct Box {
    double x0, y0, x1, y1;
};

// Texture levels, each about half the one before, stacked behind it; drawn
// from the smallest (furthest back) to the largest.
void mipmapLevels(Pen& pen, const Box (&levels)[3]) {
    const Ink inks[3] = {Ink::Blue, Ink::Teal, Ink::Green};
    for (int level = 2; level >= 0; --level) {
        const Box& b = levels[level];
        fillShape(pen, boxPoints(pen, b.x0, b.y0, b.x1, b.y1, 0.5), inks[level]);
    }
}

void drawNew(Pen& pen) {
    page(pen, 2.5, 1, 12.5, 15);
    textLines(pen, 4.5, 10, 6, 3);
    fillShape(pen, starPoints(pen, 12, 12, 3.8, 1.3, 4, 0), Ink::Yellow);
}

void drawAdd(Pen& pen) {
    landscape(pen, 1, 2, 13, 12);
    badge(pen, 12, 11.5, 3.7, Ink::Green);
    plusMark(pen, 12, 11.5, 2);
}

void drawOutFolder(Pen& pen) {
    folder(pen);
    fillShape(pen, polygonPoints(pen, arrowShape({5, 10.5}, {15.5, 10.5}, 1.4, 3.3, 3.6)), Ink::Blue);
}

void drawOutFormat(Pen& pen) {
    mipmapLevels(pen, {{1, 6, 10, 15}, {7, 3, 12.5, 8.5}, {11, 1, 15, 5}});
}

void drawFavFolder(Pen& pen) {
    folder(pen);
    fillShape(pen, starPoints(pen, 10.5, 10.2, 4.6, 2.0, 5, 0), Ink::Yellow);
}

void drawExit(Pen& pen) {
    fillShape(pen, boxPoints(pen, 1.5, 1, 10, 15, 0.4), Ink::Wood);
    fillPlain(pen, circlePoints(pen, 8, 8.5, 0.9), Ink::Yellow);
    fillShape(pen, polygonPoints(pen, arrowShape({6, 8}, {15.5, 8}, 1.5, 3.6, 3.8)), Ink::Red);
}

void turnArrows(Pen& pen, double cx, double cy, double r, double width, Ink ink) {
    fillShape(pen, polygonPoints(pen, curvedArrow(cx, cy, r, kPi * 1.02, kPi * 1.85, width / 2, width * 1.45, 2.6)), ink);
    fillShape(pen, polygonPoints(pen, curvedArrow(cx, cy, r, kPi * 0.02, kPi * 0.85, width / 2, width * 1.45, 2.6)), ink);
}

void drawConvert(Pen& pen) {
    turnArrows(pen, 8, 8, 5.2, 1.9, Ink::Green);
}

void drawCustomConverter(Pen& pen) {
    page(pen, 1.5, 1, 10.5, 14);
    textLines(pen, 3.5, 8.5, 5, 3);
    strokeOutlined(pen, polygonPoints(pen, {{11.6, 11.6}, {14.6, 14.6}}), Ink::Wood, 2.0);
    fillShape(pen, circlePoints(pen, 9.3, 9.3, 3.6), Ink::Lens);
}

void drawPreferences(Pen& pen) {
    const double rows[3] = {3.5, 8, 12.5};
    const double knobs[3] = {5, 10.5, 7};
    const Ink inks[3] = {Ink::Blue, Ink::Green, Ink::Red};
    for (int k = 0; k < 3; ++k) {
        strokeLine(pen, polygonPoints(pen, {{1.5, rows[k]}, {14.5, rows[k]}}), Ink::Outline, 1.2);
        fillShape(pen, boxPoints(pen, knobs[k] - 1.5, rows[k] - 2, knobs[k] + 1.5, rows[k] + 2, 0.5), inks[k]);
    }
}

void drawHelp(Pen& pen) {
    badge(pen, 8, 8, 7, Ink::Blue);
    std::vector<Pt> hook = arcPoints(pen, 8, 6.2, 2.4, kPi * 1.05, kPi * 2.35);
    const std::vector<Pt> stem = polygonPoints(pen, {{8, 10}});
    hook.insert(hook.end(), stem.begin(), stem.end());
    strokeLine(pen, hook, Ink::Light, 1.7);
    fillPlain(pen, circlePoints(pen, 8, 12.6, 1.1), Ink::Light);
}

void drawEmail(Pen& pen) {
    fillShape(pen, boxPoints(pen, 1, 3, 15, 13.5, 0.5), Ink::Paper);
    strokeLine(pen, polygonPoints(pen, {{1.8, 3.8}, {8, 9}, {14.2, 3.8}}), Ink::Outline, pen.look->lineUnits);
    if (pen.size >= 24)
        strokeLine(pen, polygonPoints(pen, {{1.8, 12.7}, {6, 8}}), Ink::Outline, pen.look->lineUnits * 0.7);
    if (pen.size >= 24)
        strokeLine(pen, polygonPoints(pen, {{14.2, 12.7}, {10, 8}}), Ink::Outline, pen.look->lineUnits * 0.7);
}

void drawWebGlobe(Pen& pen) {
    fillShape(pen, circlePoints(pen, 8, 8, 7), Ink::Teal);
    const double w = 0.9;
    std::vector<Pt> meridian;
    for (int k = 0; k < 48; ++k) {
        const double a = 2 * kPi * k / 48;
        meridian.push_back({px(pen, 8 + 3 * std::cos(a)), px(pen, 8 + 6.3 * std::sin(a))});
    }
    strokeLine(pen, meridian, Ink::Light, w, true);
    strokeLine(pen, polygonPoints(pen, {{8, 1.7}, {8, 14.3}}), Ink::Light, w);
    strokeLine(pen, polygonPoints(pen, {{1.7, 8}, {14.3, 8}}), Ink::Light, w);
    strokeLine(pen, polygonPoints(pen, {{3.1, 4.5}, {12.9, 4.5}}), Ink::Light, w);
    strokeLine(pen, polygonPoints(pen, {{3.1, 11.5}, {12.9, 11.5}}), Ink::Light, w);
}

void drawUpdates(Pen& pen) {
    strokeOutlined(pen, polygonPoints(pen, {{2, 10}, {2, 14}, {14, 14}, {14, 10}}), Ink::Blue, 1.6);
    fillShape(pen, polygonPoints(pen, arrowShape({8, 0.8}, {8, 11.5}, 1.7, 4.3, 4.4)), Ink::Green);
}

void drawAbout(Pen& pen) {
    badge(pen, 8, 8, 7, Ink::Blue);
    fillPlain(pen, circlePoints(pen, 8, 4.6, 1.2), Ink::Light);
    strokeLine(pen, polygonPoints(pen, {{8, 7.2}, {8, 12.2}}), Ink::Light, 2.0);
}

// A texture's levels seen through a lens.
void drawViewTexture(Pen& pen) {
    mipmapLevels(pen, {{1, 4, 10, 13}, {8, 2, 12, 6}, {11.5, 1, 14, 3.5}});
    strokeOutlined(pen, polygonPoints(pen, {{11.8, 11.8}, {14.8, 14.8}}), Ink::Wood, 2.0);
    fillShape(pen, circlePoints(pen, 9.5, 9.5, 3.4), Ink::Lens);
}

const std::vector<IconDrawing> kIcons = {
    {"New", "new", drawNew},
    {"Add", "add", drawAdd},
    {"OutFolder", "outfolder", drawOutFolder},
    {"OutFormat", "outformat", drawOutFormat},
    {"FavFolder", "favfolder", drawFavFolder},
    {"Exit", "exit", drawExit},
    {"Convert", "convert", drawConvert},
    {"CustomConverter", "customconverter", drawCustomConverter},
    {"Preferences", "preferences", drawPreferences},
    {"Help", "help", drawHelp},
    {"Email", "email", drawEmail},
    {"Web", "web", drawWebGlobe},
    {"Updates", "updates", drawUpdates},
    {"About", "about", drawAbout},
    {"ViewTexture", "viewtexture", drawViewTexture},
};

}  // namespace

const std::vector<IconDrawing>& iconDrawings() { return kIcons; }

void drawConvertButton(Pen& pen) {
    landscape(pen, 0.8, 0.8, 10, 8.5);
    mipmapLevels(pen, {{8, 9, 14.5, 15.5}, {11.5, 6, 15.5, 10}, {13.3, 3.6, 15.8, 6.1}});
    // A curved arrow from the picture down into the texture levels.
    fillShape(pen, polygonPoints(pen, curvedArrow(7.6, 8.6, 4.6, kPi * 0.98, kPi * 0.5, 1.0, 2.1, 2.6)), Ink::Green);
}

void drawAppIcon(Pen& pen) {
    fillShape(pen, boxPoints(pen, 10.5, 0.5, 15.5, 5.5, 0.5), Ink::Green);
    fillShape(pen, boxPoints(pen, 6.5, 2, 14, 9.5, 0.8), Ink::Teal);
    landscape(pen, 0.5, 4.5, 11.5, 15.5);
}

void drawAboutBanner(cairo_t* cr, int width, int height) {
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, width, 0);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.16, 0.26, 0.40);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.13, 0.50, 0.56);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);

    // The application mark at the left, drawn at 32 pixels.
    cairo_save(cr);
    cairo_translate(cr, 6, (height - 32) / 2);
    Pen mark = makePen(cr, 32, builtinLook(), 7);
    drawAppIcon(mark);
    cairo_restore(cr);

    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 19);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, "Korvane PNG to DDS", &extents);
    const double baseline = std::round(height / 2.0 - extents.y_bearing - extents.height / 2);
    cairo_move_to(cr, 48, baseline);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_show_text(cr, "Korvane PNG to DDS");

    // A chain of texture levels fading out towards the right edge.
    double side = 16, x = width - 96;
    for (int level = 0; level < 5; ++level) {
        cairo_rectangle(cr, std::round(x) + 0.5, std::round(height / 2.0 + 8 - side) + 0.5, side - 1, side - 1);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.55 - level * 0.09);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.9 - level * 0.12);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        x += side + 4;
        side = std::max(2.0, side / 2 + 1);
    }
}
