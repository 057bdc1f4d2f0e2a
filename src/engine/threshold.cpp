// Placeholder: passes the image through until the stage is built.
#include "engine/stages.h"

ImagePtr applyThreshold(ImagePtr image, const ConversionSettings&) { return image; }
