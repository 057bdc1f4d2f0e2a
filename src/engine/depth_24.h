// The 24-bit conversion the stages fall back on when FreeImage cannot work
// on an image's current pixel format.
#pragma once

#include "engine/image.h"

// Replaces the image by a 24-bit RGB copy (a null image stays null).
// FreeImage's own conversion refuses 16-bit greyscale images, which PNG
// files often hold, so those first go through greyscale16To8.
// A 24-bit image comes back as it is; null when no conversion exists.
ImagePtr convertTo24Bits(ImagePtr image);

// The one way a 16-bit grey image (a 16-bit grey PNG as FreeImage loads
// it, type FIT_UINT16) becomes 8 bits, for the image and the watermark
// picture alike: an 8-bit grey bitmap holding the high byte of each sample.
// Null when the copy cannot be allocated.
ImagePtr greyscale16To8(FIBITMAP* grey16);

// FreeImage's conversion to a standard depth (FreeImage_ConvertTo24Bits,
// FreeImage_ConvertTo32Bits); 16-bit grey goes through greyscale16To8, the
// float and 32-bit integer types that it refuses through FreeImage's 8-bit
// standard bitmap. Null when no conversion exists.
ImagePtr convertViaStandardType(FIBITMAP* bitmap, FIBITMAP* (*convert)(FIBITMAP*));

// Keeps an image whose bit depth lies within [lowest, highest] and converts
// any other to 24 bits.
ImagePtr keepDepthWithin(ImagePtr image, int lowest, int highest);
