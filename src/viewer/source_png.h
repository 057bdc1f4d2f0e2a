// The PNG a texture was made from, decoded by the engine and box-filtered
// into the engine's own mip chain, so each level of the texture can be
// compared with the level the writer started from.
#pragma once

#include <memory>
#include <string>

#include "engine/image.h"
#include "engine/mip_chain.h"

struct SourcePicture {
    // 32-bit blue, green, red, alpha, its memory flipped to hold the rows
    // top-down: the chain's level 0.
    ImagePtr image;
    MipChain chain;
};

// Null when the file is missing, no PNG the decoder takes, larger than the
// engine takes, or the chain's memory cannot be had.
std::unique_ptr<SourcePicture> loadSourcePicture(const std::string& path);
