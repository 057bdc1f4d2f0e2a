// Arbitrary bytes written as a PNG file and decoded both ways: wherever the
// direct decode takes the file, its pixels and depth must be exactly what
// FreeImage's decode and 32-bit conversion give.
#include <FreeImage.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/image.h"
#include "engine/image_file.h"
#include "engine/image_limits.h"
#include "engine/png_decode.h"
#include "engine/png_header.h"
#include "fuzz_support.h"

namespace {
// Larger pictures only cost time per run; the decode is the same.
constexpr std::int64_t kMaxFuzzPixels = 1 << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeScratchFile("input.png", data, size);
    const PngHeader header = readPngHeader(path);
    if (!header.valid || std::int64_t{header.width} * header.height > kMaxFuzzPixels || !pngMayDecode(header))
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
