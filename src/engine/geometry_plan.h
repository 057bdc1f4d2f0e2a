// What the geometry stages will do, known before the picture is decoded.
#pragma once

#include "settings/settings.h"

// The rotation stage turns the picture: rotation on and an angle strictly
// between 0 and 360 (0, 360 and negative angles leave it alone).
bool rotationApplies(const ConversionSettings& settings);
