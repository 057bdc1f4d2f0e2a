#include "engine/dds_check.h"
#include "settings/file_handle.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr std::size_t kPlainHeaderBytes = 128;  // magic + 124-byte header
constexpr std::size_t kDx10HeaderBytes = 148;   // and the DX10 extension
constexpr std::uint32_t kFourCCFlag = 0x4;
constexpr std::uint32_t kDxgiBc7Unorm = 98, kDxgiBc7UnormSrgb = 99;

using HeaderBytes = std::array<unsigned char, kDx10HeaderBytes>;

std::uint32_t fieldAt(const HeaderBytes& header, std::size_t offset) {
    return static_cast<std::uint32_t>(header[offset]) | static_cast<std::uint32_t>(header[offset + 1]) << 8 |
           static_cast<std::uint32_t>(header[offset + 2]) << 16 | static_cast<std::uint32_t>(header[offset + 3]) << 24;
}

bool hasFourCC(const HeaderBytes& header, const char* name) {
    return (fieldAt(header, 80) & kFourCCFlag) && std::memcmp(&header[84], name, 4) == 0;
}

// Bytes of one 4 x 4 block, or 0 for a layout this check does not know.
std::uint32_t blockBytes(const HeaderBytes& header) {
    if (hasFourCC(header, "DXT1")) return 8;
    for (const char* name : {"DXT2", "DXT3", "DXT4", "DXT5"})
        if (hasFourCC(header, name)) return 16;
    if (hasFourCC(header, "DX10")) {
        const std::uint32_t dxgi = fieldAt(header, kPlainHeaderBytes);
        if (dxgi == kDxgiBc7Unorm || dxgi == kDxgiBc7UnormSrgb) return 16;
    }
    return 0;
}

// Bytes of one level: 4 x 4 blocks for the block formats, whole pixels
// else; 0 for a layout this check does not know.
std::uint64_t levelBytes(const HeaderBytes& header, std::uint32_t width, std::uint32_t height) {
    if (!(fieldAt(header, 80) & kFourCCFlag)) return std::uint64_t{width} * height * (fieldAt(header, 88) / 8);
    return std::uint64_t{(width + 3) / 4} * ((height + 3) / 4) * blockBytes(header);
}

std::uint64_t chainBytes(const HeaderBytes& header, std::uint32_t width, std::uint32_t height) {
    const std::uint32_t levels = std::max<std::uint32_t>(fieldAt(header, 28), 1);
    std::uint64_t total = 0;
    for (std::uint32_t level = 0; level < levels && level < 32; ++level) {
        total += levelBytes(header, width, height);
        width = std::max<std::uint32_t>(width / 2, 1);
        height = std::max<std::uint32_t>(height / 2, 1);
    }
    return total;
}

}  // namespace

bool isCompleteDdsFile(const std::string& path, std::uint32_t width, std::uint32_t height) {
    FilePtr file = openRegularFile(path);
    if (!file) return false;
    HeaderBytes header{};
    const std::size_t read = std::fread(header.data(), 1, header.size(), file.get());
    if (read < kPlainHeaderBytes) return false;
    if (std::memcmp(header.data(), "DDS ", 4) != 0 || fieldAt(header, 4) != 124) return false;
    if (fieldAt(header, 12) != height || fieldAt(header, 16) != width) return false;
    const std::size_t headerBytes = hasFourCC(header, "DX10") ? kDx10HeaderBytes : kPlainHeaderBytes;
    if (read < headerBytes) return false;
    const std::uint64_t needed = chainBytes(header, width, height);
    struct stat info {};
    if (needed == 0 || fstat(fileno(file.get()), &info) != 0) return false;
    return static_cast<std::uint64_t>(info.st_size) >= headerBytes + needed;
}
