#include "engine/geometry_plan.h"

bool rotationApplies(const ConversionSettings& settings) {
    return settings.DoImageRotation && settings.TransformImageRotation > 0 && settings.TransformImageRotation < 360;
}
