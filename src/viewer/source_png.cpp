#include "viewer/source_png.h"

#include "engine/image_file.h"
#include "engine/image_limits.h"
#include "engine/png_header.h"

namespace {

// FreeImage keeps rows bottom-up; once flipped its memory holds them
// top-down, as the chain and the viewer's painter read them.
PixelLevel topDownRows(const ImagePtr& image) {
    FreeImage_FlipVertical(image.get());
    return {FreeImage_GetBits(image.get()), static_cast<std::ptrdiff_t>(FreeImage_GetPitch(image.get())),
            FreeImage_GetWidth(image.get()), FreeImage_GetHeight(image.get())};
}

}  // namespace

std::unique_ptr<SourcePicture> loadSourcePicture(const std::string& path) {
    // The same header checks as a conversion's decode: a file that cannot
    // decode, or announces more than the engine takes, is refused before
    // the decoder allocates what it announces.
    const PngHeader header = readPngHeader(path);
    if (!header.valid || !fitsImageLimit(header.width, header.height) || !pngMayDecode(header)) return nullptr;
    ImagePtr decoded = loadImageFile(FIF_PNG, path);
    if (!decoded) return nullptr;
    auto source = std::make_unique<SourcePicture>();
    source->image.reset(FreeImage_ConvertTo32Bits(decoded.get()));
    decoded.reset();
    if (!source->image || FreeImage_GetImageType(source->image.get()) != FIT_BITMAP ||
        FreeImage_GetBPP(source->image.get()) != 32 || FreeImage_GetHeight(source->image.get()) == 0)
        return nullptr;
    if (!buildMipChain(topDownRows(source->image), source->chain)) return nullptr;
    return source;
}
