// Placeholder: passes the image through until the stage is built.
#include "engine/stages.h"

ImagePtr applyRotation(ImagePtr image, const ConversionSettings&) { return image; }
