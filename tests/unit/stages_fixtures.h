// Small synthetic bitmaps and pixel readers for the stage tests. Pixel
// coordinates here are top-down (row 0 is the top of the picture), as a
// user sees the image; FreeImage itself stores rows bottom-up.
#pragma once

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image.h"
#include "settings/settings.h"
#include "test_support.h"

struct Rgba {
    int red = 0, green = 0, blue = 0, alpha = 255;
    bool operator==(const Rgba&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << c.red << "," << c.green << "," << c.blue << "," << c.alpha << ")";
}

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
