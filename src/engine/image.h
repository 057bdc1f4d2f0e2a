// The pipeline's image handle: a FreeImage bitmap that releases itself.
// A stage takes the current image by value and returns the image to go on
// with, so replacing an image releases the old one on every path.
#pragma once

#include <FreeImage.h>
#include <memory>

struct ImageUnloader {
    void operator()(FIBITMAP* bitmap) const noexcept {
        if (bitmap) FreeImage_Unload(bitmap);
    }
};
using ImagePtr = std::unique_ptr<FIBITMAP, ImageUnloader>;

inline int imageWidth(const ImagePtr& image) { return image ? static_cast<int>(FreeImage_GetWidth(image.get())) : 0; }
inline int imageHeight(const ImagePtr& image) { return image ? static_cast<int>(FreeImage_GetHeight(image.get())) : 0; }
inline int imageBpp(const ImagePtr& image) { return image ? static_cast<int>(FreeImage_GetBPP(image.get())) : 0; }
