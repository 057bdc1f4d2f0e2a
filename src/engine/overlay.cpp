#include "engine/overlay.h"

ImagePtr compositeOver(ImagePtr image, FIBITMAP* overlay) {
    if (!image || !overlay) return image;
    ImagePtr composite(FreeImage_Composite(overlay, FALSE, nullptr, image.get()));
    return composite ? std::move(composite) : std::move(image);
}
