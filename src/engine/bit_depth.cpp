// The last stage before export: brings the image to the depth the output
// format takes. For DDS that is always 32 bits (BGRA).
#include <algorithm>
#include <vector>

#include "engine/depth_24.h"
#include "engine/stages.h"
#include "settings/batch_job.h"
#include "settings/formats.h"

namespace {

// The first listed depth that holds the source depth, else the last one.
int automaticDepth(const std::vector<int>& depths, int sourceDepth) {
    for (int depth : depths)
        if (depth >= sourceDepth) return depth;
    return depths.empty() ? 0 : depths.back();
}

ImagePtr replaced(ImagePtr image, FIBITMAP* (*convert)(FIBITMAP*)) { return ImagePtr(convert(image.get())); }

ImagePtr to24Above32(ImagePtr image) {
    return imageBpp(image) > 32 ? replaced(std::move(image), FreeImage_ConvertTo24Bits) : std::move(image);
}

bool isOneOf(const std::string& text, std::initializer_list<std::string_view> values) {
    for (std::string_view value : values)
        if (text == value) return true;
    return false;
}

ImagePtr to16Bits(ImagePtr image, const BatchJob& job) {
    image = to24Above32(std::move(image));
    if (!image) return image;
    return isOneOf(job.outputExtension, {"ico", "tga"}) ? replaced(std::move(image), FreeImage_ConvertTo16Bits555)
                                                        : replaced(std::move(image), FreeImage_ConvertTo16Bits565);
}

ImagePtr to8Bits(ImagePtr image, const BatchJob& job) {
    if (isOneOf(job.outputExtension, {"j2k", "jp2", "jpg", "jxr"}))
        return replaced(std::move(image), FreeImage_ConvertTo8Bits);
    if (imageBpp(image) != 24) image = replaced(std::move(image), FreeImage_ConvertTo24Bits);
    if (!image) return image;
    return ImagePtr(FreeImage_ColorQuantizeEx(image.get(), FIQ_WUQUANT, 256, 0, nullptr));
}

ImagePtr toDepth(ImagePtr image, int target, const BatchJob& job) {
    switch (target) {
        case 96: return replaced(std::move(image), FreeImage_ConvertToRGBF);
        case 48: return replaced(std::move(image), FreeImage_ConvertToRGB16);
        case 32: return replaced(std::move(image), FreeImage_ConvertTo32Bits);
        case 24: return replaced(std::move(image), FreeImage_ConvertTo24Bits);
        case 16: return to16Bits(std::move(image), job);
        case 8: return to8Bits(std::move(image), job);
        case 4: return replaced(std::move(image), FreeImage_ConvertTo4Bits);
        case 1: return ImagePtr(FreeImage_Dither(image.get(), FID_FS));
        default: return nullptr;
    }
}

}  // namespace

void decideTargetDepth(BatchJob& job) {
    const std::vector<int> depths = listedDepths(job.outputExtension);
    if (job.autoBitDepth) job.targetBitDepth = automaticDepth(depths, job.sourceBitDepth);
    // A depth the format does not list (an edited configuration value)
    // would be exported as garbage: use the format's own depth instead.
    if (!depths.empty() && std::ranges::find(depths, job.targetBitDepth) == depths.end()) job.targetBitDepth = automaticDepth(depths, job.sourceBitDepth);
}

ImagePtr applyBitDepth(ImagePtr image, const ConversionSettings&, BatchJob& job) {
    if (!image) return image;
    decideTargetDepth(job);
    if (FreeImage_GetImageType(image.get()) == FIT_UINT16 && job.targetBitDepth <= 32)
        image = greyscale16To8(image.get());  // FreeImage's depth conversions refuse it
    if (!image) return image;
    const bool standardBitmap = FreeImage_GetImageType(image.get()) == FIT_BITMAP;
    if (imageBpp(image) == job.targetBitDepth && (standardBitmap || job.targetBitDepth > 32)) return image;
    return toDepth(std::move(image), job.targetBitDepth, job);
}

// A format whose only depth is 32 bits keeps a 32-bit picture as it is.
bool bitDepthLeavesAsIs(const ConversionSettings&, const BatchJob& job, ImageExtent) {
    return listedDepths(job.outputExtension) == std::vector<int>{32};
}
