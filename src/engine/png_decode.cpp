#include "engine/png_decode.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>
#include <cstdint>
#include <vector>

#include "settings/file_handle.h"

namespace {

constexpr std::uint32_t kBgraBytes = 4;

// libpng's reader and its info, released together on every path.
struct PngReadHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngReadHandles() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png) info = png_create_info_struct(png);
    }
    ~PngReadHandles() { png_destroy_read_struct(&png, &info, nullptr); }
    PngReadHandles(const PngReadHandles&) = delete;
    PngReadHandles& operator=(const PngReadHandles&) = delete;
};

// An error ends the decode without a word: the general path decodes the
// file again and reports it as always. Warnings (a damaged ancillary
// chunk, say) change nothing in the pixels.
[[noreturn]] void stopQuietly(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

// The depth FreeImage gives a PNG of this kind before any conversion.
int freeImageDepth(int colorType, int bitDepth, bool transparencyChunk) {
    switch (colorType) {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE: return transparencyChunk || bitDepth == 2 ? 8 : bitDepth;
        case PNG_COLOR_TYPE_RGB: return transparencyChunk ? 32 : 24;
        default: return 32;  // grey with alpha is widened to colour with alpha
    }
}

// Kinds whose libpng expansion to 8-bit BGRA is, sample for sample, what
// FreeImage's decode and 32-bit conversion give. Not taken: 16-bit samples
// (FreeImage keeps them), grey of 1, 2 or 4 bits with a gamma chunk
// (FreeImage corrects the samples before it widens them) or with a
// transparent grey (FreeImage compares it with the widened samples, so
// another grey than the file names turns transparent).
bool takesThisKind(png_structp png, png_infop info) {
    const int bitDepth = png_get_bit_depth(png, info);
    if (bitDepth > 8) return false;
    const bool lowBitGrey = png_get_color_type(png, info) == PNG_COLOR_TYPE_GRAY && bitDepth < 8;
    return !lowBitGrey || !(png_get_valid(png, info, PNG_INFO_gAMA) || png_get_valid(png, info, PNG_INFO_tRNS));
}

// Every PNG kind taken becomes 8-bit blue, green, red, alpha; a palette
// picture becomes one index byte per pixel, widened by widenPaletteRow.
void expandToBgra(png_structp png, png_infop info) {
    const int colorType = png_get_color_type(png, info);
    double fileGamma = 0;
    if (png_get_gAMA(png, info, &fileGamma)) png_set_gamma(png, 2.2, fileGamma);
    png_set_interlace_handling(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_packing(png);
        return;
    }
    if (colorType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);  // only where the file has no alpha
}

// The palette as BGRA entries (after gamma, which libpng applies to the
// palette itself), and how many the file has.
struct BgraPalette {
    std::array<std::array<std::uint8_t, kBgraBytes>, 256> entries{};
    int count = 0;
};

BgraPalette paletteOf(png_structp png, png_infop info) {
    BgraPalette table;
    png_colorp colors = nullptr;
    png_get_PLTE(png, info, &colors, &table.count);
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_get_tRNS(png, info, &alpha, &alphaCount, nullptr);
    table.count = std::clamp(table.count, 0, 256);
    for (int i = 0; i < table.count; ++i) {
        const auto opacity = static_cast<std::uint8_t>(i < alphaCount && alpha ? alpha[i] : 0xff);
        table.entries[static_cast<std::size_t>(i)] = {colors[i].blue, colors[i].green, colors[i].red, opacity};
    }
    return table;
}

// Widens the index bytes at the start of a row to BGRA in place, from the
// row's end so no index is overwritten before it is read. False when an
// index lies past the palette's end: libpng would show it black, FreeImage
// as the grey of its number; such a file takes the general path.
bool widenPaletteRow(std::uint8_t* row, std::uint32_t width, const BgraPalette& palette) {
    for (std::uint32_t x = width; x-- > 0;) {
        const std::uint8_t index = row[x];
        if (index >= palette.count) return false;
        std::memcpy(row + std::size_t{x} * kBgraBytes, palette.entries[index].data(), kBgraBytes);
    }
    return true;
}

// The file's own kind, before the expansion.
struct PngKind {
    int colorType = 0;
    int bitDepth = 0;
    bool transparencyChunk = false;
    bool interlaced = false;
};

// Everything between libpng's calls that may jump back here on an error
// holds no object with a destructor: the handles, the buffer and the
// callback belong to the caller. False on an error or a kind not taken.
bool readHeader(png_structp png, png_infop info, std::FILE* file, PngKind& kind) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_read_info(png, info);
    if (!takesThisKind(png, info)) return false;
    kind = {png_get_color_type(png, info), png_get_bit_depth(png, info), png_get_valid(png, info, PNG_INFO_tRNS) != 0,
            png_get_interlace_type(png, info) != PNG_INTERLACE_NONE};
    expandToBgra(png, info);
    png_read_update_info(png, info);
    const std::size_t pixelBytes = kind.colorType == PNG_COLOR_TYPE_PALETTE ? 1 : kBgraBytes;
    return png_get_rowbytes(png, info) == std::size_t{png_get_image_width(png, info)} * pixelBytes;
}

// Where the decoded rows go and who is told about them.
struct RowTarget {
    std::uint8_t* pixels = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    const BgraPalette* palette = nullptr;  // for a palette picture
    const RowHooks* hooks = nullptr;
};

std::uint8_t* rowAt(const RowTarget& target, std::uint32_t y) {
    return target.pixels + std::size_t{y} * target.width * kBgraBytes;
}

// Row by row, each told as soon as it is final.
bool readRowsInOrder(png_structp png, const RowTarget& target) {
    if (setjmp(png_jmpbuf(png))) return false;
    const RowHooks& hooks = *target.hooks;
    for (std::uint32_t y = 0; y < target.height; ++y) {
        if (y % 4 == 0 && hooks.beforeWriting) hooks.beforeWriting(std::min(target.height, y + 4));
        png_read_row(png, rowAt(target, y), nullptr);
        if (target.palette && !widenPaletteRow(rowAt(target, y), target.width, *target.palette)) return false;
        if ((y + 1) % 4 == 0 && hooks.decoded) hooks.decoded(y + 1);
    }
    return true;
}

// Every pass over the whole picture; no row is final before the last.
bool readInterlacedRows(png_structp png, const RowTarget& target, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    if (target.hooks->beforeWriting) target.hooks->beforeWriting(target.height);
    png_read_image(png, rows);
    for (std::uint32_t y = 0; y < target.height; ++y)
        if (target.palette && !widenPaletteRow(rows[y], target.width, *target.palette)) return false;
    return true;
}

bool readEnd(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_end(png, info);
    return true;
}

bool readRows(png_structp png, const RowTarget& target, bool interlaced) {
    if (!interlaced) return readRowsInOrder(png, target);
    std::vector<png_bytep> rows(target.height);
    for (std::uint32_t y = 0; y < target.height; ++y) rows[y] = rowAt(target, y);
    return readInterlacedRows(png, target, rows.data());
}

}  // namespace

int decodePngIntoBgra(const std::string& path, std::uint8_t* target, std::uint32_t width, std::uint32_t height,
                      const RowHooks& hooks) {
    const FilePtr file = openRegularFile(path);
    if (!file || !target) return 0;
    PngReadHandles handles;
    if (!handles.info) return 0;
    png_set_error_fn(handles.png, nullptr, stopQuietly, ignoreWarning);
    PngKind kind;
    if (!readHeader(handles.png, handles.info, file.get(), kind)) return 0;
    if (png_get_image_width(handles.png, handles.info) != width || png_get_image_height(handles.png, handles.info) != height)
        return 0;
    const bool palette = kind.colorType == PNG_COLOR_TYPE_PALETTE;
    const BgraPalette table = palette ? paletteOf(handles.png, handles.info) : BgraPalette{};
    const RowTarget rows{target, width, height, palette ? &table : nullptr, &hooks};
    if (!readRows(handles.png, rows, kind.interlaced) || !readEnd(handles.png, handles.info)) return 0;
    if (hooks.decoded) hooks.decoded(height);
    return freeImageDepth(kind.colorType, kind.bitDepth, kind.transparencyChunk);
}
