// Arbitrary bytes written as a PNG file and decoded both ways: wherever the
// direct decode takes the file, its pixels and depth must be exactly what
// FreeImage's decode and 32-bit conversion give. Every chunk's CRC is made
// right first, so that changed chunk contents reach the decoders instead of
// failing both at the CRC.
#include <FreeImage.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <zlib.h>

#include "engine/image.h"
#include "engine/image_file.h"
#include "engine/png_decode.h"
#include "engine/png_header.h"
#include "settings/checked_size.h"
#include "fuzz_support.h"

namespace {
// Larger pictures only cost time per run; the decode is the same.
constexpr std::uint64_t kMaxFuzzPixels = 1 << 20;
constexpr std::size_t kSignatureBytes = 8;

std::uint32_t bigEndian(const std::uint8_t* at) {
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 | at[3];
}

void fixChunkChecksums(std::vector<std::uint8_t>& file) {
    for (std::size_t at = kSignatureBytes; at + 12 <= file.size();) {
        const std::uint64_t length = bigEndian(&file[at]);
        if (length > file.size() - at - 12) return;
        const std::size_t crcAt = at + 8 + static_cast<std::size_t>(length);
        const auto crc = static_cast<std::uint32_t>(crc32(0, &file[at + 4], static_cast<uInt>(length + 4)));
        for (int i = 0; i < 4; ++i) file[crcAt + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at = crcAt + 4;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file(data, data + size);
    fixChunkChecksums(file);
    const std::string path = writeScratchFile("input.png", file.data(), file.size());
    const PngHeader header = readPngHeader(path);
    if (!header.valid || !pictureFits(header.width, header.height, kMaxFuzzPixels) || !pngMayDecode(header))
        return 0;
    std::vector<std::uint8_t> pixels(std::size_t{header.width} * header.height * 4);
    const int depth = decodePngIntoBgra(path, pixels.data(), header.width, header.height, RowHooks{});
    if (depth == 0) return 0;
    const ImagePtr loaded = loadImageFile(FIF_PNG, path);
    if (!loaded || imageBpp(loaded) != depth) std::abort();
    const ImagePtr bgra(FreeImage_ConvertTo32Bits(loaded.get()));
    if (!bgra || FreeImage_GetWidth(bgra.get()) != header.width || FreeImage_GetHeight(bgra.get()) != header.height)
        std::abort();
    for (std::uint32_t y = 0; y < header.height; ++y) {
        const BYTE* line = FreeImage_GetScanLine(bgra.get(), static_cast<int>(header.height - 1 - y));
        if (std::memcmp(line, pixels.data() + std::size_t{y} * header.width * 4, std::size_t{header.width} * 4) != 0)
            std::abort();
    }
    return 0;
}
