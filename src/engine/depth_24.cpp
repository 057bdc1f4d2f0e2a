#include "engine/depth_24.h"

ImagePtr convertTo24Bits(ImagePtr image) {
    if (!image) return image;
    if (FreeImage_GetImageType(image.get()) == FIT_BITMAP && FreeImage_GetBPP(image.get()) == 24) return image;
    return convertViaStandardType(image.get(), FreeImage_ConvertTo24Bits);
}

ImagePtr greyscale16To8(FIBITMAP* grey16) {
    const unsigned width = FreeImage_GetWidth(grey16);
    const unsigned height = FreeImage_GetHeight(grey16);
    ImagePtr grey(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 8));
    if (!grey) return nullptr;
    RGBQUAD* palette = FreeImage_GetPalette(grey.get());
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<BYTE>(i);
        palette[i] = RGBQUAD{level, level, level, 0};
    }
    for (unsigned y = 0; y < height; ++y) {
        const auto* source = reinterpret_cast<const WORD*>(FreeImage_GetScanLine(grey16, static_cast<int>(y)));
        BYTE* target = FreeImage_GetScanLine(grey.get(), static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x) target[x] = static_cast<BYTE>(source[x] >> 8);
    }
    return grey;
}

ImagePtr convertViaStandardType(FIBITMAP* bitmap, FIBITMAP* (*convert)(FIBITMAP*)) {
    // FreeImage's standard type would stretch the picture's own darkest to
    // its lightest sample over 0-255; 16-bit grey keeps its high byte instead,
    // the tones a viewer shows.
    if (FreeImage_GetImageType(bitmap) == FIT_UINT16) {
        ImagePtr grey = greyscale16To8(bitmap);
        return grey ? ImagePtr(convert(grey.get())) : nullptr;
    }
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
