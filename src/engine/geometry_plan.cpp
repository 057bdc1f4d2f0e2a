#include "engine/geometry_plan.h"

#include "engine/resize_size.h"
#include "settings/choices.h"

namespace {

std::int64_t pixelsOf(const ImageExtent& extent) { return extent.width * extent.height; }

// The later of two equal sizes, so a quarter turn reports the turned one.
ImageExtent larger(ImageExtent a, ImageExtent b) { return pixelsOf(b) >= pixelsOf(a) ? b : a; }

}  // namespace

bool rotationApplies(const ConversionSettings& settings) {
    return settings.DoImageRotation && settings.TransformImageRotation > 0 && settings.TransformImageRotation < 360;
}

ImageExtent largestPlannedExtent(std::uint32_t width, std::uint32_t height, const ConversionSettings& settings) {
    if (!fitsImageLimit(width, height)) return {};
    ImageExtent current{width, height};
    ImageExtent largest = current;
    // The simple rotation enlarges the canvas; the advanced one keeps the size.
    if (rotationApplies(settings) && choiceOf<RotationType>(settings.ImageRotationType) == RotationType::Simple) {
        const ImageExtent rotated = enlargedRotationExtent(static_cast<int>(width), static_cast<int>(height),
                                                           settings.TransformImageRotation);
        if (!fitsImageLimit(rotated.width, rotated.height)) return largest;
        current = rotated;
        largest = larger(largest, current);
    }
    const ResizePlan resize = planResize(static_cast<int>(current.width), static_cast<int>(current.height), settings);
    if (resize.outcome == ResizeOutcome::Rescale) largest = larger(largest, ImageExtent{resize.width, resize.height});
    return largest;
}
