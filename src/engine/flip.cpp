// Mirroring, in place on any bit depth: horizontal first, then vertical.
#include "engine/stages.h"

ImagePtr applyFlip(ImagePtr image, const ConversionSettings& settings, BatchJob&) {
    if (!image) return image;
    if (settings.DoImageFlipHorizontal) FreeImage_FlipHorizontal(image.get());
    if (settings.DoImageFlipVertical) FreeImage_FlipVertical(image.get());
    return image;
}

bool flipLeavesAsIs(const ConversionSettings& settings, const BatchJob&, ImageExtent) {
    return !settings.DoImageFlipHorizontal && !settings.DoImageFlipVertical;
}
