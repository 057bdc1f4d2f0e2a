#include "engine/dxt5_encode.h"

#include "engine/bc1_encode.h"

void encodeDxt5Block(const std::uint8_t rgba[64], std::uint8_t out[kDxt5BlockBytes]) {
    encodeAlphaBlock(rgba, out);
    encodeOpaqueColorBlock(rgba, out + kBc1BlockBytes);
}

const std::uint8_t* dxt5ColorHalf(const std::uint8_t* block) { return block + kBc1BlockBytes; }
