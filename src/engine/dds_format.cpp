#include "engine/dds_format.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/bc1_encode.h"
#include "engine/bc7_encode.h"
#include "engine/dxt5_encode.h"

namespace {

constexpr std::array<DdsFormatRow, 4> kDdsFormats{{
    {DdsFormat::Dxt1, "DXT1", 4, 8, encodeBc1Block},
    {DdsFormat::Dxt5, "DXT5", 4, 16, encodeDxt5Block},
    {DdsFormat::Bc7, "BC7", 4, 16, encodeBc7Block},
    {DdsFormat::Bgra32, "A8R8G8B8", 1, 4, nullptr},
}};

static_assert([] {
    for (std::size_t i = 0; i < kDdsFormats.size(); ++i)
        if (static_cast<std::size_t>(kDdsFormats[i].format) != i) return false;
    return true;
}());

// What each setting asks for; Auto is decided by the picture.
constexpr std::array<DdsFormat, 5> kSettingFormats{DdsFormat::Dxt1, DdsFormat::Dxt1, DdsFormat::Dxt5, DdsFormat::Bc7,
                                                   DdsFormat::Bgra32};
static_assert(kSettingFormats.size() == kDdsCompressionKeywords.size());

}  // namespace

const DdsFormatRow& ddsFormatRow(DdsFormat format) { return kDdsFormats[static_cast<std::size_t>(format)]; }

std::uint32_t unitsAlong(DdsFormat format, std::uint32_t side) {
    const std::uint32_t unit = ddsFormatRow(format).unitSide;
    return side / unit + (side % unit != 0);
}

std::uint64_t levelBytes(DdsFormat format, std::uint32_t width, std::uint32_t height) {
    return std::uint64_t{unitsAlong(format, width)} * unitsAlong(format, height) * ddsFormatRow(format).unitBytes;
}

void gatherBlock(const PixelLevel& level, std::uint32_t column, std::uint32_t row, std::uint8_t rgba[64]) {
    for (std::uint32_t y = 0; y < 4; ++y) {
        const std::uint8_t* line = pixelRow(level, std::min(row * 4 + y, level.height - 1));
        for (std::uint32_t x = 0; x < 4; ++x) {
            // Stored blue, green, red, alpha; the encoders take red first.
            const std::uint8_t* pixel = line + std::size_t{std::min(column * 4 + x, level.width - 1)} * 4;
            std::uint8_t* target = rgba + (y * 4 + x) * 4;
            target[0] = pixel[2];
            target[1] = pixel[1];
            target[2] = pixel[0];
            target[3] = pixel[3];
        }
    }
}

void encodeUnitRow(DdsFormat format, const PixelLevel& level, std::uint32_t unitRow, std::uint8_t* out) {
    const DdsFormatRow& row = ddsFormatRow(format);
    if (!row.encodeBlock) {
        // A8R8G8B8 stored little-endian is the picture's own blue, green,
        // red, alpha.
        std::memcpy(out, pixelRow(level, unitRow), std::size_t{level.width} * 4);
        return;
    }
    alignas(4) std::uint8_t block[64];
    const std::uint32_t across = unitsAlong(format, level.width);
    for (std::uint32_t column = 0; column < across; ++column, out += row.unitBytes) {
        gatherBlock(level, column, unitRow, block);
        row.encodeBlock(block, out);
    }
}

bool hasSoftAlpha(const PixelLevel& level) {
    for (std::uint32_t y = 0; y < level.height; ++y) {
        const std::uint8_t* pixel = pixelRow(level, y) + 3;
        // Branch-free over a row, so the scan runs at memory speed.
        unsigned soft = 0;
        for (std::uint32_t x = 0; x < level.width; ++x, pixel += 4)
            soft |= static_cast<unsigned>(static_cast<std::uint8_t>(*pixel + 1) > 1);
        if (soft) return true;
    }
    return false;
}

DdsCompression compressionOf(int stored) {
    const bool named = stored >= 0 && static_cast<std::size_t>(stored) < kSettingFormats.size();
    return named ? choiceOf<DdsCompression>(stored) : DdsCompression::Auto;
}

DdsFormat formatFor(DdsCompression compression, bool softAlpha) {
    const auto index = static_cast<std::size_t>(compression);
    if (compression == DdsCompression::Auto || index >= kSettingFormats.size())
        return softAlpha ? DdsFormat::Dxt5 : DdsFormat::Dxt1;
    return kSettingFormats[index];
}

DdsFormat formatForPicture(int compressionSetting, const PixelLevel& top) {
    const DdsCompression compression = compressionOf(compressionSetting);
    // Only the automatic choice looks at the pixels.
    return formatFor(compression, compression == DdsCompression::Auto && hasSoftAlpha(top));
}
