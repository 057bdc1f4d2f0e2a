// DXT1 (BC1) compression of 4 x 4 blocks with 1-bit alpha: a pixel with
// alpha below 128 is transparent. A block without transparent pixels gets
// four colours (stb_dxt's high-quality mode); a block with any gets three
// colours and transparent black (first end point not above the second).
#pragma once

#include <cstdint>

#include "engine/mip_chain.h"

constexpr std::uint8_t kOpaqueFrom = 128;
constexpr std::size_t kBc1BlockBytes = 8;

// `rgba`: 16 pixels row by row, red, green, blue, alpha.
void encodeBc1Block(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]);

// The block with three colours and transparent black for a block that
// holds at least one transparent pixel (alpha below 128).
void encodeTransparentBlock(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]);

// Blocks across and down a level: (side + 3) / 4.
std::uint32_t blocksAcross(std::uint32_t side);

// Encodes one row of blocks of `level` (edge blocks padded with the
// nearest pixel) into `out`, blocksAcross(level.width) blocks.
void encodeBlockRow(const PixelLevel& level, std::uint32_t blockRow, std::uint8_t* out);
