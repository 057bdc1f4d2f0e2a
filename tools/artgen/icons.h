// The program's pictures, each drawn by one procedure on the 16-unit grid.
#pragma once

#include <string_view>
#include <vector>

#include "pen.h"

struct IconDrawing {
    std::string_view name;    // image name of the menus and the toolbar
    std::string_view base;    // file base in a theme archive
    void (*draw)(Pen&);
};

const std::vector<IconDrawing>& iconDrawings();

void drawConvertButton(Pen& pen);   // the large picture of the Convert button
void drawAppIcon(Pen& pen);
void drawAboutBanner(cairo_t* cr, int width, int height);
