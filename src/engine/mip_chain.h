// The mipmap chain of a picture: every level half the size of the one
// above (floor, at least 1 pixel) down to 1 x 1, each made by a box filter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/image_memory.h"

// One level's pixels: four bytes per pixel in blue, green, red, alpha order
// (FreeImage's 32-bit layout), `rowStride` bytes from one row to the next
// one down (negative for a bottom-up bitmap viewed top-down).
struct PixelLevel {
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t rowStride = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

inline const std::uint8_t* pixelRow(const PixelLevel& level, std::uint32_t y) {
    return level.top + static_cast<std::ptrdiff_t>(y) * level.rowStride;
}

struct MipChain {
    PictureBuffer storage;                    // levels 1 and below, packed
    std::vector<PixelLevel> levels;           // levels[0] is the picture itself
};

// floor(log2(max(width, height))) + 1; 0 for an empty picture.
std::uint32_t mipLevelCount(std::uint32_t width, std::uint32_t height);

// Size of the next level down: each side halved, at least 1.
std::uint32_t halfSide(std::uint32_t side);

// Writes `target` (halfSide of each side of `source`), rows first to last
// of it, from the source by the box filter described in mip_chain.cpp.
void halveRows(const PixelLevel& source, std::uint8_t* target, std::uint32_t firstRow, std::uint32_t lastRow);

// Builds every level below `top`, each from the one above, the rows of a
// level spread over both cores. The chain refers to `top`'s pixels, which
// must outlive it. False when the memory for the levels cannot be had.
bool buildMipChain(const PixelLevel& top, MipChain& chain);
