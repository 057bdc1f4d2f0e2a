// Reads a DDS file back for tests and the quality bench: the header
// fields, whether the data of every mip level is present, and every level
// present decoded to RGBA (DXT1, DXT3, DXT5, BC7 behind the DX10 header
// extension, or uncompressed 32-bit with bit masks).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DdsHeader {
    std::string magic;  // "DDS "
    std::uint32_t size = 0;
    std::uint32_t flags = 0;
    std::uint32_t height = 0;
    std::uint32_t width = 0;
    std::uint32_t pitchOrLinearSize = 0;
    std::uint32_t depth = 0;
    std::uint32_t mipMapCount = 0;
    std::uint32_t pixelFormatSize = 0;
    std::uint32_t pixelFormatFlags = 0;
    std::string fourCC;  // "DXT1", "DXT3", "DXT5", "DX10" or "" when uncompressed
    std::uint32_t rgbBitCount = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t alphaMask = 0;
    std::uint32_t caps = 0;
    std::uint32_t caps2 = 0;
    // The DX10 extension's fields (fourCC "DX10"), zero without it.
    std::uint32_t dxgiFormat = 0;
    std::uint32_t resourceDimension = 0;
    std::uint32_t miscFlag = 0;
    std::uint32_t arraySize = 0;
    std::uint32_t miscFlags2 = 0;
};

constexpr std::uint32_t kDxgiBc7Unorm = 98;
constexpr std::uint32_t kDxgiBc7UnormSrgb = 99;

struct DdsLevel {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;  // rows top-down: red, green, blue, alpha
};

struct DdsImage {
    bool ok = false;
    std::string error;   // why the file could not be read
    DdsHeader header;
    std::uint64_t dataSize = 0;          // bytes after the header (and its extension)
    std::uint64_t expectedDataSize = 0;  // bytes the header's mip chain needs
    // Top level, rows top-down, four bytes per pixel: red, green, blue, alpha.
    std::vector<std::uint8_t> rgba;
    // Every level whose data is complete, the top level first (its pixels
    // repeat `rgba`).
    std::vector<DdsLevel> levels;
};

DdsImage readDds(const std::string& fileBytes);
DdsImage readDdsFile(const std::string& path);

// floor(log2(max(width, height))) + 1
std::uint32_t fullMipCount(std::uint32_t width, std::uint32_t height);
