#include "engine/depth_24.h"

ImagePtr convertTo24Bits(ImagePtr image) {
    if (!image) return image;
    if (FreeImage_GetImageType(image.get()) == FIT_UINT16) image = ImagePtr(FreeImage_ConvertTo8Bits(image.get()));
    if (!image) return image;
    return ImagePtr(FreeImage_ConvertTo24Bits(image.get()));
}

ImagePtr keepDepthWithin(ImagePtr image, int lowest, int highest) {
    int bpp = imageBpp(image);
    if (!image || (bpp >= lowest && bpp <= highest)) return image;
    return convertTo24Bits(std::move(image));
}
