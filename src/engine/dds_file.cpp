#include "engine/dds_file.h"

#include <cstring>
#include <new>
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

std::vector<BlockRow> blockRowsOf(const MipChain& chain) {
    std::vector<BlockRow> rows;
    std::size_t offset = kDdsHeaderBytes;
    for (const PixelLevel& level : chain.levels) {
        const std::size_t rowBytes = std::size_t{blocksAcross(level.width)} * kBc1BlockBytes;
        for (std::uint32_t row = 0; row < blocksAcross(level.height); ++row, offset += rowBytes)
            rows.push_back({&level, row, offset});
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

DdsFileBytes encodeDdsFile(const PixelLevel& top) {
    DdsFileBytes file;
    MipChain chain;
    if (!buildMipChain(top, chain)) return file;
    std::uint64_t size = kDdsHeaderBytes;
    for (const PixelLevel& level : chain.levels) size += dxt1LevelBytes(level.width, level.height);
    file.bytes.reset(new (std::nothrow) std::uint8_t[size]);
    if (!file.bytes) return file;
    file.size = size;
    writeDxt1Header(top.width, top.height, static_cast<std::uint32_t>(chain.levels.size()), file.bytes.get());
    const std::vector<BlockRow> rows = blockRowsOf(chain);
    std::uint8_t* bytes = file.bytes.get();
    runOnTwoCores(rows.size(), [&](std::size_t index) {
        const BlockRow& row = rows[index];
        encodeBlockRow(*row.level, row.row, bytes + row.offset);
    });
    return file;
}
