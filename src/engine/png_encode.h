// Pictures written as PNG files in memory (8-bit RGBA), for the thumbnail
// command: the file is put in place by the caller in one rename.
#pragma once

#include <string>

#include "engine/dds_read.h"

// The PNG file of the picture; empty when libpng fails or the picture has
// no pixels.
std::string encodeRgbaPng(const RgbaPicture& picture);
