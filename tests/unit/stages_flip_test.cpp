#include <gtest/gtest.h>

#include <cstring>

#include "engine/stages.h"
#include "image_support.h"

namespace {

ConversionSettings flips(bool horizontal, bool vertical) {
    ConversionSettings s;
    s.DoImageFlipHorizontal = horizontal ? 1 : 0;
    s.DoImageFlipVertical = vertical ? 1 : 0;
    return s;
}

// Byte-exact comparison of the visible part of every row, for any depth.
bool sameBits(const ImagePtr& a, const ImagePtr& b) {
    if (imageWidth(a) != imageWidth(b) || imageHeight(a) != imageHeight(b) || imageBpp(a) != imageBpp(b)) return false;
    unsigned rowBytes = FreeImage_GetLine(a.get());
    for (int y = 0; y < imageHeight(a); ++y)
        if (std::memcmp(FreeImage_GetScanLine(a.get(), y), FreeImage_GetScanLine(b.get(), y), rowBytes) != 0) return false;
    return true;
}

// Sets palette indices in a varied pattern (1-, 4- and 8-bit images).
ImagePtr makeIndexPattern(int width, int height, int bpp) {
    ImagePtr image = makeImage(width, height, bpp);
    int colors = 1 << bpp;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) setIndex(image, x, y, (x * 5 + y * 3 + x * y) % colors);
    return image;
}

// The picture turned by 180 degrees, built pixel by pixel from the raw
// bits (palette indices below 8 bits, whole pixels above).
ImagePtr halfTurnOf(const ImagePtr& image) {
    ImagePtr turned(FreeImage_Clone(image.get()));
    unsigned w = FreeImage_GetWidth(image.get()), h = FreeImage_GetHeight(image.get());
    unsigned bpp = FreeImage_GetBPP(image.get());
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            unsigned sx = w - 1 - x, sy = h - 1 - y;
            if (bpp < 8) {
                BYTE index = 0;
                FreeImage_GetPixelIndex(image.get(), sx, sy, &index);
                FreeImage_SetPixelIndex(turned.get(), x, y, &index);
            } else {
                unsigned bytes = bpp / 8;
                std::memcpy(FreeImage_GetScanLine(turned.get(), y) + x * bytes,
                            FreeImage_GetScanLine(image.get(), sy) + sx * bytes, bytes);
            }
        }
    return turned;
}

}  // namespace

TEST(StagesFlip, MirrorsEveryPixelInPlace) {
    struct Case { bool horizontal, vertical; } cases[] = {{true, false}, {false, true}, {true, true}};
    for (const auto& c : cases)
        for (int bpp : {24, 32}) {
            ImagePtr image = makePattern(13, 7, bpp);
            std::vector<Rgba> before = pixelsOf(image);
            FIBITMAP* handle = image.get();
            ImagePtr out = runStage(applyFlip, std::move(image), flips(c.horizontal, c.vertical));
            ASSERT_EQ(out.get(), handle);
            std::vector<Rgba> after = pixelsOf(out);
            int mismatches = 0;
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 13; ++x) {
                    int sx = c.horizontal ? 12 - x : x;
                    int sy = c.vertical ? 6 - y : y;
                    if (after[static_cast<std::size_t>(y * 13 + x)] != before[static_cast<std::size_t>(sy * 13 + sx)])
                        ++mismatches;
                }
            EXPECT_EQ(mismatches, 0) << "h " << c.horizontal << " v " << c.vertical << " bpp " << bpp;
        }
}

TEST(StagesFlip, BothFlipsEqualAHalfTurnAtEveryDepth) {
    struct Case { const char* name; ImagePtr image; } cases[] = {
        {"1-bit", makeIndexPattern(24, 9, 1)}, {"4-bit", makeIndexPattern(24, 9, 4)},
        {"8-bit", makeIndexPattern(24, 9, 8)}, {"24-bit", makePattern(24, 9, 24)},
        {"32-bit", makePattern(24, 9, 32)},    {"48-bit", loadPngSuite("basn2c16.png")},
        {"64-bit", loadPngSuite("basn6a16.png")}, {"16-bit grey", loadPngSuite("basn0g16.png")},
    };
    for (auto& c : cases) {
        ASSERT_TRUE(c.image) << c.name;
        ImagePtr halfTurn = halfTurnOf(c.image);
        ImagePtr flipped = runStage(applyFlip, std::move(c.image), flips(true, true));
        EXPECT_TRUE(sameBits(flipped, halfTurn)) << c.name;
    }
}

TEST(StagesFlip, BothFlipsEqualTheRotationStageAtHalfATurn) {
    ConversionSettings halfTurn;
    halfTurn.DoImageRotation = 1;
    halfTurn.TransformImageRotation = 180;
    for (int bpp : {24, 32}) {
        ImagePtr image = makePattern(31, 12, bpp);
        ImagePtr rotated = runStage(applyRotation, copyOf(image), halfTurn);
        ImagePtr flipped = runStage(applyFlip, std::move(image), flips(true, true));
        EXPECT_TRUE(sameBits(flipped, rotated)) << bpp;
    }
}

TEST(StagesFlip, OffLeavesPixelsAlone) {
    ImagePtr image = makePattern(13, 7, 24);
    std::vector<Rgba> before = pixelsOf(image);
    FIBITMAP* handle = image.get();
    ImagePtr out = runStage(applyFlip, std::move(image), flips(false, false));
    EXPECT_EQ(out.get(), handle);
    EXPECT_EQ(pixelsOf(out), before);
    EXPECT_FALSE(runStage(applyFlip, nullptr, flips(true, true)));
}
