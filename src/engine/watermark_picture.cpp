// The picture watermark: a PNG, JPEG or BMP file, whatever its name says,
// on a transparent canvas of its own size, at Image Opacity and optionally
// in grey.
#include <algorithm>
#include <array>

#include "engine/canvas.h"
#include "engine/depth_24.h"
#include "engine/image_file.h"
#include "engine/image_limits.h"
#include "engine/png_header.h"
#include "engine/watermark.h"

namespace {

constexpr std::array<FREE_IMAGE_FORMAT, 3> kPictureFormats{FIF_PNG, FIF_JPEG, FIF_BMP};

// The size in the picture's header, read without its pixels: a small file
// may announce far more pixels than any image of the program may have, and
// the decoder would allocate them all before it found the data missing.
bool announcedSizeAcceptable(FREE_IMAGE_FORMAT format, const std::string& path) {
    const ImagePtr header = loadImageFile(format, path, FIF_LOAD_NOPIXELS);
    if (!header || !fitsImageLimit(imageWidth(header), imageHeight(header))) return false;
    if (format != FIF_PNG) return true;
    const PngHeader png = readPngHeader(path);
    return !png.valid || pngMayDecode(png);
}

ImagePtr loadPicture(const std::string& path) {
    if (path.empty()) return nullptr;
    const FREE_IMAGE_FORMAT format = imageFileFormat(path);
    if (std::find(kPictureFormats.begin(), kPictureFormats.end(), format) == kPictureFormats.end()) return nullptr;
    if (!announcedSizeAcceptable(format, path)) return nullptr;
    return loadImageFile(format, path);
}

// Every picture becomes 32-bit with straight alpha; pictures without an
// alpha channel come out opaque, palette transparency becomes alpha.
ImagePtr to32Bits(ImagePtr picture) {
    if (!picture) return nullptr;
    return convertViaStandardType(picture.get(), FreeImage_ConvertTo32Bits);
}

// The luminance weights in 8-bit fixed point: 77 + 150 + 29 = 256.
BYTE greyOf(const BYTE* pixel) {
    return static_cast<BYTE>((77 * pixel[FI_RGBA_RED] + 150 * pixel[FI_RGBA_GREEN] + 29 * pixel[FI_RGBA_BLUE]) >> 8);
}

void filterPixels(FIBITMAP* picture, bool greyscale, int opacity) {
    const unsigned width = FreeImage_GetWidth(picture), height = FreeImage_GetHeight(picture);
    for (unsigned y = 0; y < height; ++y) {
        BYTE* pixel = FreeImage_GetScanLine(picture, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, pixel += 4) {
            if (greyscale) pixel[FI_RGBA_RED] = pixel[FI_RGBA_GREEN] = pixel[FI_RGBA_BLUE] = greyOf(pixel);
            pixel[FI_RGBA_ALPHA] = static_cast<BYTE>((pixel[FI_RGBA_ALPHA] * opacity + 127) / 255);
        }
    }
}

}  // namespace

// The canvas is transparent whether or not the picture has an alpha
// channel, so Image Opacity lets the image below show through.
ImagePtr renderPictureWatermark(const ConversionSettings& settings) {
    ImagePtr picture = to32Bits(loadPicture(settings.Image));
    if (!picture) return nullptr;
    filterPixels(picture.get(), settings.ImageGreyscale != 0, clampOpacity(settings.ImageOpacity));
    return picture;
}
