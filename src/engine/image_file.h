// Image files read through a handle of our own rather than by name, so the
// decoder only ever sees a regular file that the open descriptor vouches for
// (a FIFO or device named as input would block or feed it endlessly).
#pragma once

#include <string>

#include "engine/image.h"

// The file's format as the decoder identifies it; FIF_UNKNOWN for anything
// that is not a readable regular file.
FREE_IMAGE_FORMAT imageFileFormat(const std::string& path);
// Decodes the file in the given format (flags as for FreeImage_Load); null
// when the file is not a readable regular file or does not decode.
ImagePtr loadImageFile(FREE_IMAGE_FORMAT format, const std::string& path, int flags = 0);
