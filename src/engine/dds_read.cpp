#include "engine/dds_read.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <optional>

#include "engine/block_decode.h"
#include "engine/two_cores.h"
#include "settings/checked_size.h"

namespace {

constexpr std::size_t kHeaderBytes = 128;       // "DDS " and the 124-byte header
constexpr std::size_t kDx10HeaderBytes = 148;   // and the 20-byte DX10 extension
constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kDepthFlag = 0x800000;
constexpr std::uint32_t kAlphaPixelsFlag = 0x1;
constexpr std::uint32_t kFourCCFlag = 0x4;
constexpr std::uint32_t kRgbFlag = 0x40;
constexpr std::uint32_t kCubeMapCaps2 = 0x200;
constexpr std::uint32_t kVolumeCaps2 = 0x200000;
constexpr std::uint32_t kTexture2D = 3;
constexpr std::uint32_t kTextureCubeMisc = 0x4;

// Offsets into the file.
constexpr std::size_t kHeaderSizeAt = 4, kFlagsAt = 8, kHeightAt = 12, kWidthAt = 16, kDepthAt = 24,
                      kMipCountAt = 28, kPixelFlagsAt = 80, kFourCCAt = 84, kBitCountAt = 88, kMasksAt = 92,
                      kCaps2At = 112, kDxgiFormatAt = 128, kDimensionAt = 132, kMiscFlagAt = 136, kArraySizeAt = 140;

std::uint32_t wordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16) |
           std::uint32_t{bytes[at + 3]} << 24;
}

struct KindRow {
    DdsKind kind;
    std::uint32_t unitSide;   // 4 for blocks, 1 for pixels
    std::uint32_t unitBytes;  // of a block or a pixel
    BlockDecoder decode;      // null for pixels
};

constexpr std::array<KindRow, 6> kKinds = {{
    {DdsKind::Dxt1, 4, 8, decodeBc1Block},
    {DdsKind::Dxt3, 4, 16, decodeBc2Block},
    {DdsKind::Dxt5, 4, 16, decodeBc3Block},
    {DdsKind::Bc7, 4, 16, decodeBc7Block},
    {DdsKind::Rgb32, 1, 4, nullptr},
    {DdsKind::Rgb24, 1, 3, nullptr},
}};

const KindRow& kindRow(DdsKind kind) {
    return *std::find_if(kKinds.begin(), kKinds.end(), [kind](const KindRow& row) { return row.kind == kind; });
}

// The pixel format as far as the header names it.
struct PixelFormat {
    DdsKind kind = DdsKind::Dxt1;
    std::string name;
    DdsPixelMasks masks;
};

struct FourCCRow {
    const char* fourCC;
    DdsKind kind;
};
constexpr std::array<FourCCRow, 3> kFourCCs = {{{"DXT1", DdsKind::Dxt1}, {"DXT3", DdsKind::Dxt3}, {"DXT5", DdsKind::Dxt5}}};

// The DX10 formats of the kinds read here.
struct DxgiRow {
    std::uint32_t dxgi;
    DdsKind kind;
    const char* name;
    DdsPixelMasks masks;
};
constexpr DdsPixelMasks kRgbaMasks{0xFF, 0xFF00, 0xFF0000, 0xFF000000};
constexpr DdsPixelMasks kBgraMasks{0xFF0000, 0xFF00, 0xFF, 0xFF000000};
constexpr DdsPixelMasks kBgrxMasks{0xFF0000, 0xFF00, 0xFF, 0};
constexpr std::array<DxgiRow, 13> kDxgiFormats = {{
    {28, DdsKind::Rgb32, "A8B8G8R8", kRgbaMasks},
    {29, DdsKind::Rgb32, "A8B8G8R8 sRGB", kRgbaMasks},
    {71, DdsKind::Dxt1, "DXT1", {}},
    {72, DdsKind::Dxt1, "DXT1 sRGB", {}},
    {74, DdsKind::Dxt3, "DXT3", {}},
    {75, DdsKind::Dxt3, "DXT3 sRGB", {}},
    {77, DdsKind::Dxt5, "DXT5", {}},
    {78, DdsKind::Dxt5, "DXT5 sRGB", {}},
    {87, DdsKind::Rgb32, "A8R8G8B8", kBgraMasks},
    {88, DdsKind::Rgb32, "X8R8G8B8", kBgrxMasks},
    {91, DdsKind::Rgb32, "A8R8G8B8 sRGB", kBgraMasks},
    {98, DdsKind::Bc7, "BC7", {}},
    {99, DdsKind::Bc7, "BC7 sRGB", {}},
}};

// The usual names of uncompressed layouts; others are named by their size.
struct MaskName {
    std::uint32_t bits;
    DdsPixelMasks masks;
    const char* name;
};
constexpr std::array<MaskName, 6> kMaskNames = {{
    {32, kBgraMasks, "A8R8G8B8"},
    {32, kBgrxMasks, "X8R8G8B8"},
    {32, kRgbaMasks, "A8B8G8R8"},
    {32, {0xFF, 0xFF00, 0xFF0000, 0}, "X8B8G8R8"},
    {24, kBgrxMasks, "R8G8B8"},
    {24, {0xFF, 0xFF00, 0xFF0000, 0}, "B8G8R8"},
}};

bool sameMasks(const DdsPixelMasks& a, const DdsPixelMasks& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

// A mask must be one run of bits within the pixel.
bool usableMask(std::uint32_t mask, std::uint32_t bits) {
    if (bits < 32 && mask >> bits) return false;
    if (!mask) return true;
    const std::uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

std::string printableFourCC(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint8_t c = bytes[kFourCCAt + i];
        text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return text;
}

std::optional<PixelFormat> dx10Format(std::span<const std::uint8_t> bytes, std::string& error) {
    if (bytes.size() < kDx10HeaderBytes) {
        error = "The file ends inside its header";
        return std::nullopt;
    }
    if (wordAt(bytes, kArraySizeAt) != 1) {
        error = "Texture arrays are not supported";
        return std::nullopt;
    }
    if (wordAt(bytes, kMiscFlagAt) & kTextureCubeMisc) {
        error = "Cube maps are not supported";
        return std::nullopt;
    }
    if (wordAt(bytes, kDimensionAt) != kTexture2D) {
        error = "Only two-dimensional textures are supported";
        return std::nullopt;
    }
    const std::uint32_t dxgi = wordAt(bytes, kDxgiFormatAt);
    for (const DxgiRow& row : kDxgiFormats)
        if (row.dxgi == dxgi) return PixelFormat{row.kind, row.name, row.masks};
    error = "The DXGI format " + std::to_string(dxgi) + " is not supported";
    return std::nullopt;
}

std::optional<PixelFormat> fourCCFormat(std::span<const std::uint8_t> bytes, std::string& error) {
    const std::string fourCC(reinterpret_cast<const char*>(bytes.data() + kFourCCAt), 4);
    if (fourCC == "DX10") return dx10Format(bytes, error);
    for (const FourCCRow& row : kFourCCs)
        if (fourCC == row.fourCC) return PixelFormat{row.kind, row.fourCC, {}};
    error = "The pixel format \"" + printableFourCC(bytes) + "\" is not supported";
    return std::nullopt;
}

std::optional<PixelFormat> maskFormat(std::span<const std::uint8_t> bytes, std::string& error) {
    const std::uint32_t bits = wordAt(bytes, kBitCountAt);
    if (bits != 32 && bits != 24) {
        error = "Uncompressed pixels of " + std::to_string(bits) + " bits are not supported";
        return std::nullopt;
    }
    const bool alpha = wordAt(bytes, kPixelFlagsAt) & kAlphaPixelsFlag;
    const DdsPixelMasks masks{wordAt(bytes, kMasksAt), wordAt(bytes, kMasksAt + 4), wordAt(bytes, kMasksAt + 8),
                              alpha ? wordAt(bytes, kMasksAt + 12) : 0};
    for (std::uint32_t mask : {masks.red, masks.green, masks.blue, masks.alpha})
        if (!usableMask(mask, bits)) {
            error = "The pixel masks of the file are not supported";
            return std::nullopt;
        }
    PixelFormat format{bits == 32 ? DdsKind::Rgb32 : DdsKind::Rgb24, {}, masks};
    for (const MaskName& row : kMaskNames)
        if (row.bits == bits && sameMasks(row.masks, masks)) format.name = row.name;
    if (format.name.empty()) format.name = std::string(masks.alpha ? "RGBA " : "RGB ") + std::to_string(bits) + "-bit";
    return format;
}

std::optional<PixelFormat> pixelFormatOf(std::span<const std::uint8_t> bytes, std::string& error) {
    const std::uint32_t flags = wordAt(bytes, kPixelFlagsAt);
    if (flags & kFourCCFlag) return fourCCFormat(bytes, error);
    if (flags & kRgbFlag) return maskFormat(bytes, error);
    error = "The pixel format of the file is not supported";
    return std::nullopt;
}

// The refusals the header alone decides, in the order a reader meets them.
std::string shapeError(std::span<const std::uint8_t> bytes) {
    const std::uint32_t caps2 = wordAt(bytes, kCaps2At);
    if (caps2 & kCubeMapCaps2) return "Cube maps are not supported";
    const bool deep = (wordAt(bytes, kFlagsAt) & kDepthFlag) && wordAt(bytes, kDepthAt) > 1;
    if ((caps2 & kVolumeCaps2) || deep) return "Volume textures are not supported";
    if (wordAt(bytes, kWidthAt) == 0 || wordAt(bytes, kHeightAt) == 0) return "The picture has no pixels";
    return {};
}

std::uint32_t halfSideOf(std::uint32_t side) { return std::max<std::uint32_t>(side / 2, 1); }

std::uint32_t fullChainLength(std::uint32_t width, std::uint32_t height) {
    return static_cast<std::uint32_t>(std::bit_width(std::max(width, height)));
}

// Places the levels whose bytes the file holds, from `offset` on; the
// sizes are compared with what is left before they are multiplied out, so
// no header value can overflow them.
std::vector<DdsLevelPlace> placeLevels(const KindRow& row, std::uint32_t width, std::uint32_t height,
                                       std::uint32_t count, std::size_t offset, std::size_t fileBytes) {
    std::vector<DdsLevelPlace> levels;
    for (std::uint32_t level = 0; level < count; ++level) {
        const std::int64_t across = (std::int64_t{width} + row.unitSide - 1) / row.unitSide;
        const std::int64_t down = (std::int64_t{height} + row.unitSide - 1) / row.unitSide;
        const auto bytes = checkedSize(across, down, row.unitBytes, fileBytes - offset);
        if (!bytes) break;
        levels.push_back({width, height, offset, static_cast<std::size_t>(*bytes)});
        offset += static_cast<std::size_t>(*bytes);
        width = halfSideOf(width);
        height = halfSideOf(height);
    }
    return levels;
}

DdsFileInfo refused(DdsFileInfo info, std::string error) {
    info.ok = false;
    info.error = std::move(error);
    info.levels.clear();
    return info;
}

// The channel under `mask` of a pixel, widened or narrowed to 8 bits.
std::uint8_t channelOf(std::uint32_t pixel, std::uint32_t mask, std::uint8_t missing) {
    if (!mask) return missing;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
    return static_cast<std::uint8_t>((value * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1));
}

// Rows are decoded in bands, the bands shared by both cores.
constexpr std::uint32_t kPixelRowsPerBand = 32;
constexpr std::uint32_t kBlockRowsPerBand = 8;

std::size_t bandCount(std::uint32_t rows, std::uint32_t perBand) { return (std::size_t{rows} + perBand - 1) / perBand; }

void decodePixelRows(const DdsLevelPlace& place, std::uint32_t pixelBytes, const DdsPixelMasks& masks,
                     const std::uint8_t* data, std::uint8_t* rgba) {
    for (std::uint32_t x = 0; x < place.width; ++x, data += pixelBytes, rgba += 4) {
        std::uint32_t pixel = 0;
        for (std::uint32_t b = 0; b < pixelBytes; ++b) pixel |= std::uint32_t{data[b]} << (8 * b);
        rgba[0] = channelOf(pixel, masks.red, 0);
        rgba[1] = channelOf(pixel, masks.green, 0);
        rgba[2] = channelOf(pixel, masks.blue, 0);
        rgba[3] = channelOf(pixel, masks.alpha, 255);
    }
}

void decodePixels(const DdsLevelPlace& place, std::uint32_t pixelBytes, const DdsPixelMasks& masks,
                  const std::uint8_t* data, std::uint8_t* rgba) {
    const std::size_t inStride = std::size_t{place.width} * pixelBytes, outStride = std::size_t{place.width} * 4;
    runOnTwoCores(bandCount(place.height, kPixelRowsPerBand), [&](std::size_t band) {
        const std::size_t first = band * kPixelRowsPerBand;
        const std::size_t end = std::min<std::size_t>(first + kPixelRowsPerBand, place.height);
        for (std::size_t y = first; y < end; ++y)
            decodePixelRows(place, pixelBytes, masks, data + y * inStride, rgba + y * outStride);
    });
}

void decodeBlockRow(const DdsLevelPlace& place, const KindRow& row, std::uint32_t by, const std::uint8_t* data,
                    std::uint8_t* rgba) {
    const std::uint32_t across = (place.width + 3) / 4;
    const std::size_t stride = std::size_t{place.width} * 4;
    const std::uint32_t rows = std::min<std::uint32_t>(4, place.height - by * 4);
    std::uint8_t block[64];
    for (std::uint32_t bx = 0; bx < across; ++bx, data += row.unitBytes) {
        row.decode(data, block);
        const std::uint32_t columns = std::min<std::uint32_t>(4, place.width - bx * 4);
        std::uint8_t* to = rgba + (std::size_t{by} * 4) * stride + std::size_t{bx} * 16;
        for (std::uint32_t y = 0; y < rows; ++y) std::memcpy(to + y * stride, block + y * 16, columns * 4);
    }
}

void decodeBlocks(const DdsLevelPlace& place, const KindRow& row, const std::uint8_t* data, std::uint8_t* rgba) {
    const std::uint32_t down = (place.height + 3) / 4;
    const std::size_t rowBytes = std::size_t{(place.width + 3) / 4} * row.unitBytes;
    runOnTwoCores(bandCount(down, kBlockRowsPerBand), [&](std::size_t band) {
        const auto first = static_cast<std::uint32_t>(band * kBlockRowsPerBand);
        const std::uint32_t end = std::min(first + kBlockRowsPerBand, down);
        for (std::uint32_t by = first; by < end; ++by) decodeBlockRow(place, row, by, data + by * rowBytes, rgba);
    });
}

std::string openError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "The file does not exist";
    case EACCES:
    case EPERM:
        return "The file cannot be read (permission denied)";
    case ELOOP:
        return "The file name is a loop of symbolic links";
    default:
        return std::string("The file cannot be opened (") + std::strerror(error) + ")";
    }
}

std::string typeError(mode_t mode) {
    if (S_ISDIR(mode)) return "This is a folder, not a file";
    if (S_ISFIFO(mode)) return "This is a pipe (FIFO), not a file";
    return "This is not a regular file";
}

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

DdsFileInfo readDdsInfo(std::span<const std::uint8_t> bytes) {
    DdsFileInfo info;
    info.fileBytes = bytes.size();
    if (bytes.size() < 4 || std::memcmp(bytes.data(), "DDS ", 4) != 0) return refused(info, "Not a DDS file");
    if (bytes.size() < kHeaderBytes) return refused(info, "The file ends inside its header");
    if (wordAt(bytes, kHeaderSizeAt) != kHeaderSize) return refused(info, "The DDS header is damaged");
    if (std::string shape = shapeError(bytes); !shape.empty()) return refused(info, shape);
    std::string error;
    const std::optional<PixelFormat> format = pixelFormatOf(bytes, error);
    if (!format) return refused(info, error);

    info.kind = format->kind;
    info.kindName = format->name;
    info.masks = format->masks;
    info.width = wordAt(bytes, kWidthAt);
    info.height = wordAt(bytes, kHeightAt);
    const bool dx10 = std::memcmp(bytes.data() + kFourCCAt, "DX10", 4) == 0 && (wordAt(bytes, kPixelFlagsAt) & kFourCCFlag);
    const std::size_t dataOffset = dx10 ? kDx10HeaderBytes : kHeaderBytes;
    // Writers leave the count 0 for a single level; a count beyond the full
    // chain cannot hold more levels than the chain has.
    const std::uint32_t count =
        std::clamp<std::uint32_t>(wordAt(bytes, kMipCountAt), 1, fullChainLength(info.width, info.height));
    info.levels = placeLevels(kindRow(info.kind), info.width, info.height, count, dataOffset, bytes.size());
    if (info.levels.empty()) return refused(info, "The file ends before the first level's data");
    info.ok = true;
    return info;
}

DdsFile openDdsFile(const std::string& path) {
    DdsFile file;
    const Descriptor descriptor{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (descriptor.fd < 0) {
        file.info = refused({}, openError(errno));
        return file;
    }
    struct stat status {};
    if (::fstat(descriptor.fd, &status) != 0) {
        file.info = refused({}, openError(errno));
        return file;
    }
    if (!S_ISREG(status.st_mode)) {
        file.info = refused({}, typeError(status.st_mode));
        return file;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size > 0) {
        void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor.fd, 0);
        if (mapped == MAP_FAILED) {
            file.info = refused({}, openError(errno));
            return file;
        }
        file.mapping = std::shared_ptr<const void>(mapped, [size](const void* at) { ::munmap(const_cast<void*>(at), size); });
        file.bytes = {static_cast<const std::uint8_t*>(mapped), size};
    }
    file.info = readDdsInfo(file.bytes);
    return file;
}

RgbaPicture decodeDdsLevel(std::span<const std::uint8_t> bytes, const DdsFileInfo& info, std::size_t level) {
    RgbaPicture picture;
    if (!info.ok || level >= info.levels.size()) return picture;
    const DdsLevelPlace& place = info.levels[level];
    if (place.offset > bytes.size() || place.bytes > bytes.size() - place.offset) return picture;
    const KindRow& row = kindRow(info.kind);
    // The place must be the one this kind's units need: a record edited by
    // hand could otherwise send the decoder past its bytes.
    const auto units = [&](std::uint32_t side) { return (std::int64_t{side} + row.unitSide - 1) / row.unitSide; };
    if (checkedSize(units(place.width), units(place.height), row.unitBytes) != place.bytes) return picture;
    picture.width = place.width;
    picture.height = place.height;
    picture.rgba.resize(std::size_t{place.width} * place.height * 4);
    const std::uint8_t* data = bytes.data() + place.offset;
    if (row.decode)
        decodeBlocks(place, row, data, picture.rgba.data());
    else
        decodePixels(place, row.unitBytes, info.masks, data, picture.rgba.data());
    return picture;
}

void releaseReadPages(const DdsFile& file) {
    // The mapping is private and never written: dropped pages are read
    // from the file again if a level is decoded again.
    if (file.mapping && !file.bytes.empty())
        ::madvise(const_cast<std::uint8_t*>(file.bytes.data()), file.bytes.size(), MADV_DONTNEED);
}
