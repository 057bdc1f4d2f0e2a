// Decodes BC7 blocks for the tests and the quality bench, every mode; a
// block whose first byte is zero (no mode) decodes to zeros.
#pragma once

#include <cstdint>

void decodeBc7Block(const std::uint8_t in[16], std::uint8_t rgba[64]);
