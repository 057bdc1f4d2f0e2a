// Placeholder: passes the image through until the stage is built.
#include "engine/stages.h"

ImagePtr applyColorCorrection(ImagePtr image, const ConversionSettings&) { return image; }
