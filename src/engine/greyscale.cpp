// Placeholder: passes the image through until the stage is built.
#include "engine/stages.h"

ImagePtr applyGreyscale(ImagePtr image, const ConversionSettings&) { return image; }
