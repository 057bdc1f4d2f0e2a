// Placeholder: passes the image through until the stage is built.
#include "engine/stages.h"

ImagePtr applyWatermark(ImagePtr image, int, int, const ConversionSettings&, const BatchJob&) { return image; }
