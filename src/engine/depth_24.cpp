#include "engine/depth_24.h"

ImagePtr convertTo24Bits(ImagePtr image) {
    if (!image) return image;
    if (FreeImage_GetImageType(image.get()) == FIT_BITMAP && FreeImage_GetBPP(image.get()) == 24) return image;
    if (FreeImage_GetImageType(image.get()) == FIT_UINT16) image = ImagePtr(FreeImage_ConvertTo8Bits(image.get()));
    if (!image) return image;
    ImagePtr converted(FreeImage_ConvertTo24Bits(image.get()));
    if (!converted) {
        // The float and 32-bit integer types convert only through an 8-bit
        // standard bitmap.
        ImagePtr standard(FreeImage_ConvertToStandardType(image.get(), TRUE));
        if (standard) converted.reset(FreeImage_ConvertTo24Bits(standard.get()));
    }
    return converted;
}

ImagePtr keepDepthWithin(ImagePtr image, int lowest, int highest) {
    int bpp = imageBpp(image);
    if (!image || (bpp >= lowest && bpp <= highest)) return image;
    return convertTo24Bits(std::move(image));
}
