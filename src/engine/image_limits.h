// The largest image a stage may create. A percentage or pixel size from the
// settings, or an enlarging rotation, could otherwise ask FreeImage for
// many gigabytes; such a stage gives up (a missing image) before it
// allocates anything.
#pragma once

#include <cstdint>

#include "settings/checked_size.h"

// 16384 x 16384, the largest texture current GPUs accept. At 32 bits per
// pixel that is 1 GiB, so the export buffer and the DDS writer's own
// 32-bit size arithmetic stay in range.
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 28;

inline bool fitsImageLimit(std::int64_t width, std::int64_t height) {
    return pictureFits(width, height, kMaxImagePixels);
}

struct ImageExtent {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The size of a width x height image after the enlarging rotation by angle
// degrees: quarter turns exact, any other angle the rotated rectangle's
// bounding box plus a pixel of rounding on each side.
ImageExtent enlargedRotationExtent(int width, int height, int angle);

// Whether an image of width x height, rotated by angle degrees with the
// enlarging rotation, still fits the limit. Quarter turns are exact; any
// other angle is bounded by the rotated rectangle's bounding box plus a
// pixel of rounding on each side.
bool rotationFitsImageLimit(int width, int height, int angle);
