// What the frame and the watermark share: the image they draw on is made
// 24-bit first, and a full-size 32-bit overlay is composited over it.
#pragma once

#include "engine/image.h"

// The image as a 24-bit bitmap (16-bit grey and other non-standard types go
// through FreeImage's standard type first). An image FreeImage cannot
// convert comes back unchanged, so a conversion failure never loses it.
ImagePtr convertTo24Bits(ImagePtr image);

// The 32-bit straight-alpha overlay composited over the image with
// FreeImage_Composite: a new 24-bit image replacing the old one. When the
// composite fails (sizes differ, no memory) the image comes back unchanged.
ImagePtr compositeOver(ImagePtr image, FIBITMAP* overlay);
