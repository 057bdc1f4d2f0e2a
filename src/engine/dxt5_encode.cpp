#include "engine/dxt5_encode.h"

#include <cstring>

#include "engine/bc1_encode.h"

namespace {

// Pixels nobody sees (alpha 0) beside pixels that are seen take the
// alpha-weighted mean colour of the seen ones: their own colour would pull
// the block's two end colours away from what shows, and a renderer's
// filter would blend it into the visible edge as a fringe. DXT1 already
// gives up the colour of its transparent pixels. A block nobody sees
// keeps its colours.
void giveUnseenPixelsTheSeenColour(std::uint8_t rgba[64]) {
    std::uint32_t sum[3] = {0, 0, 0}, weight = 0;
    bool unseen = false;
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t alpha = rgba[4 * i + 3];
        unseen |= alpha == 0;
        weight += alpha;
        for (int c = 0; c < 3; ++c) sum[c] += rgba[4 * i + c] * alpha;
    }
    if (!unseen || weight == 0) return;
    std::uint8_t mean[3];
    for (int c = 0; c < 3; ++c) mean[c] = static_cast<std::uint8_t>((sum[c] + weight / 2) / weight);
    for (int i = 0; i < 16; ++i)
        if (rgba[4 * i + 3] == 0) std::memcpy(rgba + 4 * i, mean, 3);
}

}  // namespace

void encodeDxt5Block(const std::uint8_t rgba[64], std::uint8_t out[kDxt5BlockBytes]) {
    encodeAlphaBlock(rgba, out);
    std::uint8_t seen[64];
    std::memcpy(seen, rgba, sizeof seen);
    giveUnseenPixelsTheSeenColour(seen);
    encodeOpaqueColorBlock(seen, out + kBc1BlockBytes);
}

const std::uint8_t* dxt5ColorHalf(const std::uint8_t* block) { return block + kBc1BlockBytes; }
