// Rotation, the first stage of the pipeline: either the enlarging rotation
// that shows the whole picture on a background colour, or the rotation
// about the centre that keeps the image size.
#include <iterator>

#include "engine/color_text.h"
#include "engine/depth_24.h"
#include "engine/geometry_plan.h"
#include "engine/image_limits.h"
#include "engine/stages.h"

namespace {

RGBQUAD backgroundFrom(const std::string& colorText) {
    RgbColor color = colorFromText(colorText);
    RGBQUAD background{};
    background.rgbRed = color.red;
    background.rgbGreen = color.green;
    background.rgbBlue = color.blue;
    background.rgbReserved = 0;  // the uncovered corners are transparent in a 32-bit image
    return background;
}

ImagePtr rotateEnlarging(ImagePtr image, const ConversionSettings& settings) {
    int angle = settings.TransformImageRotation;
    if (!rotationFitsImageLimit(imageWidth(image), imageHeight(image), angle)) return nullptr;
    RGBQUAD background = backgroundFrom(settings.ImageRotationBackColor);
    return ImagePtr(FreeImage_Rotate(image.get(), static_cast<double>(angle), &background));
}

// Uncovered corners are filled by FreeImage's mirroring, so no colour is needed.
ImagePtr rotateAboutCentre(ImagePtr image, const ConversionSettings& settings) {
    double centreX = imageWidth(image) / 2.0;
    double centreY = imageHeight(image) / 2.0;
    return ImagePtr(FreeImage_RotateEx(image.get(), static_cast<double>(settings.TransformImageRotation), 0.0,
                                       0.0, centreX, centreY, FALSE));
}

// By "Image Rotation Type": SIMPLE, ADVANCED.
using Rotator = ImagePtr (*)(ImagePtr, const ConversionSettings&);
constexpr Rotator kRotators[] = {rotateEnlarging, rotateAboutCentre};

}  // namespace

ImagePtr applyRotation(ImagePtr image, const ConversionSettings& settings, BatchJob&) {
    if (!image || !rotationApplies(settings)) return image;
    // FreeImage rotates 24- and 32-bit images as they are; every other depth
    // is brought to 24 bits first, which also takes 16-bit-per-channel
    // images down before tone mapping could see them.
    image = keepDepthWithin(std::move(image), 17, 32);
    if (!image || settings.ImageRotationType >= std::size(kRotators)) return image;
    return kRotators[settings.ImageRotationType](std::move(image), settings);
}

bool rotationLeavesAsIs(const ConversionSettings& settings, const BatchJob&, ImageExtent) {
    return !rotationApplies(settings);
}
