// A whole DDS file in memory: the 128-byte header (DXT1, the full mip
// chain, the top level's size as the linear size) and every level's
// blocks, largest first, rows top-down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/image_memory.h"
#include "engine/mip_chain.h"

constexpr std::size_t kDdsHeaderBytes = 128;  // "DDS " and the 124-byte header

struct DdsFileBytes {
    PictureBuffer bytes;
    std::size_t size = 0;
};

// Bytes of one DXT1 level of width x height pixels (whole 4 x 4 blocks).
std::uint64_t dxt1LevelBytes(std::uint32_t width, std::uint32_t height);

// Writes the header of a DXT1 file with `levels` mip levels into `out`.
void writeDxt1Header(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                     std::uint8_t out[kDdsHeaderBytes]);

// The file of a width x height picture and its full chain: the header
// written, room for every level's blocks. Empty bytes when the memory
// cannot be had or the size is empty.
DdsFileBytes newDxt1File(std::uint32_t width, std::uint32_t height);

// Compresses the levels of `chain` from `firstLevel` down into their place
// in `file` (made by newDxt1File for the chain's top), the block rows of
// all those levels shared between both cores.
void encodeLevels(const MipChain& chain, std::size_t firstLevel, DdsFileBytes& file);

// Builds the mip chain of `top` and compresses every level, the block rows
// of all levels shared between both cores. Empty bytes when memory for the
// levels or the file cannot be had.
DdsFileBytes encodeDdsFile(const PixelLevel& top);
