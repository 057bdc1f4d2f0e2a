// Placeholder: passes the image through until the stage is built.
#include "engine/stages.h"

ImagePtr applyFrame(ImagePtr image, int, int, const ConversionSettings&) { return image; }
