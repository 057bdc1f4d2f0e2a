// Drawing vocabulary of the artwork generator: a look (palette and stroke
// manner), and shapes given on a 16-unit design grid that the pen scales to
// the picture size. Outlines are snapped to whole pixels so that small
// icons stay crisp; the hand-drawn look bends its strokes on purpose.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

enum class Ink { Outline, Paper, Folder, FolderFront, Blue, Green, Red, Yellow, Wood, Sky, Grass, Teal, Light, Lens, Count };

struct Rgb {
    double r, g, b;
};

struct Look {
    std::string key;          // "builtin", "handdrawn", "slate"
    Rgb inks[static_cast<int>(Ink::Count)];
    double lineUnits;         // outline width in design units (16 = picture side)
    double cornerUnits;       // corner radius of boxes
    double wobble;            // stroke bending as a share of the picture side
    bool outlineIsShade;      // outline drawn in a darker shade of the fill
    bool offsetFill;          // fill slightly off its outline, as if coloured by hand
};

const Look& builtinLook();
const Look& handdrawnLook();
const Look& slateLook();

struct Pt {
    double x, y;
};

struct Pen {
    cairo_t* cr;
    int size;                 // picture side in pixels
    const Look* look;
    std::uint32_t seed;       // varies the bending from shape to shape
};

Pen makePen(cairo_t* cr, int size, const Look& look, std::uint32_t seed);

// Design units to pixels.
double px(const Pen& pen, double units);
// Outline width in whole pixels (at least one).
double lineWidth(const Pen& pen);

// Point lists in pixels, built from design units.
std::vector<Pt> boxPoints(const Pen& pen, double x0, double y0, double x1, double y1, double corner);
std::vector<Pt> polygonPoints(const Pen& pen, const std::vector<Pt>& units);
std::vector<Pt> circlePoints(const Pen& pen, double cx, double cy, double r);
std::vector<Pt> arcPoints(const Pen& pen, double cx, double cy, double r, double a0, double a1);
std::vector<Pt> starPoints(const Pen& pen, double cx, double cy, double outer, double inner, int tips, double turn);

// A filled shape with its outline.
void fillShape(Pen& pen, const std::vector<Pt>& points, Ink fill);
// A filled shape without an outline.
void fillPlain(Pen& pen, const std::vector<Pt>& points, Ink fill);
// Only the outline a filled shape of that ink would get.
void outlineShape(Pen& pen, const std::vector<Pt>& points, Ink fill);
// Drawing between the two calls stays inside the shape.
void clipTo(Pen& pen, const std::vector<Pt>& points);
void endClip(Pen& pen);
// An open or closed line of the given width in design units.
void strokeLine(Pen& pen, const std::vector<Pt>& points, Ink ink, double widthUnits, bool closed = false);
// A thick line with an outline around it (arrows, handles).
void strokeOutlined(Pen& pen, const std::vector<Pt>& points, Ink ink, double widthUnits);

Rgb inkColour(const Pen& pen, Ink ink);
Rgb shade(Rgb c, double factor);
void setColour(cairo_t* cr, Rgb c);
