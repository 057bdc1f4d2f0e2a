// The fixed tables of the BC7 block format, shared by the encoder and the
// block decoder: the eight modes' field widths, the subset of each pixel
// for the 64 two- and three-subset partitions, the anchor pixels whose
// index drops its top bit, and the interpolation weights.
#pragma once

#include <array>
#include <cstdint>

struct Bc7Mode {
    int subsets;
    int partitionBits;
    int rotationBits;
    int selectorBits;     // 1: the block chooses which index set colour uses
    int colorBits;        // per channel and end point, without the p-bit
    int alphaBits;        // 0: alpha is 255
    int endpointPBits;    // 1: one p-bit per end point
    int sharedPBits;      // 1: one p-bit per subset
    int indexBits;
    int secondIndexBits;  // 0: colour and alpha share the indices
};

// A block's mode is the position of the lowest set bit of its first byte.
inline constexpr std::array<Bc7Mode, 8> kBc7Modes = {{
    {3, 4, 0, 0, 4, 0, 1, 0, 3, 0},
    {2, 6, 0, 0, 6, 0, 0, 1, 3, 0},
    {3, 6, 0, 0, 5, 0, 0, 0, 2, 0},
    {2, 6, 0, 0, 7, 0, 1, 0, 2, 0},
    {1, 0, 2, 1, 5, 6, 0, 0, 2, 3},
    {1, 0, 2, 0, 7, 8, 0, 0, 2, 2},
    {1, 0, 0, 0, 7, 7, 1, 0, 4, 0},
    {2, 6, 0, 0, 5, 5, 1, 0, 2, 0},
}};

// Subset of pixel i (row by row) is bits 2i and 2i + 1.
inline constexpr std::array<std::uint32_t, 64> kBc7TwoSubsets = {
    0x50505050, 0x40404040, 0x54545454, 0x54505040, 0x50404000, 0x55545450, 0x55545040, 0x54504000,
    0x50400000, 0x55555450, 0x55544000, 0x54400000, 0x55555440, 0x55550000, 0x55555500, 0x55000000,
    0x55150100, 0x00004054, 0x15010000, 0x00405054, 0x00004050, 0x15050100, 0x05010000, 0x40505054,
    0x00404050, 0x05010100, 0x14141414, 0x05141450, 0x01155440, 0x00555500, 0x15014054, 0x05414150,
    0x44444444, 0x55005500, 0x11441144, 0x05055050, 0x05500550, 0x11114444, 0x41144114, 0x44111144,
    0x15055054, 0x01055040, 0x05041050, 0x05455150, 0x14414114, 0x50050550, 0x41411414, 0x00141400,
    0x00041504, 0x00105410, 0x10541000, 0x04150400, 0x50410514, 0x41051450, 0x05415014, 0x14054150,
    0x41050514, 0x41505014, 0x40011554, 0x54150140, 0x50505500, 0x00555050, 0x15151010, 0x54540404,
};
inline constexpr std::array<std::uint32_t, 64> kBc7ThreeSubsets = {
    0xaa685050, 0x6a5a5040, 0x5a5a4200, 0x5450a0a8, 0xa5a50000, 0xa0a05050, 0x5555a0a0, 0x5a5a5050,
    0xaa550000, 0xaa555500, 0xaaaa5500, 0x90909090, 0x94949494, 0xa4a4a4a4, 0xa9a59450, 0x2a0a4250,
    0xa5945040, 0x0a425054, 0xa5a5a500, 0x55a0a0a0, 0xa8a85454, 0x6a6a4040, 0xa4a45000, 0x1a1a0500,
    0x0050a4a4, 0xaaa59090, 0x14696914, 0x69691400, 0xa08585a0, 0xaa821414, 0x50a4a450, 0x6a5a0200,
    0xa9a58000, 0x5090a0a8, 0xa8a09050, 0x24242424, 0x00aa5500, 0x24924924, 0x24499224, 0x50a50a50,
    0x500aa550, 0xaaaa4444, 0x66660000, 0xa5a0a5a0, 0x50a050a0, 0x69286928, 0x44aaaa44, 0x66666600,
    0xaa444444, 0x54a854a8, 0x95809580, 0x96969600, 0xa85454a8, 0x80959580, 0xaa141414, 0x96960000,
    0xaaaa1414, 0xa05050a0, 0xa0a5a5a0, 0x96000000, 0x40804080, 0xa9a8a9a8, 0xaaaaaa44, 0x2a4a5254,
};

// Pixel 0 anchors subset 0 of every partition.
inline constexpr std::array<std::uint8_t, 64> kBc7AnchorOfSecondOfTwo = {
    15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15,
    15,  2,  8,  2,  2,  8,  8, 15,  2,  8,  2,  2,  8,  8,  2,  2,
    15, 15,  6,  8,  2,  8, 15, 15,  2,  8,  2,  2,  2, 15, 15,  6,
     6,  2,  6,  8, 15, 15,  2,  2, 15, 15, 15, 15, 15,  2,  2, 15,
};
inline constexpr std::array<std::uint8_t, 64> kBc7AnchorOfSecondOfThree = {
     3,  3, 15, 15,  8,  3, 15, 15,  8,  8,  6,  6,  6,  5,  3,  3,
     3,  3,  8, 15,  3,  3,  6, 10,  5,  8,  8,  6,  8,  5, 15, 15,
     8, 15,  3,  5,  6, 10,  8, 15, 15,  3, 15,  5, 15, 15, 15, 15,
     3, 15,  5,  5,  5,  8,  5, 10,  5, 10,  8, 13, 15, 12,  3,  3,
};
inline constexpr std::array<std::uint8_t, 64> kBc7AnchorOfThirdOfThree = {
    15,  8,  8,  3, 15, 15,  3,  8, 15, 15, 15, 15, 15, 15, 15,  8,
    15,  8, 15,  3, 15,  8, 15,  8,  3, 15,  6, 10, 15, 15, 10,  8,
    15,  3, 15, 10, 10,  8,  9, 10,  6, 15,  8, 15,  3,  6,  6,  8,
    15,  3, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15,  3, 15, 15,  8,
};

// Weights out of 64 of the second end point, by index bits 2, 3 and 4.
inline constexpr std::array<std::uint8_t, 4> kBc7Weights2 = {0, 21, 43, 64};
inline constexpr std::array<std::uint8_t, 8> kBc7Weights3 = {0, 9, 18, 27, 37, 46, 55, 64};
inline constexpr std::array<std::uint8_t, 16> kBc7Weights4 = {0, 4, 9, 13, 17, 21, 26, 30, 34, 38, 43, 47, 51, 55, 60, 64};

constexpr const std::uint8_t* bc7Weights(int indexBits) {
    return indexBits == 2 ? kBc7Weights2.data() : indexBits == 3 ? kBc7Weights3.data() : kBc7Weights4.data();
}

constexpr int bc7Interpolate(int first, int second, int weight) {
    return (first * (64 - weight) + second * weight + 32) >> 6;
}

// Subset of `pixel` under `partition` for a mode with `subsets` subsets.
constexpr int bc7Subset(int subsets, int partition, int pixel) {
    if (subsets == 1) return 0;
    const std::uint32_t map = subsets == 2 ? kBc7TwoSubsets[static_cast<std::size_t>(partition)]
                                           : kBc7ThreeSubsets[static_cast<std::size_t>(partition)];
    return static_cast<int>(map >> (2 * pixel) & 3);
}

// The anchor pixel of `subset`.
constexpr int bc7Anchor(int subsets, int partition, int subset) {
    const auto p = static_cast<std::size_t>(partition);
    if (subset == 0) return 0;
    if (subsets == 2) return kBc7AnchorOfSecondOfTwo[p];
    return subset == 1 ? kBc7AnchorOfSecondOfThree[p] : kBc7AnchorOfThirdOfThree[p];
}
