// A DDS file of one level holding blocks as they are given: DXT1 (8 bytes
// a block) or BC7 (16 bytes, behind the DX10 header extension), for tests
// and benches that judge block encoders through the DDS reader and other
// decoders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class BlockFormat { dxt1, bc7 };

inline std::string ddsFileOfBlocks(std::uint32_t width, std::uint32_t height, BlockFormat format,
                                   const std::vector<std::uint8_t>& blocks) {
    std::string file;
    auto word = [&file](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<char>(v >> (8 * i) & 0xff));
    };
    const bool bc7 = format == BlockFormat::bc7;
    file = "DDS ";
    word(124);
    word(0x1 | 0x2 | 0x4 | 0x1000 | 0x80000);  // caps, height, width, pixel format, linear size
    word(height);
    word(width);
    word(static_cast<std::uint32_t>(blocks.size()));
    word(0);  // depth
    word(1);  // levels
    for (int i = 0; i < 11; ++i) word(0);
    word(32);   // pixel format size
    word(0x4);  // four-character code
    file += bc7 ? "DX10" : "DXT1";
    for (int i = 0; i < 5; ++i) word(0);
    word(0x1000);  // texture
    for (int i = 0; i < 4; ++i) word(0);
    if (bc7) {
        word(98);  // BC7_UNORM
        word(3);   // two-dimensional texture
        word(0);
        word(1);  // array size
        word(0);
    }
    file.append(blocks.begin(), blocks.end());
    return file;
}
