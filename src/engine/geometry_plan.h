// What the geometry stages will do to a picture of a given size, known
// before it is decoded: the conversion sizes its warmed heap by the largest
// picture on the way, which with a rotation or an enlarging resize is not
// the input.
#pragma once

#include <cstdint>

#include "engine/image_limits.h"
#include "settings/settings.h"

// The rotation stage turns the picture: rotation on and an angle strictly
// between 0 and 360 (0, 360 and negative angles leave it alone).
bool rotationApplies(const ConversionSettings& settings);

// The largest of the input, the enlarged rotation and the resized picture,
// for a width x height input; zeros for an empty size. A stage that would
// exceed the image limit gives up, so its size does not count.
ImageExtent largestPlannedExtent(std::uint32_t width, std::uint32_t height, const ConversionSettings& settings);
