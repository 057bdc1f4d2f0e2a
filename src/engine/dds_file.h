// A whole DDS file in memory: the header (the format, the full mip chain,
// the top level's size as linear size or pitch) and every level's data,
// largest first, rows top-down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/dds_format.h"
#include "engine/image_memory.h"
#include "engine/mip_chain.h"

constexpr std::size_t kDdsHeaderBytes = 128;      // "DDS " and the 124-byte header
constexpr std::size_t kDdsDx10HeaderBytes = 148;  // and the 20-byte DX10 extension

struct DdsFileBytes {
    PictureBuffer bytes;
    std::size_t size = 0;
    DdsFormat format = DdsFormat::Dxt1;
    std::size_t dataOffset = kDdsHeaderBytes;  // where the top level starts
};

// Bytes of the header of `format`: BC7 has no FourCC of its own and needs
// the DX10 extension.
std::size_t ddsHeaderBytes(DdsFormat format);

// Writes the header of a file of `format` with `levels` mip levels into
// `out` (ddsHeaderBytes(format) bytes).
void writeDdsHeader(DdsFormat format, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                    std::uint8_t* out);

// The file of a width x height picture and its full chain: the header
// written, room for every level. Empty bytes when the memory cannot be had
// or the size is empty.
DdsFileBytes newDdsFile(DdsFormat format, std::uint32_t width, std::uint32_t height);

// Encodes the levels of `chain` from `firstLevel` down into their place in
// `file` (made by newDdsFile for the chain's top), the unit rows of all
// those levels shared between both cores.
void encodeLevels(const MipChain& chain, std::size_t firstLevel, DdsFileBytes& file);

// Fills the top level of `dxt1` (made by newDdsFile) from the top level of
// `dxt5`, both of the picture `top`: an opaque block takes the colour half
// of its DXT5 block, which is the very DXT1 block of its pixels; a block
// with a transparent pixel is encoded anew. Shared between both cores.
void topLevelDxt1FromDxt5(const PixelLevel& top, const DdsFileBytes& dxt5, DdsFileBytes& dxt1);

// Builds the mip chain of `top` and encodes every level in `format`, the
// unit rows of all levels shared between both cores. Empty bytes when
// memory for the levels or the file cannot be had.
DdsFileBytes encodeDdsFile(const PixelLevel& top, DdsFormat format);
