// Decodes one 4 x 4 block of the compressed DDS kinds into 16 pixels, row
// by row, red, green, blue, alpha. The file reader, the thumbnail command
// and the tests share these, so every part of the program sees the same
// pixels in a file.
#pragma once

#include <cstddef>
#include <cstdint>

// DXT1 (BC1): four colours, or three and transparent black when the first
// end point is not above the second.
void decodeBc1Block(const std::uint8_t in[8], std::uint8_t rgba[64]);
// DXT3 (BC2): 4-bit alpha per pixel beside a four-colour block.
void decodeBc2Block(const std::uint8_t in[16], std::uint8_t rgba[64]);
// DXT5 (BC3): an eight-step alpha block beside a four-colour block.
void decodeBc3Block(const std::uint8_t in[16], std::uint8_t rgba[64]);
// BC7, every mode; a block whose first byte is zero (no mode) decodes to
// zeros.
void decodeBc7Block(const std::uint8_t in[16], std::uint8_t rgba[64]);

using BlockDecoder = void (*)(const std::uint8_t* in, std::uint8_t rgba[64]);
