// What a DDS file made from a PNG must show, and how far DXT1 may stray
// from it: the source decoded by FreeImage to 8 bits per channel, top-down
// RGBA. Deep images go through Drago tone mapping (gamma 1, exposure 0) and
// lose their alpha; 16-bit grey keeps its high byte.
#pragma once

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dds_reader.h"
#include "engine/image.h"

struct ReferenceImage {
    unsigned width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

inline ImagePtr referenceBitmap(const std::string& path) {
    ImagePtr source(FreeImage_Load(FIF_PNG, path.c_str(), 0));
    if (!source) return nullptr;
    if (FreeImage_GetImageType(source.get()) == FIT_UINT16) {
        ImagePtr grey(FreeImage_Allocate(static_cast<int>(FreeImage_GetWidth(source.get())),
                                         static_cast<int>(FreeImage_GetHeight(source.get())), 24));
        for (unsigned y = 0; y < FreeImage_GetHeight(grey.get()); ++y) {
            auto* in = reinterpret_cast<WORD*>(FreeImage_GetScanLine(source.get(), static_cast<int>(y)));
            BYTE* out = FreeImage_GetScanLine(grey.get(), static_cast<int>(y));
            for (unsigned x = 0; x < FreeImage_GetWidth(grey.get()); ++x)
                out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = static_cast<BYTE>(in[x] >> 8);
        }
        source = std::move(grey);
    }
    if (FreeImage_GetBPP(source.get()) > 32) source.reset(FreeImage_TmoDrago03(source.get(), 1.0, 0.0));
    return ImagePtr(FreeImage_ConvertTo32Bits(source.get()));
}

inline ReferenceImage referenceOf(const std::string& path) {
    ReferenceImage ref;
    ImagePtr image = referenceBitmap(path);
    if (!image) return ref;
    ref.width = FreeImage_GetWidth(image.get());
    ref.height = FreeImage_GetHeight(image.get());
    ref.rgba.resize(std::size_t{ref.width} * ref.height * 4);
    for (unsigned y = 0; y < ref.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(image.get(), static_cast<int>(ref.height - 1 - y));
        for (unsigned x = 0; x < ref.width; ++x) {
            std::uint8_t* px = &ref.rgba[(std::size_t{y} * ref.width + x) * 4];
            px[0] = row[4 * x + FI_RGBA_RED];
            px[1] = row[4 * x + FI_RGBA_GREEN];
            px[2] = row[4 * x + FI_RGBA_BLUE];
            px[3] = row[4 * x + FI_RGBA_ALPHA];
        }
    }
    return ref;
}

struct ImageDifference {
    double meanColorError = 0;  // over opaque pixels, per channel
    int maxColorError = 0;
    int alphaMismatches = 0;  // opaque vs. transparent disagreements
};

// The DDS top level must have the reference's size; call only then.
inline ImageDifference compareWithDds(const ReferenceImage& ref, const DdsImage& dds) {
    ImageDifference d;
    long long sum = 0, count = 0;
    for (std::size_t i = 0; i + 3 < ref.rgba.size() && i + 3 < dds.rgba.size(); i += 4) {
        const bool refOpaque = ref.rgba[i + 3] >= 128;
        const bool ddsOpaque = dds.rgba[i + 3] >= 128;
        if (refOpaque != ddsOpaque) ++d.alphaMismatches;
        if (!refOpaque || !ddsOpaque) continue;
        for (int c = 0; c < 3; ++c) {
            const int e = std::abs(ref.rgba[i + c] - dds.rgba[i + c]);
            sum += e;
            ++count;
            d.maxColorError = std::max(d.maxColorError, e);
        }
    }
    d.meanColorError = count ? static_cast<double>(sum) / static_cast<double>(count) : 0;
    return d;
}

inline bool hasTransparency(const ReferenceImage& ref) {
    for (std::size_t i = 3; i < ref.rgba.size(); i += 4)
        if (ref.rgba[i] < 255) return true;
    return false;
}

// Some alpha other than 0 and 255: the automatic format writes DXT5.
inline bool hasSoftAlpha(const ReferenceImage& ref) {
    for (std::size_t i = 3; i < ref.rgba.size(); i += 4)
        if (ref.rgba[i] != 0 && ref.rgba[i] != 255) return true;
    return false;
}

// The largest difference of alpha between the reference and the top level.
inline int maxAlphaError(const ReferenceImage& ref, const DdsImage& dds) {
    int worst = 0;
    for (std::size_t i = 3; i < ref.rgba.size() && i < dds.rgba.size(); i += 4)
        worst = std::max(worst, std::abs(ref.rgba[i] - dds.rgba[i]));
    return worst;
}

// DXT1 keeps four colours per 4 x 4 block (three beside a transparent one),
// so busy blocks of small photos lose more. The writer stays near 7 (11
// with transparency) on PngSuite's worst images.
inline double dxt1MeanErrorLimit(const ReferenceImage& ref) { return hasTransparency(ref) ? 14.0 : 10.0; }
