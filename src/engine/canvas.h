// Drawing canvases for the frame and watermark overlays: cairo ARGB32
// surfaces that release themselves, and the hand-over of a canvas to
// FreeImage as a straight-alpha 32-bit bitmap (cairo keeps its pixels with
// premultiplied alpha, FreeImage's compositing expects straight alpha).
#pragma once

#include <cairo.h>
#include <cstdint>
#include <memory>

#include "engine/color_text.h"
#include "engine/handle.h"
#include "engine/image.h"

using SurfacePtr = Handle<cairo_surface_t, cairo_surface_destroy>;
using ContextPtr = Handle<cairo_t, cairo_destroy>;

// cairo refuses image surfaces with a side above this.
inline constexpr int kMaxCanvasSide = 32767;

// A fully transparent canvas (ARGB32, or A8 for a coverage mask). Null when
// a side is not 1..kMaxCanvasSide or cairo cannot allocate it.
SurfacePtr createCanvas(int width, int height, cairo_format_t format = CAIRO_FORMAT_ARGB32);
// A drawing context on the canvas; null when cairo cannot create one.
ContextPtr createContext(cairo_surface_t* canvas);

// Any integer setting read as an opacity: below 0 is 0, above 255 is 255.
int clampOpacity(int opacity);
// Sets the source colour with an opacity 0..255.
void setSourceColor(cairo_t* context, RgbColor color, int opacity = 255);

// A new 32-bit FreeImage bitmap of the canvas with straight alpha; every
// alpha value is scaled by opacity (0..255). Null when the canvas is not
// ARGB32 or the bitmap cannot be allocated.
ImagePtr canvasToBitmap(cairo_surface_t* canvas, int opacity = 255);
