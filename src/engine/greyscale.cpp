// Greyscale: an 8-bit grey image; any alpha channel is dropped.
#include "engine/depth_24.h"
#include "engine/stages.h"

ImagePtr applyGreyscale(ImagePtr image, const ConversionSettings& settings, BatchJob&) {
    if (!image || !settings.DoImageGreyscale) return image;
    // FreeImage makes grey from standard bitmaps only, so 16-bit-per-channel
    // images become 24-bit first.
    image = keepDepthWithin(std::move(image), 1, 32);
    if (!image) return image;
    return ImagePtr(FreeImage_ConvertToGreyscale(image.get()));
}

bool greyscaleLeavesAsIs(const ConversionSettings& settings, const BatchJob&, ImageExtent) {
    return !settings.DoImageGreyscale;
}
