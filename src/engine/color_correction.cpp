// Brightness, contrast, gamma and inversion in one pass.
#include "engine/depth_24.h"
#include "engine/stages.h"

namespace {

// FreeImage adjusts 8-, 24- and 32-bit bitmaps only and silently leaves any
// other format as it was, which would drop the user's correction (a 16-bit
// greyscale PNG, for one). Those go to 24 bits first, like 1-, 4-, 48- and
// 64-bit images.
bool adjustable(const ImagePtr& image) {
    int bpp = imageBpp(image);
    return FreeImage_GetImageType(image.get()) == FIT_BITMAP && (bpp == 8 || bpp == 24 || bpp == 32);
}

}  // namespace

ImagePtr applyColorCorrection(ImagePtr image, const ConversionSettings& settings, BatchJob&) {
    if (!image || !settings.DoImageColorCorrection) return image;
    if (!adjustable(image)) image = convertTo24Bits(std::move(image));
    if (!image) return image;
    FreeImage_AdjustColors(image.get(), static_cast<double>(settings.ImageBrightness),
                           static_cast<double>(settings.ImageContrast), static_cast<double>(settings.ImageGamma),
                           settings.ImageInvert ? TRUE : FALSE);
    return image;
}

bool colorCorrectionLeavesAsIs(const ConversionSettings& settings, const BatchJob&, ImageExtent) {
    return !settings.DoImageColorCorrection;
}
