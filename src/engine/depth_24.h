// The 24-bit conversion the stages fall back on when FreeImage cannot work
// on an image's current pixel format.
#pragma once

#include "engine/image.h"

// Replaces the image by a 24-bit RGB copy (a null image stays null).
// FreeImage's own conversion refuses 16-bit greyscale images, which PNG
// files often hold, so those first go through 8-bit grey, keeping the high
// byte of each sample.
// A 24-bit image comes back as it is; null when no conversion exists.
ImagePtr convertTo24Bits(ImagePtr image);

// FreeImage's conversion to a standard depth (FreeImage_ConvertTo24Bits,
// FreeImage_ConvertTo32Bits); the float, 16-bit grey and 32-bit integer
// types that it refuses go through an 8-bit standard bitmap first. Null when
// no conversion exists.
ImagePtr convertViaStandardType(FIBITMAP* bitmap, FIBITMAP* (*convert)(FIBITMAP*));

// Keeps an image whose bit depth lies within [lowest, highest] and converts
// any other to 24 bits.
ImagePtr keepDepthWithin(ImagePtr image, int lowest, int highest);
