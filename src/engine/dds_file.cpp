#include "engine/dds_file.h"

#include <cstring>
#include <vector>

#include "engine/bc1_encode.h"
#include "engine/two_cores.h"

namespace {

constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kPixelFormatSize = 32;
// Caps, height, width, pixel format, mip map count, linear size.
constexpr std::uint32_t kHeaderFlags = 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x80000;
constexpr std::uint32_t kFourCCFlag = 0x4;
// Complex, texture, mip map.
constexpr std::uint32_t kCaps = 0x8 | 0x1000 | 0x400000;

void putWord(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where one block row of one level goes in the file.
struct BlockRow {
    const PixelLevel* level = nullptr;
    std::uint32_t row = 0;
    std::size_t offset = 0;
};

// The block rows of the levels from `firstLevel` down, each with its place
// in the file.
std::vector<BlockRow> blockRowsOf(const MipChain& chain, std::size_t firstLevel) {
    std::vector<BlockRow> rows;
    std::size_t offset = kDdsHeaderBytes;
    for (std::size_t index = 0; index < chain.levels.size(); ++index) {
        const PixelLevel& level = chain.levels[index];
        const std::size_t rowBytes = std::size_t{blocksAcross(level.width)} * kBc1BlockBytes;
        for (std::uint32_t row = 0; row < blocksAcross(level.height); ++row, offset += rowBytes)
            if (index >= firstLevel) rows.push_back({&level, row, offset});
    }
    return rows;
}

}  // namespace

std::uint64_t dxt1LevelBytes(std::uint32_t width, std::uint32_t height) {
    return std::uint64_t{blocksAcross(width)} * blocksAcross(height) * kBc1BlockBytes;
}

void writeDxt1Header(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                     std::uint8_t out[kDdsHeaderBytes]) {
    std::memset(out, 0, kDdsHeaderBytes);
    std::memcpy(out, "DDS ", 4);
    putWord(out + 4, kHeaderSize);
    putWord(out + 8, kHeaderFlags);
    putWord(out + 12, height);
    putWord(out + 16, width);
    putWord(out + 20, static_cast<std::uint32_t>(dxt1LevelBytes(width, height)));
    putWord(out + 28, levels);
    putWord(out + 76, kPixelFormatSize);
    putWord(out + 80, kFourCCFlag);
    std::memcpy(out + 84, "DXT1", 4);
    putWord(out + 108, kCaps);
}

DdsFileBytes newDxt1File(std::uint32_t width, std::uint32_t height) {
    DdsFileBytes file;
    const std::uint32_t levels = mipLevelCount(width, height);
    std::uint64_t size = kDdsHeaderBytes;
    for (std::uint32_t level = 0, w = width, h = height; level < levels; ++level, w = halfSide(w), h = halfSide(h))
        size += dxt1LevelBytes(w, h);
    if (levels) file.bytes = newPictureBuffer(size);
    if (!file.bytes) return file;
    file.size = size;
    writeDxt1Header(width, height, levels, file.bytes.get());
    return file;
}

void encodeLevels(const MipChain& chain, std::size_t firstLevel, DdsFileBytes& file) {
    const std::vector<BlockRow> rows = blockRowsOf(chain, firstLevel);
    std::uint8_t* bytes = file.bytes.get();
    runOnTwoCores(rows.size(), [&](std::size_t index) {
        const BlockRow& row = rows[index];
        encodeBlockRow(*row.level, row.row, bytes + row.offset);
    });
}

DdsFileBytes encodeDdsFile(const PixelLevel& top) {
    MipChain chain;
    if (!buildMipChain(top, chain)) return {};
    DdsFileBytes file = newDxt1File(top.width, top.height);
    if (file.bytes) encodeLevels(chain, 0, file);
    return file;
}
