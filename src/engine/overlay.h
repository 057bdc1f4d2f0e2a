// What the frame and the watermark share: the image they draw on is made
// 24-bit first, and a full-size 32-bit overlay is composited over it.
#pragma once

#include "engine/depth_24.h"
#include "engine/image.h"

// The 32-bit straight-alpha overlay composited over the image with
// FreeImage_Composite: a new 24-bit image replacing the old one. When the
// composite fails (sizes differ, no memory) the image comes back unchanged.
ImagePtr compositeOver(ImagePtr image, FIBITMAP* overlay);
