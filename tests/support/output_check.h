// Helpers for end-to-end checks of what the tool writes: picture fixtures
// written with FreeImage, a conversion through build/tovrel into a private
// output folder, and pixel checks on the decoded top level of the DDS file.
// The writer's DXT1: a 4 x 4 block of one colour decodes to that colour
// within the 5-6-5 rounding, a block of two colours to exactly those two, so
// the checks below look at block-aligned flat regions where colours must
// be exact-ish and count or bound pixels elsewhere.
#pragma once

#include <gtest/gtest.h>

#include <FreeImage.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dds_reader.h"
#include "test_support.h"

// Largest channel difference of a flat block after DXT1 (5-6-5 endpoints).
constexpr int kFlatTolerance = 8;

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "[" << r.x << "," << r.y << " " << r.width << "x" << r.height << "]";
}

inline std::string describe(const RgbaPixel& p) {
    std::ostringstream out;
    out << "(" << int{p[0]} << "," << int{p[1]} << "," << int{p[2]} << "," << int{p[3]} << ")";
    return out.str();
}

using PixelSource = std::function<RgbaPixel(int x, int y)>;

struct PictureDeleter {
    void operator()(FIBITMAP* bitmap) const noexcept { FreeImage_Unload(bitmap); }
};
using PicturePtr = std::unique_ptr<FIBITMAP, PictureDeleter>;

// A 24-bit bitmap (alpha ignored) or a 32-bit one, y = 0 the top row.
inline PicturePtr makePicture(int width, int height, int bpp, const PixelSource& pixel) {
    PicturePtr bitmap(FreeImage_Allocate(width, height, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    if (!bitmap) return bitmap;
    const int bytes = bpp / 8;
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap.get(), height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const RgbaPixel p = pixel(x, y);
            BYTE* target = row + x * bytes;
            target[FI_RGBA_RED] = p[0];
            target[FI_RGBA_GREEN] = p[1];
            target[FI_RGBA_BLUE] = p[2];
            if (bytes == 4) target[FI_RGBA_ALPHA] = p[3];
        }
    }
    return bitmap;
}

// Saves a 24-bit picture as PNG, JPEG (best quality) or BMP.
inline bool writeRgbPicture(const std::string& path, FREE_IMAGE_FORMAT format, int width, int height,
                            const PixelSource& pixel) {
    PicturePtr bitmap = makePicture(width, height, 24, pixel);
    const int flags = format == FIF_JPEG ? JPEG_QUALITYSUPERB : 0;
    return bitmap && FreeImage_Save(format, bitmap.get(), path.c_str(), flags);
}

// One run of the tool on `input` into work + "out/", and its output read back.
struct ToolOutput {
    RunResult run;
    std::vector<std::string> files;  // what the output folder holds afterwards
    DdsImage dds;                    // the one file there, decoded
};

inline ToolOutput convertWithTool(const TempFolder& work, const std::string& input,
                                  const std::vector<std::string>& options) {
    ToolOutput out;
    const std::string folder = work.path + "out/";
    std::filesystem::create_directories(folder);
    std::vector<std::string> args{"-i", input, "-o", folder};
    args.insert(args.end(), options.begin(), options.end());
    out.run = runTovrel(args, work.path);
    out.files = listFolder(folder);
    if (out.files.size() == 1) out.dds = readDdsFile(folder + out.files.front());
    return out;
}

// The run reported one converted file and left exactly one readable DDS
// file with its full mip chain.
inline testing::AssertionResult convertedOneFile(const ToolOutput& out) {
    if (out.run.lines.empty() || out.run.lines.back() != "Files converted: 1 of 1")
        return testing::AssertionFailure() << "console said:\n" << out.run.output;
    if (out.files.size() != 1) return testing::AssertionFailure() << out.files.size() << " files in the output folder";
    if (!out.dds.ok) return testing::AssertionFailure() << "unreadable DDS: " << out.dds.error;
    if (out.dds.header.mipMapCount != fullMipCount(out.dds.header.width, out.dds.header.height) ||
        out.dds.dataSize != out.dds.expectedDataSize)
        return testing::AssertionFailure() << "incomplete mip chain: " << out.dds.header.mipMapCount << " levels";
    return testing::AssertionSuccess();
}

inline int ddsWidth(const DdsImage& dds) { return static_cast<int>(dds.header.width); }
inline int ddsHeight(const DdsImage& dds) { return static_cast<int>(dds.header.height); }

inline RgbaPixel ddsPixel(const DdsImage& dds, int x, int y) {
    const std::uint8_t* p = &dds.rgba[(static_cast<std::size_t>(y) * dds.header.width + static_cast<std::size_t>(x)) * 4];
    return {p[0], p[1], p[2], p[3]};
}

inline int channelDistance(const RgbaPixel& a, const RgbaPixel& b, bool withAlpha = true) {
    int worst = 0;
    for (int c = 0; c < (withAlpha ? 4 : 3); ++c) worst = std::max(worst, std::abs(int{a[c]} - int{b[c]}));
    return worst;
}

inline bool isNear(const RgbaPixel& a, const RgbaPixel& b, int tolerance = kFlatTolerance) {
    return channelDistance(a, b) <= tolerance;
}

// Every pixel of the region within `tolerance` of `expected` (all four
// channels); the failure names the worst pixel.
inline testing::AssertionResult regionIs(const DdsImage& dds, const Rect& region, const RgbaPixel& expected,
                                         int tolerance = kFlatTolerance) {
    if (region.x < 0 || region.y < 0 || region.x + region.width > ddsWidth(dds) ||
        region.y + region.height > ddsHeight(dds) || region.width <= 0 || region.height <= 0)
        return testing::AssertionFailure() << "region " << region << " outside the " << ddsWidth(dds) << "x"
                                           << ddsHeight(dds) << " image";
    int worst = -1, worstX = 0, worstY = 0;
    for (int y = region.y; y < region.y + region.height; ++y)
        for (int x = region.x; x < region.x + region.width; ++x) {
            const int d = channelDistance(ddsPixel(dds, x, y), expected);
            if (d > worst) worst = d, worstX = x, worstY = y;
        }
    if (worst <= tolerance) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "region " << region << ": pixel (" << worstX << "," << worstY << ") is "
                                       << describe(ddsPixel(dds, worstX, worstY)) << ", expected "
                                       << describe(expected) << " within " << tolerance;
}

// Inclusive bounding box of the pixels that match, as a Rect; empty
// (width 0) when none does.
inline Rect boundsWhere(const DdsImage& dds, const std::function<bool(const RgbaPixel&)>& matches) {
    int left = ddsWidth(dds), top = ddsHeight(dds), right = -1, bottom = -1;
    for (int y = 0; y < ddsHeight(dds); ++y)
        for (int x = 0; x < ddsWidth(dds); ++x)
            if (matches(ddsPixel(dds, x, y))) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

inline int countWhere(const DdsImage& dds, const Rect& region, const std::function<bool(const RgbaPixel&)>& matches) {
    int count = 0;
    for (int y = region.y; y < region.y + region.height; ++y)
        for (int x = region.x; x < region.x + region.width; ++x)
            if (matches(ddsPixel(dds, x, y))) ++count;
    return count;
}

inline Rect wholeImage(const DdsImage& dds) { return {0, 0, ddsWidth(dds), ddsHeight(dds)}; }
