#include "engine/resize_size.h"

#include <algorithm>
#include <cmath>

#include "engine/image_limits.h"
#include "settings/choices.h"

namespace {

// Explicit rather than through the floating-point environment, so that a
// changed rounding mode elsewhere cannot move a size.
std::int64_t roundHalfToEven(double value) {
    double whole = std::floor(value);
    double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<std::int64_t>(whole);
}

// Far beyond any size the image limit lets through, and far inside int64.
constexpr double kSideCeiling = 4.0e18;

double clampedSide(double side) { return std::fmin(std::fmax(side, -kSideCeiling), kSideCeiling); }

struct Size {
    std::int64_t width;
    std::int64_t height;
};

// The longer side keeps its requested length; the other follows the
// image's proportion. A sliver rounds to 1, not to an empty image.
Size keepProportion(int width, int height, Size requested) {
    if (width >= height) {
        float ratio = static_cast<float>(width) / static_cast<float>(height);
        float other = static_cast<float>(requested.width) / ratio;
        return {requested.width, std::max<std::int64_t>(1, roundHalfAwayFromZero(other))};
    }
    float ratio = static_cast<float>(height) / static_cast<float>(width);
    float other = static_cast<float>(requested.height) / ratio;
    return {std::max<std::int64_t>(1, roundHalfAwayFromZero(other)), requested.height};
}

}  // namespace

std::int64_t requestedSide(int32 value, uint8 unit, int currentSide) {
    if (choiceOf<SizeUnit>(unit) == SizeUnit::Pixels) return value;
    if (choiceOf<SizeUnit>(unit) == SizeUnit::Percent) return roundHalfToEven(clampedSide(value / 100.0 * currentSide));
    return 0;
}

std::int64_t roundHalfAwayFromZero(float value) {
    return std::llround(std::fmin(std::fmax(value, -4.0e18f), 4.0e18f));
}

ResizePlan planResize(int width, int height, const ConversionSettings& settings) {
    if (!settings.DoImageResize || width <= 0 || height <= 0) return {};
    Size requested{requestedSide(settings.ImageWidth, settings.ImageWidthUnit, width),
                   requestedSide(settings.ImageHeight, settings.ImageHeightUnit, height)};
    if (requested.width <= 0 || requested.height <= 0) return {};
    if (requested.width == width && requested.height == height) return {};
    bool smallerBothWays = width < requested.width && height < requested.height;
    if (choiceOf<ResizeScope>(settings.ImageResizeType) == ResizeScope::LargeImages && smallerBothWays) return {};
    Size target = settings.KeepAspectRatio ? keepProportion(width, height, requested) : requested;
    if (!fitsImageLimit(target.width, target.height)) return {ResizeOutcome::TooLarge};
    return {ResizeOutcome::Rescale, static_cast<int>(target.width), static_cast<int>(target.height)};
}
