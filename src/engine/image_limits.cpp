#include "engine/image_limits.h"

#include <cmath>
#include <numbers>

ImageExtent enlargedRotationExtent(int width, int height, int angle) {
    int quarter = ((angle % 360) + 360) % 360;
    if (quarter % 90 == 0) {
        bool swapped = quarter == 90 || quarter == 270;
        return swapped ? ImageExtent{height, width} : ImageExtent{width, height};
    }
    double radians = angle * std::numbers::pi / 180.0;
    double c = std::fabs(std::cos(radians));
    double s = std::fabs(std::sin(radians));
    auto side = [](double extent) { return static_cast<std::int64_t>(std::ceil(extent)) + 1; };
    return {side(width * c + height * s), side(width * s + height * c)};
}

bool rotationFitsImageLimit(int width, int height, int angle) {
    const ImageExtent rotated = enlargedRotationExtent(width, height, angle);
    return fitsImageLimit(rotated.width, rotated.height);
}
