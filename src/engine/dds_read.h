// Reading DDS files back: the kinds this program writes (DXT1, DXT5, BC7
// behind the DX10 header, uncompressed A8R8G8B8) and the usual kinds other
// tools write (DXT3, uncompressed 32- and 24-bit with bit masks). A file is
// never trusted: every size in its header is checked against the bytes
// the file really holds before anything is allocated, so a lying header
// costs a one-line refusal, not memory or time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

enum class DdsKind : std::uint8_t { Dxt1, Dxt3, Dxt5, Bc7, Rgb32, Rgb24 };

// Where one mip level lies in the file.
struct DdsLevelPlace {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t offset = 0;  // from the start of the file
    std::size_t bytes = 0;
};

// Where each channel lies in an uncompressed pixel (little-endian); a zero
// alpha mask means opaque.
struct DdsPixelMasks {
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 0;
};

struct DdsFileInfo {
    bool ok = false;
    std::string error;  // one line, for the viewer or stderr, when not ok
    DdsKind kind = DdsKind::Dxt1;
    std::string kindName;  // "DXT1", "DXT3", "DXT5", "BC7", "A8R8G8B8", "X8R8G8B8", "R8G8B8", ...
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint64_t fileBytes = 0;
    // Every level whose data the file holds completely, the top level
    // first; a file cut short keeps the levels before the cut.
    std::vector<DdsLevelPlace> levels;
    DdsPixelMasks masks;  // Rgb32 and Rgb24 only
};

// One decoded level: rows top-down, four bytes per pixel, red, green, blue,
// alpha.
struct RgbaPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;
};

// The header of `bytes` (a whole file) checked and its levels placed.
DdsFileInfo readDdsInfo(std::span<const std::uint8_t> bytes);

// A file mapped read-only (regular files only: a FIFO, a folder or a
// device is refused without waiting, info.error says why) and its header
// checked. Pages are read as levels are decoded, so a viewer of one level
// holds little more than that level's pixels.
struct DdsFile {
    std::shared_ptr<const void> mapping;  // keeps `bytes` valid
    std::span<const std::uint8_t> bytes;
    DdsFileInfo info;
};
DdsFile openDdsFile(const std::string& path);

// Decodes level `level` of a file whose info is ok, its rows shared by both
// cores; an empty picture when the level does not exist.
RgbaPicture decodeDdsLevel(std::span<const std::uint8_t> bytes, const DdsFileInfo& info, std::size_t level);

// The pages of the file read so far leave the process's memory (a decoded
// level no longer needs its compressed bytes); a later decode reads them
// from the file again.
void releaseReadPages(const DdsFile& file);
