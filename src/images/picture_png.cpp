// PNG bytes to straight RGBA through libpng's simplified reader. The header
// is read first, so an oversized picture is refused before its pixels are
// allocated.
#include <png.h>

#include "images/image_slots.h"

namespace {

// Releases libpng's reader state on every path (safe after finish_read too).
struct PngImageReader {
    png_image image{};
    PngImageReader() { image.version = PNG_IMAGE_VERSION; }
    ~PngImageReader() { png_image_free(&image); }
    PngImageReader(const PngImageReader&) = delete;
    PngImageReader& operator=(const PngImageReader&) = delete;
};

}  // namespace

std::optional<Picture> decodePng(std::span<const std::uint8_t> bytes, int maxSide) {
    if (bytes.empty() || maxSide <= 0) return std::nullopt;
    PngImageReader reader;
    if (!png_image_begin_read_from_memory(&reader.image, bytes.data(), bytes.size())) return std::nullopt;
    const png_uint_32 width = reader.image.width, height = reader.image.height;
    if (width == 0 || height == 0 || width > static_cast<png_uint_32>(maxSide) ||
        height > static_cast<png_uint_32>(maxSide))
        return std::nullopt;
    reader.image.format = PNG_FORMAT_RGBA;
    Picture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.rgba.resize(PNG_IMAGE_SIZE(reader.image));
    if (!png_image_finish_read(&reader.image, nullptr, picture.rgba.data(), 0, nullptr)) return std::nullopt;
    return picture;
}
