// DXT1 (BC1) compression of 4 x 4 blocks with 1-bit alpha: a pixel with
// alpha below 128 is transparent. A block without transparent pixels gets
// four colours (stb_dxt's high-quality mode); a block with any gets three
// colours and transparent black (first end point not above the second).
// Also the two halves of a DXT5 block: the same four-colour block and the
// eight-step alpha block.
#pragma once

#include <cstdint>

#include "engine/mip_chain.h"

constexpr std::uint8_t kOpaqueFrom = 128;
constexpr std::size_t kBc1BlockBytes = 8;

// `rgba`: 16 pixels row by row, red, green, blue, alpha.
void encodeBc1Block(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]);

// True when a pixel's alpha is below 128: the block needs three colours
// and transparent black.
bool hasTransparentPixel(const std::uint8_t rgba[64]);

// The block with three colours and transparent black for a block that
// holds at least one transparent pixel (alpha below 128).
void encodeTransparentBlock(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]);

// The four-colour block of the colours alone, alpha ignored: what DXT1
// writes for an opaque block, and the colour half of a DXT5 block.
void encodeOpaqueColorBlock(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]);

// The eight-step alpha block of DXT5 (the same layout as a BC4 block).
void encodeAlphaBlock(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]);

// Blocks across and down a level: (side + 3) / 4.
std::uint32_t blocksAcross(std::uint32_t side);
