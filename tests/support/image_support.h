// Small helpers for checking bitmaps pixel by pixel in stage tests: solid
// test images, pixel access with the origin at the top left, bounding boxes
// of the pixels that match a condition, and saving test pictures.
#pragma once

#include <FreeImage.h>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <tuple>

#include "engine/image.h"

struct Rgba {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 255;
    bool operator==(const Rgba&) const = default;
    auto operator<=>(const Rgba&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << c.red << "," << c.green << "," << c.blue << "," << c.alpha << ")";
}

// Top-left origin; 24-bit pixels read with alpha 255.
inline Rgba pixelAt(FIBITMAP* bitmap, int x, int y) {
    const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
    const int bytes = static_cast<int>(FreeImage_GetBPP(bitmap)) / 8;
    const BYTE* p = FreeImage_GetScanLine(bitmap, height - 1 - y) + x * bytes;
    return {p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE], bytes == 4 ? p[FI_RGBA_ALPHA] : 255};
}

inline void setPixel(FIBITMAP* bitmap, int x, int y, Rgba c) {
    const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
    const int bytes = static_cast<int>(FreeImage_GetBPP(bitmap)) / 8;
    BYTE* p = FreeImage_GetScanLine(bitmap, height - 1 - y) + x * bytes;
    p[FI_RGBA_RED] = static_cast<BYTE>(c.red);
    p[FI_RGBA_GREEN] = static_cast<BYTE>(c.green);
    p[FI_RGBA_BLUE] = static_cast<BYTE>(c.blue);
    if (bytes == 4) p[FI_RGBA_ALPHA] = static_cast<BYTE>(c.alpha);
}

// A bitmap of 24 or 32 bits filled with one colour.
inline ImagePtr solidImage(int width, int height, Rgba c, int bpp = 24) {
    ImagePtr image(FreeImage_Allocate(width, height, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) setPixel(image.get(), x, y, c);
    return image;
}

inline bool closeTo(Rgba a, Rgba b, int tolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance && std::abs(a.alpha - b.alpha) <= tolerance;
}

// Inclusive bounds of the pixels for which `matches` holds; empty when none.
struct Box {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool empty() const { return right < left; }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    bool operator==(const Box&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "[" << b.left << "," << b.top << " .. " << b.right << "," << b.bottom << "]";
}

inline Box findBox(FIBITMAP* bitmap, const std::function<bool(Rgba)>& matches) {
    Box box{1 << 30, 1 << 30, -1, -1};
    const int width = static_cast<int>(FreeImage_GetWidth(bitmap)), height = static_cast<int>(FreeImage_GetHeight(bitmap));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (matches(pixelAt(bitmap, x, y))) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    if (box.right < 0) return Box{};
    return box;
}

inline Box boxNotOf(FIBITMAP* bitmap, Rgba background) {
    return findBox(bitmap, [&](Rgba c) { return !(c == background); });
}

inline std::set<Rgba> distinctPixels(FIBITMAP* bitmap) {
    std::set<Rgba> values;
    const int width = static_cast<int>(FreeImage_GetWidth(bitmap)), height = static_cast<int>(FreeImage_GetHeight(bitmap));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) values.insert(pixelAt(bitmap, x, y));
    return values;
}

inline bool sameImage(FIBITMAP* a, FIBITMAP* b) {
    if (FreeImage_GetWidth(a) != FreeImage_GetWidth(b) || FreeImage_GetHeight(a) != FreeImage_GetHeight(b) ||
        FreeImage_GetBPP(a) != FreeImage_GetBPP(b))
        return false;
    for (int y = 0; y < static_cast<int>(FreeImage_GetHeight(a)); ++y)
        for (int x = 0; x < static_cast<int>(FreeImage_GetWidth(a)); ++x)
            if (!(pixelAt(a, x, y) == pixelAt(b, x, y))) return false;
    return true;
}
