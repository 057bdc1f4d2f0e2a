#include "engine/depth_24.h"

ImagePtr convertTo24Bits(ImagePtr image) {
    if (!image) return image;
    if (FreeImage_GetImageType(image.get()) == FIT_BITMAP && FreeImage_GetBPP(image.get()) == 24) return image;
    if (FreeImage_GetImageType(image.get()) == FIT_UINT16) image = ImagePtr(FreeImage_ConvertTo8Bits(image.get()));
    if (!image) return image;
    return convertViaStandardType(image.get(), FreeImage_ConvertTo24Bits);
}

ImagePtr convertViaStandardType(FIBITMAP* bitmap, FIBITMAP* (*convert)(FIBITMAP*)) {
    ImagePtr converted(convert(bitmap));
    if (!converted) {
        ImagePtr standard(FreeImage_ConvertToStandardType(bitmap, TRUE));
        if (standard) converted.reset(convert(standard.get()));
    }
    return converted;
}

ImagePtr keepDepthWithin(ImagePtr image, int lowest, int highest) {
    int bpp = imageBpp(image);
    if (!image || (bpp >= lowest && bpp <= highest)) return image;
    return convertTo24Bits(std::move(image));
}
