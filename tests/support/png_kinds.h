// Small PNG files of every kind the decoders meet, written with libpng from
// a seeded generator: colour type, depth, palette size, transparency chunk,
// gamma chunk and interlacing as asked.
#pragma once

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

struct PngKind {
    std::string name;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool transparency = false;  // a tRNS chunk
    double gamma = 0;           // a gAMA chunk when above 0
    bool interlaced = false;
    int paletteEntries = 0;     // palette pictures: entries written (indices stay below, see below)
    bool indexPastPalette = false;  // palette pictures: some indices name no entry
};

inline int pngChannels(int colorType) {
    switch (colorType) {
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;
    }
}

// One sample of the picture: palette indices below the palette's size
// (unless asked otherwise), colour samples from a few levels so that the
// transparent colour of a tRNS chunk occurs, anything else at random.
inline unsigned pngSample(const PngKind& kind, std::mt19937& random) {
    const unsigned top = (1u << kind.bitDepth) - 1;
    if (kind.colorType == PNG_COLOR_TYPE_PALETTE) {
        const unsigned entries = static_cast<unsigned>(kind.paletteEntries);
        return kind.indexPastPalette ? random() % (entries + 3) : random() % entries;
    }
    if (kind.transparency && kind.bitDepth == 8) return (random() % 5) * 60;
    return random() % (top + 1);
}

inline std::vector<std::uint8_t> packedRow(const PngKind& kind, std::uint32_t width, std::mt19937& random) {
    const std::size_t samples = std::size_t{width} * static_cast<std::size_t>(pngChannels(kind.colorType));
    std::vector<std::uint8_t> row((samples * static_cast<std::size_t>(kind.bitDepth) + 7) / 8, 0);
    for (std::size_t i = 0; i < samples; ++i) {
        const unsigned value = pngSample(kind, random);
        if (kind.bitDepth == 16) {
            row[2 * i] = static_cast<std::uint8_t>(value >> 8);
            row[2 * i + 1] = static_cast<std::uint8_t>(value);
            continue;
        }
        const std::size_t bit = i * static_cast<std::size_t>(kind.bitDepth);
        row[bit / 8] |= static_cast<std::uint8_t>(value << (8 - kind.bitDepth - bit % 8));
    }
    return row;
}

inline void addPngChunks(png_structp png, png_infop info, const PngKind& kind, std::mt19937& random) {
    if (kind.colorType == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_color> palette(static_cast<std::size_t>(kind.paletteEntries));
        for (png_color& color : palette)
            color = {static_cast<png_byte>(random()), static_cast<png_byte>(random()), static_cast<png_byte>(random())};
        png_set_PLTE(png, info, palette.data(), kind.paletteEntries);
        if (kind.transparency) {
            const png_byte alpha[] = {0, 128, 200};
            png_set_tRNS(png, info, alpha, std::min(kind.paletteEntries, 3), nullptr);
        }
    } else if (kind.transparency) {
        png_color_16 color{};
        color.gray = kind.bitDepth == 8 ? 60 : 1;
        color.red = 60;
        color.green = 0;
        color.blue = 120;
        png_set_tRNS(png, info, nullptr, 0, &color);
    }
    if (kind.gamma > 0) png_set_gAMA(png, info, kind.gamma);
}

// libpng's writing calls, which may jump back here on an error; nothing
// with a destructor is made in between.
inline bool writePngRows(png_structp png, png_infop info, std::FILE* file, const PngKind& kind, std::uint32_t width,
                         std::uint32_t height, png_bytepp rows, std::mt19937& random) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, kind.bitDepth, kind.colorType,
                 kind.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    addPngChunks(png, info, kind, random);
    png_set_check_for_invalid_index(png, 0);  // the past-the-palette case is written on purpose
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

// Writes the picture; false when libpng refused it.
inline bool writePngKind(const std::string& path, const PngKind& kind, std::uint32_t width, std::uint32_t height,
                         unsigned seed = 7) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::mt19937 random(seed);
    std::vector<std::vector<std::uint8_t>> rows;
    for (std::uint32_t y = 0; y < height; ++y) rows.push_back(packedRow(kind, width, random));
    std::vector<png_bytep> pointers;
    for (auto& row : rows) pointers.push_back(row.data());
    const bool written = info && writePngRows(png, info, file, kind, width, height, pointers.data(), random);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}
