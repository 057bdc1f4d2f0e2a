// The kinds of DDS file the writer makes, one table row each: how a level
// is cut into units (4 x 4 blocks, or single pixels), the bytes of a unit
// and the procedure that encodes one block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/mip_chain.h"
#include "settings/choices.h"

// Dxt1: BC1 with 1-bit alpha. Dxt5: BC3, an eight-step alpha block beside
// a four-colour block. Bc7: BPTC with the DX10 header. Bgra32: the pixels
// as they are, A8R8G8B8.
enum class DdsFormat : std::uint8_t { Dxt1, Dxt5, Bc7, Bgra32 };

// `rgba`: 16 pixels row by row, red, green, blue, alpha.
using BlockEncoder = void (*)(const std::uint8_t rgba[64], std::uint8_t* out);

struct DdsFormatRow {
    DdsFormat format;
    const char* name;          // for logs and tests
    std::uint32_t unitSide;    // 4 for blocks, 1 for single pixels
    std::uint32_t unitBytes;   // bytes of one block or pixel
    BlockEncoder encodeBlock;  // null for single pixels
};

const DdsFormatRow& ddsFormatRow(DdsFormat format);

// Units across (or down) a side of `side` pixels.
std::uint32_t unitsAlong(DdsFormat format, std::uint32_t side);

// Bytes of one level of width x height pixels.
std::uint64_t levelBytes(DdsFormat format, std::uint32_t width, std::uint32_t height);

// Encodes row `unitRow` of units of `level` (edge blocks padded with the
// nearest pixel) into `out`: unitsAlong(level.width) units.
void encodeUnitRow(DdsFormat format, const PixelLevel& level, std::uint32_t unitRow, std::uint8_t* out);

// Copies the 4 x 4 block at block column `column` of block row `row` into
// `rgba` (red first), edge blocks padded with the nearest pixel.
void gatherBlock(const PixelLevel& level, std::uint32_t column, std::uint32_t row, std::uint8_t rgba[64]);

// True when some pixel's alpha is neither 0 nor 255.
bool hasSoftAlpha(const PixelLevel& level);

// The format a compression setting asks for; Auto gives Dxt5 when the
// final picture has soft alpha and Dxt1 otherwise (DXT1's one alpha bit
// holds a cut-out exactly).
DdsFormat formatFor(DdsCompression compression, bool softAlpha);

// The stored setting as its named value; a value without a keyword (an
// edited configuration file) counts as Auto.
DdsCompression compressionOf(int stored);

// The format for the final picture `top` under the setting.
DdsFormat formatForPicture(int compressionSetting, const PixelLevel& top);
