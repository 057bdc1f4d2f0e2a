// Threshold: a 1-bit black-and-white image, white where the grey value
// reaches the threshold.
#include "engine/depth_24.h"
#include "engine/stages.h"

ImagePtr applyThreshold(ImagePtr image, const ConversionSettings& settings, BatchJob&) {
    if (!image || !settings.DoImageThreshold) return image;
    image = keepDepthWithin(std::move(image), 4, 32);
    if (!image) return image;
    // Only the low byte of the setting is a threshold level.
    auto level = static_cast<BYTE>(settings.ImageThreshold & 0xFF);
    return ImagePtr(FreeImage_Threshold(image.get(), level));
}

bool thresholdLeavesAsIs(const ConversionSettings& settings, const BatchJob&, ImageExtent) {
    return !settings.DoImageThreshold;
}
