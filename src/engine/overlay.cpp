#include "engine/overlay.h"

namespace {
bool isTwentyFourBit(FIBITMAP* bitmap) {
    return FreeImage_GetImageType(bitmap) == FIT_BITMAP && FreeImage_GetBPP(bitmap) == 24;
}
}  // namespace

ImagePtr convertTo24Bits(ImagePtr image) {
    if (!image || isTwentyFourBit(image.get())) return image;
    ImagePtr converted(FreeImage_ConvertTo24Bits(image.get()));
    if (!converted) {
        // FreeImage converts FIT_UINT16 and the float types only to an 8-bit
        // standard bitmap, which then converts to 24 bits.
        ImagePtr standard(FreeImage_ConvertToStandardType(image.get(), TRUE));
        if (standard) converted.reset(FreeImage_ConvertTo24Bits(standard.get()));
    }
    return converted ? std::move(converted) : std::move(image);
}

ImagePtr compositeOver(ImagePtr image, FIBITMAP* overlay) {
    if (!image || !overlay) return image;
    ImagePtr composite(FreeImage_Composite(overlay, FALSE, nullptr, image.get()));
    return composite ? std::move(composite) : std::move(image);
}
