#include "engine/png_encode.h"

#include <png.h>

#include <csetjmp>

namespace {

// libpng's writer and its info, released together on every path.
struct PngWriteHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngWriteHandles() {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png) info = png_create_info_struct(png);
    }
    ~PngWriteHandles() { png_destroy_write_struct(&png, &info); }
    PngWriteHandles(const PngWriteHandles&) = delete;
    PngWriteHandles& operator=(const PngWriteHandles&) = delete;
};

[[noreturn]] void stopQuietly(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void flushNothing(png_structp) {}

// Apart from the function above because setjmp must not share a frame
// with objects that have destructors.
bool writeRows(png_structp png, png_infop info, const RgbaPicture& picture, std::string& out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_error_fn(png, nullptr, stopQuietly, ignoreWarning);
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < picture.height; ++y)
        png_write_row(png, picture.rgba.data() + std::size_t{y} * picture.width * 4);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::string encodeRgbaPng(const RgbaPicture& picture) {
    if (!picture.width || !picture.height || picture.rgba.size() != std::size_t{picture.width} * picture.height * 4)
        return {};
    PngWriteHandles handles;
    if (!handles.info) return {};
    std::string out;
    if (!writeRows(handles.png, handles.info, picture, out)) return {};
    return out;
}
