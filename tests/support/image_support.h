// The test image helpers: the one Rgba colour record, synthetic bitmaps,
// pixel access with the origin at the top left (as a user sees the image;
// FreeImage itself stores rows bottom-up), bounding boxes of the pixels
// that match a condition, and running one stage as the pipeline does.
// Pixel access comes in two kinds: through an ImagePtr any standard depth is
// read through a 32-bit copy; through a raw FIBITMAP* only 24- and 32-bit
// pixels are read in place.
#pragma once

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/image.h"
#include "engine/stages.h"
#include "settings/batch_job.h"
#include "settings/settings.h"
#include "test_support.h"

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
// A bitmap of the given depth; 8-bit images get a grey ramp palette.
inline ImagePtr makeImage(int width, int height, int bpp) {
    ImagePtr image(FreeImage_Allocate(width, height, bpp));
    if (image && bpp <= 8) {
        RGBQUAD* palette = FreeImage_GetPalette(image.get());
        int colors = 1 << bpp;
        for (int i = 0; i < colors; ++i) {
            auto level = static_cast<BYTE>(i * 255 / (colors - 1));
            palette[i] = RGBQUAD{level, level, level, 0};
        }
    }
    return image;
}

inline unsigned bottomUp(const ImagePtr& image, int yTop) { return FreeImage_GetHeight(image.get()) - 1 - yTop; }

// 24- or 32-bit images only.
inline void setPixel(ImagePtr& image, int x, int yTop, Rgba c) {
    RGBQUAD q{};
    q.rgbRed = static_cast<BYTE>(c.red);
    q.rgbGreen = static_cast<BYTE>(c.green);
    q.rgbBlue = static_cast<BYTE>(c.blue);
    q.rgbReserved = static_cast<BYTE>(c.alpha);
    FreeImage_SetPixelColor(image.get(), x, bottomUp(image, yTop), &q);
}

// Palette images (1, 4, 8 bits).
inline void setIndex(ImagePtr& image, int x, int yTop, int index) {
    auto value = static_cast<BYTE>(index);
    FreeImage_SetPixelIndex(image.get(), x, bottomUp(image, yTop), &value);
}

// Any standard bitmap (1 to 32 bits, and 48/64-bit RGB16/RGBA16), read
// through a 32-bit copy; images without alpha read as opaque.
inline std::vector<Rgba> pixelsOf(const ImagePtr& image) {
    std::vector<Rgba> out;
    bool hasAlpha = FreeImage_GetImageType(image.get()) == FIT_BITMAP && FreeImage_GetBPP(image.get()) == 32;
    ImagePtr copy(FreeImage_ConvertTo32Bits(image.get()));
    if (!copy) return out;
    int width = static_cast<int>(FreeImage_GetWidth(copy.get()));
    int height = static_cast<int>(FreeImage_GetHeight(copy.get()));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            RGBQUAD q{};
            FreeImage_GetPixelColor(copy.get(), x, bottomUp(copy, y), &q);
            out.push_back({q.rgbRed, q.rgbGreen, q.rgbBlue, hasAlpha ? q.rgbReserved : 255});
        }
    return out;
}

inline Rgba pixelAt(const ImagePtr& image, int x, int yTop) {
    return pixelsOf(image).at(static_cast<std::size_t>(yTop * imageWidth(image) + x));
}

// A picture whose every pixel differs from its neighbours, so a misplaced
// pixel shows: red follows x, green follows y, blue mixes both.
inline ImagePtr makePattern(int width, int height, int bpp) {
    ImagePtr image = makeImage(width, height, bpp);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setPixel(image, x, y, {(x * 7) % 256, (y * 11) % 256, (x * 3 + y * 5) % 256, 255 - (x + y) % 128});
    return image;
}

inline ImagePtr copyOf(const ImagePtr& image) { return ImagePtr(FreeImage_Clone(image.get())); }

inline ImagePtr loadPngSuite(const std::string& name) {
    return ImagePtr(FreeImage_Load(FIF_PNG, pngSuitePath(name).c_str(), 0));
}

// A 16-bit sample of a 16-bit-per-channel image, top-down; channel 0 is
// the grey of a FIT_UINT16 image or the red of FIT_RGB16 / FIT_RGBA16.
inline int sample16(const ImagePtr& image, int x, int yTop, int channel) {
    const auto* line = reinterpret_cast<const std::uint16_t*>(FreeImage_GetScanLine(image.get(), bottomUp(image, yTop)));
    int channels = static_cast<int>(FreeImage_GetBPP(image.get())) / 16;
    return line[x * channels + channel];
}

// Whether the image holds nothing but pure black and pure white.
inline bool onlyBlackAndWhite(const ImagePtr& image) {
    for (const Rgba& c : pixelsOf(image)) {
        bool black = c.red == 0 && c.green == 0 && c.blue == 0;
        bool white = c.red == 255 && c.green == 255 && c.blue == 255;
        if (!black && !white) return false;
    }
    return true;
}

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

// Runs one stage as the pipeline would, with a job of its own.
inline ImagePtr runStage(Stage stage, ImagePtr image, const ConversionSettings& settings = {}) {
    BatchJob job;
    return stage(std::move(image), settings, job);
}
