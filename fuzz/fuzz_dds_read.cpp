// Arbitrary bytes as a DDS file: the header is checked, every level it
// places is decoded, and the thumbnail's scaling runs on the smallest. The
// places must lie inside the bytes and each decoded level must have the
// size its place names; a refusal must say why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "engine/dds_read.h"
#include "engine/dds_thumbnail.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const DdsFileInfo info = readDdsInfo(bytes);
    if (!info.ok) {
        if (info.error.empty() || !info.levels.empty()) std::abort();
        return 0;
    }
    if (info.levels.empty()) std::abort();
    for (std::size_t level = 0; level < info.levels.size(); ++level) {
        const DdsLevelPlace& place = info.levels[level];
        if (place.offset > size || place.bytes > size - place.offset) std::abort();
        const RgbaPicture picture = decodeDdsLevel(bytes, info, level);
        if (picture.width != place.width || picture.height != place.height ||
            picture.rgba.size() != std::size_t{place.width} * place.height * 4)
            std::abort();
        if (level + 1 == info.levels.size()) {
            const RgbaPicture small = scaledToFit(picture, 3);
            if (small.width > 3 && small.width > picture.width) std::abort();
        }
    }
    if (!decodeDdsLevel(bytes, info, info.levels.size()).rgba.empty()) std::abort();
    return 0;
}
