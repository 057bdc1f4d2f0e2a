// Placeholder: passes the image through until the stage is built.
#include "engine/stages.h"

ImagePtr applyDither(ImagePtr image, const ConversionSettings&) { return image; }
