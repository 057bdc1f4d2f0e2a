// DXT5 (BC3) compression of a 4 x 4 block: the eight-step alpha block, then
// the four-colour block DXT1 writes for opaque pixels, so smooth alpha
// (smoke, glass, soft edges) survives where DXT1 keeps one bit.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kDxt5BlockBytes = 16;

// `rgba`: 16 pixels row by row, red, green, blue, alpha.
void encodeDxt5Block(const std::uint8_t rgba[64], std::uint8_t out[kDxt5BlockBytes]);

// The colour half of a DXT5 block: where no pixel of a block has alpha 0 it
// is the very DXT1 block DXT1 writes for those pixels when they are opaque.
const std::uint8_t* dxt5ColorHalf(const std::uint8_t* block);
