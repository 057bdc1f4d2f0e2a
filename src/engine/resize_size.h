// The size arithmetic of the resize stage, kept apart from the pixels so
// that every rounding rule can be checked on its own.
#pragma once

#include <cstdint>

#include "settings/settings.h"

enum class ResizeOutcome {
    Unchanged,  // the stage leaves the image as it is
    Rescale,    // rescale to width x height
    TooLarge,   // the requested size exceeds the image limit: the stage gives up
};

struct ResizePlan {
    ResizeOutcome outcome = ResizeOutcome::Unchanged;
    int width = 0;
    int height = 0;
};

// One requested side: the value itself for pixels, value percent of the
// current side rounded half to even for percent, 0 for an unknown unit.
// Wide enough that no setting can overflow it.
std::int64_t requestedSide(int32 value, uint8 unit, int currentSide);

// Rounds half away from zero, in the single precision the proportion rule
// is computed in.
std::int64_t roundHalfAwayFromZero(float value);

// The whole decision of the resize stage for an image of width x height.
ResizePlan planResize(int width, int height, const ConversionSettings& settings);
