// Dithering to a 1-bit black-and-white image. After a threshold the 1-bit
// image is brought back to 24 bits and dithered again.
#include <iterator>

#include "engine/depth_24.h"
#include "engine/stage_tables.h"
#include "engine/stages.h"

namespace {

// Indexed by "Image Dither Algorithm": FS, BAYER4, BAYER8, BAYER16, CLUSTER6, CLUSTER8, CLUSTER16.
constexpr FREE_IMAGE_DITHER kDitherMethods[] = {FID_FS,         FID_BAYER4x4,   FID_BAYER8x8,    FID_BAYER16x16,
                                                FID_CLUSTER6x6, FID_CLUSTER8x8, FID_CLUSTER16x16};
constexpr FREE_IMAGE_DITHER kFallbackDither = FID_FS;

}  // namespace

FREE_IMAGE_DITHER ditherAlgorithm(uint8 algorithm) {
    return algorithm < std::size(kDitherMethods) ? kDitherMethods[algorithm] : kFallbackDither;
}

ImagePtr applyDither(ImagePtr image, const ConversionSettings& settings, BatchJob&) {
    if (!image || !settings.DoImageDither) return image;
    image = keepDepthWithin(std::move(image), 4, 32);
    if (!image) return image;
    return ImagePtr(FreeImage_Dither(image.get(), ditherAlgorithm(settings.ImageDitherAlgorithm)));
}

bool ditherLeavesAsIs(const ConversionSettings& settings, const BatchJob&, ImageExtent) {
    return !settings.DoImageDither;
}
