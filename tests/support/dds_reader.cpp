#include "dds_reader.h"

#include <algorithm>
#include <cstring>

#include "engine/block_decode.h"
#include "test_support.h"

namespace {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kDx10ExtensionBytes = 20;
constexpr std::uint32_t kFourCCFlag = 0x4;
constexpr std::uint32_t kRgbFlag = 0x40;

std::uint32_t word(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + static_cast<std::size_t>(i)]);
    return value;
}

bool isBc7(const DdsHeader& h) {
    return h.fourCC == "DX10" && (h.dxgiFormat == kDxgiBc7Unorm || h.dxgiFormat == kDxgiBc7UnormSrgb);
}

std::size_t headerBytes(const DdsHeader& h) { return h.fourCC == "DX10" ? kHeaderBytes + kDx10ExtensionBytes : kHeaderBytes; }

std::uint64_t levelBytes(const DdsHeader& h, std::uint32_t width, std::uint32_t height) {
    if (!h.fourCC.empty()) {
        const std::uint64_t blockBytes = h.fourCC == "DXT1" ? 8 : 16;
        return std::uint64_t{(width + 3) / 4} * ((height + 3) / 4) * blockBytes;
    }
    return std::uint64_t{width} * height * (h.rgbBitCount / 8);
}

std::uint64_t chainBytes(const DdsHeader& h) {
    std::uint64_t total = 0;
    std::uint32_t w = h.width, hgt = h.height;
    const std::uint32_t levels = std::max<std::uint32_t>(h.mipMapCount, 1);
    for (std::uint32_t i = 0; i < levels; ++i) {
        total += levelBytes(h, w, hgt);
        w = std::max<std::uint32_t>(w / 2, 1);
        hgt = std::max<std::uint32_t>(hgt / 2, 1);
    }
    return total;
}

void decodeBlocks(const DdsHeader& h, std::uint32_t width, std::uint32_t height, const std::uint8_t* data,
                  std::vector<std::uint8_t>& rgba) {
    const std::uint32_t blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    const bool dxt1 = h.fourCC == "DXT1";
    const std::size_t blockBytes = dxt1 ? 8 : 16;
    for (std::uint32_t by = 0; by < blocksHigh; ++by) {
        for (std::uint32_t bx = 0; bx < blocksWide; ++bx) {
            const std::uint8_t* block = data + (std::size_t{by} * blocksWide + bx) * blockBytes;
            std::uint8_t pixels[16][4];
            const BlockDecoder decode = isBc7(h)               ? decodeBc7Block
                                        : dxt1                 ? decodeBc1Block
                                        : h.fourCC == "DXT3" ? decodeBc2Block
                                                               : decodeBc3Block;
            decode(block, &pixels[0][0]);
            for (int i = 0; i < 16; ++i) {
                const std::uint32_t x = bx * 4 + static_cast<std::uint32_t>(i % 4);
                const std::uint32_t y = by * 4 + static_cast<std::uint32_t>(i / 4);
                if (x < width && y < height) std::memcpy(&rgba[(std::size_t{y} * width + x) * 4], pixels[i], 4);
            }
        }
    }
}

int shiftOf(std::uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask, std::uint8_t missing) {
    return mask ? static_cast<std::uint8_t>((pixel & mask) >> shiftOf(mask)) : missing;
}

void decodeUncompressed(const DdsHeader& h, std::uint32_t width, std::uint32_t height, const std::uint8_t* data,
                        std::vector<std::uint8_t>& rgba) {
    for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
        const std::uint32_t pixel =
            static_cast<std::uint32_t>(data[i * 4] | data[i * 4 + 1] << 8 | data[i * 4 + 2] << 16) |
            static_cast<std::uint32_t>(data[i * 4 + 3]) << 24;
        rgba[i * 4] = channel(pixel, h.redMask, 0);
        rgba[i * 4 + 1] = channel(pixel, h.greenMask, 0);
        rgba[i * 4 + 2] = channel(pixel, h.blueMask, 0);
        rgba[i * 4 + 3] = channel(pixel, h.alphaMask, 255);
    }
}

DdsHeader parseHeader(const std::string& b) {
    DdsHeader h;
    h.magic = b.substr(0, 4);
    h.size = word(b, 4);
    h.flags = word(b, 8);
    h.height = word(b, 12);
    h.width = word(b, 16);
    h.pitchOrLinearSize = word(b, 20);
    h.depth = word(b, 24);
    h.mipMapCount = word(b, 28);
    h.pixelFormatSize = word(b, 76);
    h.pixelFormatFlags = word(b, 80);
    if (h.pixelFormatFlags & kFourCCFlag) h.fourCC = b.substr(84, 4);
    h.rgbBitCount = word(b, 88);
    h.redMask = word(b, 92);
    h.greenMask = word(b, 96);
    h.blueMask = word(b, 100);
    h.alphaMask = word(b, 104);
    h.caps = word(b, 108);
    h.caps2 = word(b, 112);
    if (h.fourCC == "DX10" && b.size() >= kHeaderBytes + kDx10ExtensionBytes) {
        h.dxgiFormat = word(b, 128);
        h.resourceDimension = word(b, 132);
        h.miscFlag = word(b, 136);
        h.arraySize = word(b, 140);
        h.miscFlags2 = word(b, 144);
    }
    return h;
}

DdsImage failed(DdsImage image, std::string why) {
    image.ok = false;
    image.error = std::move(why);
    return image;
}

}  // namespace

std::uint32_t fullMipCount(std::uint32_t width, std::uint32_t height) {
    std::uint32_t count = 1;
    for (std::uint32_t side = std::max(width, height); side > 1; side /= 2) ++count;
    return count;
}

DdsImage readDds(const std::string& bytes) {
    DdsImage image;
    if (bytes.size() < kHeaderBytes) return failed(image, "shorter than a DDS header");
    image.header = parseHeader(bytes);
    const DdsHeader& h = image.header;
    if (h.magic != "DDS " || h.size != 124) return failed(image, "not a DDS header");
    if (h.fourCC == "DX10" && bytes.size() < kHeaderBytes + kDx10ExtensionBytes)
        return failed(image, "shorter than a DDS header with its DX10 extension");
    const bool known = h.fourCC == "DXT1" || h.fourCC == "DXT3" || h.fourCC == "DXT5" || isBc7(h) ||
                       (h.fourCC.empty() && (h.pixelFormatFlags & kRgbFlag) && h.rgbBitCount == 32);
    if (!known)
        return failed(image, "pixel format not decoded here: '" + h.fourCC + "'" +
                                 (h.fourCC == "DX10" ? " DXGI format " + std::to_string(h.dxgiFormat) : ""));
    if (h.width == 0 || h.height == 0 || h.width > 65536 || h.height > 65536) return failed(image, "bad size");
    image.dataSize = bytes.size() - headerBytes(h);
    image.expectedDataSize = chainBytes(h);
    if (image.dataSize < levelBytes(h, h.width, h.height)) return failed(image, "top level truncated");
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data() + headerBytes(h));
    std::uint64_t offset = 0;
    std::uint32_t width = h.width, height = h.height;
    const std::uint32_t levels = std::max<std::uint32_t>(h.mipMapCount, 1);
    for (std::uint32_t i = 0; i < levels && i < 32 && offset + levelBytes(h, width, height) <= image.dataSize; ++i) {
        DdsLevel level{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 4, 0)};
        if (h.fourCC.empty()) decodeUncompressed(h, width, height, data + offset, level.rgba);
        else decodeBlocks(h, width, height, data + offset, level.rgba);
        offset += levelBytes(h, width, height);
        image.levels.push_back(std::move(level));
        width = std::max<std::uint32_t>(width / 2, 1);
        height = std::max<std::uint32_t>(height / 2, 1);
    }
    image.rgba = image.levels.front().rgba;
    image.ok = true;
    return image;
}

DdsImage readDdsFile(const std::string& path) { return readDds(readFileBytes(path)); }
