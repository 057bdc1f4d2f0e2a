#include "engine/dds_file.h"

#include <cstring>
#include <vector>

#include "engine/bc1_encode.h"
#include "engine/dxt5_encode.h"
#include "engine/two_cores.h"

namespace {

constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kPixelFormatSize = 32;
// Caps, height, width, pixel format, mip map count.
constexpr std::uint32_t kHeaderFlags = 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000;
constexpr std::uint32_t kPitchFlag = 0x8;
constexpr std::uint32_t kLinearSizeFlag = 0x80000;
constexpr std::uint32_t kFourCCFlag = 0x4;
constexpr std::uint32_t kRgbFlag = 0x40;
constexpr std::uint32_t kAlphaPixelsFlag = 0x1;
// Complex, texture, mip map.
constexpr std::uint32_t kCaps = 0x8 | 0x1000 | 0x400000;
// The DX10 extension of a BC7 file: DXGI_FORMAT_BC7_UNORM, a 2D texture,
// one element, straight alpha.
constexpr std::uint32_t kDxgiBc7Unorm = 98;
constexpr std::uint32_t kTexture2D = 3;
constexpr std::uint32_t kStraightAlpha = 1;

void putWord(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The pixel format: a FourCC for the block formats, masks for the pixels.
void writePixelFormat(DdsFormat format, std::uint8_t* out) {
    putWord(out, kPixelFormatSize);
    if (format == DdsFormat::Bgra32) {
        putWord(out + 4, kRgbFlag | kAlphaPixelsFlag);
        putWord(out + 12, 32);
        putWord(out + 16, 0x00FF0000);
        putWord(out + 20, 0x0000FF00);
        putWord(out + 24, 0x000000FF);
        putWord(out + 28, 0xFF000000);
        return;
    }
    putWord(out + 4, kFourCCFlag);
    const char* fourCC = format == DdsFormat::Bc7 ? "DX10" : ddsFormatRow(format).name;
    std::memcpy(out + 8, fourCC, 4);
}

void writeDx10Extension(std::uint8_t* out) {
    putWord(out, kDxgiBc7Unorm);
    putWord(out + 4, kTexture2D);
    putWord(out + 8, 0);
    putWord(out + 12, 1);
    putWord(out + 16, kStraightAlpha);
}

// Where one unit row of one level goes in the file.
struct UnitRow {
    const PixelLevel* level = nullptr;
    std::uint32_t row = 0;
    std::size_t offset = 0;
};

// The unit rows of the levels from `firstLevel` down, each with its place
// in the file.
std::vector<UnitRow> unitRowsOf(const MipChain& chain, std::size_t firstLevel, const DdsFileBytes& file) {
    std::vector<UnitRow> rows;
    const std::uint32_t unitBytes = ddsFormatRow(file.format).unitBytes;
    std::size_t offset = file.dataOffset;
    for (std::size_t index = 0; index < chain.levels.size(); ++index) {
        const PixelLevel& level = chain.levels[index];
        const std::size_t rowBytes = std::size_t{unitsAlong(file.format, level.width)} * unitBytes;
        for (std::uint32_t row = 0; row < unitsAlong(file.format, level.height); ++row, offset += rowBytes)
            if (index >= firstLevel) rows.push_back({&level, row, offset});
    }
    return rows;
}

}  // namespace

std::size_t ddsHeaderBytes(DdsFormat format) {
    return format == DdsFormat::Bc7 ? kDdsDx10HeaderBytes : kDdsHeaderBytes;
}

void writeDdsHeader(DdsFormat format, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                    std::uint8_t* out) {
    std::memset(out, 0, ddsHeaderBytes(format));
    std::memcpy(out, "DDS ", 4);
    putWord(out + 4, kHeaderSize);
    const bool pixels = format == DdsFormat::Bgra32;
    putWord(out + 8, kHeaderFlags | (pixels ? kPitchFlag : kLinearSizeFlag));
    putWord(out + 12, height);
    putWord(out + 16, width);
    // The pitch of one row of pixels, or the bytes of the whole top level.
    putWord(out + 20, static_cast<std::uint32_t>(pixels ? std::uint64_t{width} * 4 : levelBytes(format, width, height)));
    putWord(out + 28, levels);
    writePixelFormat(format, out + 76);
    putWord(out + 108, kCaps);
    if (format == DdsFormat::Bc7) writeDx10Extension(out + kDdsHeaderBytes);
}

DdsFileBytes newDdsFile(DdsFormat format, std::uint32_t width, std::uint32_t height) {
    DdsFileBytes file;
    file.format = format;
    file.dataOffset = ddsHeaderBytes(format);
    const std::uint32_t levels = mipLevelCount(width, height);
    std::uint64_t size = file.dataOffset;
    for (std::uint32_t level = 0, w = width, h = height; level < levels; ++level, w = halfSide(w), h = halfSide(h))
        size += levelBytes(format, w, h);
    if (levels) file.bytes = newPictureBuffer(size);
    if (!file.bytes) return file;
    file.size = size;
    writeDdsHeader(format, width, height, levels, file.bytes.get());
    return file;
}

void encodeLevels(const MipChain& chain, std::size_t firstLevel, DdsFileBytes& file) {
    const std::vector<UnitRow> rows = unitRowsOf(chain, firstLevel, file);
    std::uint8_t* bytes = file.bytes.get();
    runOnTwoCores(rows.size(), [&](std::size_t index) {
        const UnitRow& row = rows[index];
        encodeUnitRow(file.format, *row.level, row.row, bytes + row.offset);
    });
}

void topLevelDxt1FromDxt5(const PixelLevel& top, const DdsFileBytes& dxt5, DdsFileBytes& dxt1) {
    const std::uint32_t across = blocksAcross(top.width);
    runOnTwoCores(blocksAcross(top.height), [&](std::size_t index) {
        const auto row = static_cast<std::uint32_t>(index);
        const std::size_t first = std::size_t{row} * across;
        const std::uint8_t* from = dxt5.bytes.get() + dxt5.dataOffset + first * kDxt5BlockBytes;
        std::uint8_t* to = dxt1.bytes.get() + dxt1.dataOffset + first * kBc1BlockBytes;
        alignas(4) std::uint8_t block[64];
        for (std::uint32_t column = 0; column < across; ++column, from += kDxt5BlockBytes, to += kBc1BlockBytes) {
            gatherBlock(top, column, row, block);
            if (hasTransparentPixel(block))
                encodeTransparentBlock(block, to);
            else
                std::memcpy(to, dxt5ColorHalf(from), kBc1BlockBytes);
        }
    });
}

DdsFileBytes encodeDdsFile(const PixelLevel& top, DdsFormat format) {
    MipChain chain;
    if (!buildMipChain(top, chain)) return {};
    DdsFileBytes file = newDdsFile(format, top.width, top.height);
    if (file.bytes) encodeLevels(chain, 0, file);
    return file;
}
