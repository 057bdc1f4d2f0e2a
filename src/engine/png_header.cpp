#include "engine/png_header.h"
#include "settings/file_handle.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>

namespace {


constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Signature, chunk length, "IHDR", 13 bytes of data, CRC.
constexpr std::size_t kHeaderBytes = 8 + 4 + 4 + 13 + 4;
// The decoder refuses longer chunks.
constexpr std::uint64_t kMaxChunkLength = 0x7FFFFFFF;

std::uint32_t bigEndian(const unsigned char* at) {
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 | std::uint32_t{at[3]};
}

// Colour types and the depths each allows, with its channel count.
struct ColorTypeRow {
    std::uint8_t colorType;
    int channels;
    unsigned depthMask;  // bit d set: depth d allowed
};
constexpr unsigned depths(std::initializer_list<int> list) {
    unsigned mask = 0;
    for (int depth : list) mask |= 1u << depth;
    return mask;
}
constexpr ColorTypeRow kColorTypes[] = {
    {0, 1, depths({1, 2, 4, 8, 16})},  // grey
    {2, 3, depths({8, 16})},           // RGB
    {3, 1, depths({1, 2, 4, 8})},      // palette
    {4, 2, depths({8, 16})},           // grey and alpha
    {6, 4, depths({8, 16})},           // RGBA
};

bool methodsKnown(const unsigned char* data) {
    const unsigned char compression = data[10], filter = data[11], interlace = data[12];
    return compression == 0 && filter == 0 && interlace <= 1;
}

bool ihdrValid(const unsigned char* chunk, const PngHeader& header) {
    const unsigned char* data = chunk + 8;
    const std::uint32_t storedCrc = bigEndian(data + 13);
    const std::uint32_t crc = static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), chunk + 4, 4 + 13));
    return bigEndian(chunk) == 13 && crc == storedCrc && header.width > 0 && header.height > 0 &&
           pngBitsPerPixel(header.colorType, header.bitDepth) > 0 && methodsKnown(data);
}

// Follows the chunks after IHDR up to IEND or the end of the file, adding up
// the image data and noting a chunk that claims more bytes than the file
// has left (the decoder would allocate the claimed length, then fail).
void walkChunks(std::FILE* file, std::uint64_t fileSize, PngHeader& header) {
    std::uint64_t position = kHeaderBytes;
    unsigned char chunk[8];
    while (position + sizeof chunk <= fileSize && std::fseek(file, static_cast<long>(position), SEEK_SET) == 0 &&
           std::fread(chunk, 1, sizeof chunk, file) == sizeof chunk) {
        const std::uint64_t length = bigEndian(chunk);
        const std::uint64_t end = position + sizeof chunk + length + 4;  // data and CRC
        if (length > kMaxChunkLength || end > fileSize) {
            header.chunkOverrun = true;
            return;
        }
        if (std::memcmp(chunk + 4, "IDAT", 4) == 0) header.imageDataBytes += length;
        if (std::memcmp(chunk + 4, "tRNS", 4) == 0 && header.imageDataBytes == 0) header.transparencyChunk = true;
        if (std::memcmp(chunk + 4, "IEND", 4) == 0) return;
        position = end;
    }
}

}  // namespace

int pngBitsPerPixel(std::uint8_t colorType, std::uint8_t bitDepth) {
    for (const ColorTypeRow& row : kColorTypes)
        if (row.colorType == colorType) return bitDepth < 32 && (row.depthMask >> bitDepth & 1) ? row.channels * bitDepth : 0;
    return 0;
}

PngHeader readPngHeader(const std::string& path) {
    PngHeader header;
    FilePtr file = openRegularFile(path);
    unsigned char bytes[kHeaderBytes];
    if (!file || std::fread(bytes, 1, sizeof bytes, file.get()) != sizeof bytes) return header;
    const unsigned char* chunk = bytes + sizeof kSignature;
    if (std::memcmp(bytes, kSignature, sizeof kSignature) != 0 || std::memcmp(chunk + 4, "IHDR", 4) != 0) return header;
    header.width = bigEndian(chunk + 8);
    header.height = bigEndian(chunk + 12);
    header.bitDepth = chunk[16];
    header.colorType = chunk[17];
    header.valid = ihdrValid(chunk, header);
    if (!header.valid || std::fseek(file.get(), 0, SEEK_END) != 0) return header;
    const long size = std::ftell(file.get());
    if (size > 0) walkChunks(file.get(), static_cast<std::uint64_t>(size), header);
    return header;
}

bool pngCanHoldPixels(const PngHeader& header) {
    // The pixel bits alone, without filter bytes and row padding, are a
    // lower bound of the data the decoder needs. 128 bits hold any product
    // of the 32-bit sizes, the depth and the ratio.
    using Wide = unsigned __int128;
    const Wide bits = Wide{header.width} * header.height *
                      static_cast<unsigned>(pngBitsPerPixel(header.colorType, header.bitDepth));
    return Wide{header.imageDataBytes} * kMaxDeflateRatio * 8 >= bits;
}

bool pngMayDecode(const PngHeader& header) { return !header.chunkOverrun && pngCanHoldPixels(header); }

bool pngMayHoldAlpha(const PngHeader& header) {
    constexpr std::uint8_t kAlphaChannel = 4;  // colour types 4 and 6
    return (header.colorType & kAlphaChannel) != 0 || header.transparencyChunk;
}
