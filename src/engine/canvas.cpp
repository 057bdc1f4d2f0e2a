#include "engine/canvas.h"

#include <algorithm>
#include <cstring>

#include "settings/checked_size.h"

SurfacePtr createCanvas(int width, int height, cairo_format_t format) {
    if (!pictureFits(width, 1, kMaxCanvasSide) || !pictureFits(height, 1, kMaxCanvasSide)) return nullptr;
    SurfacePtr canvas(cairo_image_surface_create(format, width, height));
    if (cairo_surface_status(canvas.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return canvas;  // cairo clears new image surfaces to transparent
}

ContextPtr createContext(cairo_surface_t* canvas) {
    if (!canvas) return nullptr;
    ContextPtr context(cairo_create(canvas));
    if (cairo_status(context.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return context;
}

int clampOpacity(int opacity) { return std::clamp(opacity, 0, 255); }

void setSourceColor(cairo_t* context, RgbColor color, int opacity) {
    cairo_set_source_rgba(context, color.red / 255.0, color.green / 255.0, color.blue / 255.0,
                          clampOpacity(opacity) / 255.0);
}

namespace {

std::uint8_t unpremultiply(std::uint32_t value, std::uint32_t alpha) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (value * 255 + alpha / 2) / alpha));
}

// One cairo pixel (native-endian 0xAARRGGBB, premultiplied) into one
// FreeImage pixel (straight alpha, FreeImage's channel order).
void copyPixel(std::uint32_t pixel, int opacity, BYTE* target) {
    const std::uint32_t alpha = pixel >> 24;
    if (alpha == 0) {
        std::memset(target, 0, 4);
        return;
    }
    target[FI_RGBA_RED] = unpremultiply((pixel >> 16) & 0xFF, alpha);
    target[FI_RGBA_GREEN] = unpremultiply((pixel >> 8) & 0xFF, alpha);
    target[FI_RGBA_BLUE] = unpremultiply(pixel & 0xFF, alpha);
    target[FI_RGBA_ALPHA] = static_cast<BYTE>((alpha * static_cast<std::uint32_t>(opacity) + 127) / 255);
}

}  // namespace

ImagePtr canvasToBitmap(cairo_surface_t* canvas, int opacity) {
    if (!canvas || cairo_image_surface_get_format(canvas) != CAIRO_FORMAT_ARGB32) return nullptr;
    cairo_surface_flush(canvas);
    const int width = cairo_image_surface_get_width(canvas);
    const int height = cairo_image_surface_get_height(canvas);
    const int stride = cairo_image_surface_get_stride(canvas);
    const unsigned char* data = cairo_image_surface_get_data(canvas);
    if (!data) return nullptr;
    ImagePtr bitmap(FreeImage_Allocate(width, height, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    if (!bitmap) return nullptr;
    const int scaled = clampOpacity(opacity);
    for (int y = 0; y < height; ++y) {
        // FreeImage keeps its rows bottom-up.
        BYTE* target = FreeImage_GetScanLine(bitmap.get(), height - 1 - y);
        const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, row + 4 * x, 4);
            copyPixel(pixel, scaled, target + 4 * x);
        }
    }
    return bitmap;
}
