// Resizing, the second stage: percent or pixel sizes, optionally only for
// images larger than the target and optionally keeping the proportions.
#include <iterator>
#include <limits>

#include "engine/resize_size.h"
#include "engine/stage_tables.h"
#include "engine/stages.h"

namespace {

// Indexed by "Image Resize Algorithm": BOX, BILINEAR, BSPLINE, BICUBIC, CATMULLROM, LANCZOS.
constexpr FREE_IMAGE_FILTER kFilters[] = {FILTER_BOX,     FILTER_BILINEAR,  FILTER_BSPLINE,
                                          FILTER_BICUBIC, FILTER_CATMULLROM, FILTER_LANCZOS3};
constexpr FREE_IMAGE_FILTER kFallbackFilter = FILTER_BICUBIC;

}  // namespace

FREE_IMAGE_FILTER resizeFilter(uint8 algorithm) {
    return algorithm < std::size(kFilters) ? kFilters[algorithm] : kFallbackFilter;
}

ImagePtr applyResize(ImagePtr image, const ConversionSettings& settings, BatchJob&) {
    if (!image) return image;
    ResizePlan plan = planResize(imageWidth(image), imageHeight(image), settings);
    switch (plan.outcome) {
        case ResizeOutcome::Unchanged:
            return image;
        case ResizeOutcome::TooLarge:
            return nullptr;  // releases the input: the conversion fails instead of exhausting memory
        case ResizeOutcome::Rescale:
            break;
    }
    return ImagePtr(FreeImage_Rescale(image.get(), plan.width, plan.height, resizeFilter(settings.ImageResizeAlgorithm)));
}

bool resizeLeavesAsIs(const ConversionSettings& settings, const BatchJob&, ImageExtent size) {
    if (size.width > std::numeric_limits<int>::max() || size.height > std::numeric_limits<int>::max()) return false;
    return planResize(static_cast<int>(size.width), static_cast<int>(size.height), settings).outcome == ResizeOutcome::Unchanged;
}
