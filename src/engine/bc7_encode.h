// BC7 compression of 4 x 4 blocks. Opaque blocks keep alpha 255 exactly
// and take one end point line with 16 levels (mode 6) or, where that line
// leaves too much error, the better of the colour channel that strays most
// from the others on indices of its own (mode 4) and two subsets over the
// best-scoring partition (mode 1). Blocks with alpha choose between one RGBA line (mode 6),
// colour and alpha on lines of their own (modes 4 and 5, with the channel
// swaps), and two RGBA subsets (mode 7). A block of one colour is stored
// exactly (mode 5). The tables are constant and nothing is allocated, so
// both cores may call it at once; the same pixels give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kBc7BlockBytes = 16;

// `rgba`: 16 pixels row by row, red, green, blue, alpha.
void encodeBc7Block(const std::uint8_t rgba[64], std::uint8_t out[kBc7BlockBytes]);
