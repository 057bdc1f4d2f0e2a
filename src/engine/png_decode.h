// The PNG decode of a conversion that changes nothing but the format: libpng
// writes the pixels straight into the one buffer the writer reads, as 32-bit
// blue, green, red, alpha rows, top-down. FreeImage's decode would first
// build a bitmap of the file's own depth, zeroed, and then a zeroed 32-bit
// copy of it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What the decode tells its caller on the way; either may be empty.
struct RowHooks {
    // Before any byte of the first `rows` rows is written: each time four
    // more rows are about to be, or all of them at once for an interlaced
    // picture.
    std::function<void(std::uint32_t rows)> beforeWriting;
    // Once the first `rows` rows are final: each time four more are, and
    // once at the end; for an interlaced picture only at the end, when
    // every pass is in.
    std::function<void(std::uint32_t rows)> decoded;
};

// Decodes the file into `target` (its size must be the file's), exactly as
// FreeImage's decode followed by its 32-bit conversion gives the pixels.
// Gives the depth FreeImage reports for the file; 0 for a kind of PNG this
// decode does not take (16 bits per sample, a few rare kinds named in
// png_decode.cpp), a size other than the target's, and any error libpng
// reports: the caller then decodes the file the general way, which gives
// the same result and the same failure as always.
int decodePngIntoBgra(const std::string& path, std::uint8_t* target, std::uint32_t width, std::uint32_t height,
                      const RowHooks& hooks);
