// The setting-to-FreeImage tables of the resize and dither stages, open to
// tests so that every row and the fall-back can be checked.
#pragma once

#include <FreeImage.h>

#include "settings/settings.h"

// "Image Resize Algorithm" to resampling filter; unknown values resample bicubic.
FREE_IMAGE_FILTER resizeFilter(uint8 algorithm);  // resize.cpp

// "Image Dither Algorithm" to dither method; unknown values use Floyd-Steinberg.
FREE_IMAGE_DITHER ditherAlgorithm(uint8 algorithm);  // dither.cpp
