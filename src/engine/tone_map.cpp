// Tone mapping of deep images: 48- and 64-bit pictures (16 bits per
// channel) become 24-bit ones with Drago's operator before the colour
// stages, which work on 8 bits per channel.
#include "engine/stages.h"

namespace {
constexpr double kDragoGamma = 1.0;
constexpr double kDragoExposure = 0.0;
}  // namespace

ImagePtr applyToneMapping(ImagePtr image, const ConversionSettings&, BatchJob&) {
    if (imageBpp(image) <= 32) return image;
    return ImagePtr(FreeImage_TmoDrago03(image.get(), kDragoGamma, kDragoExposure));
}

// Only deeper pictures are tone mapped.
bool toneMappingLeavesAsIs(const ConversionSettings&, const BatchJob&, ImageExtent) { return true; }
