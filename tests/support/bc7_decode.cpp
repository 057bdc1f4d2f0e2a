#include "bc7_decode.h"

#include <cstring>
#include <utility>

#include "engine/bc7_tables.h"

namespace {

// Reads fields of the 128-bit block from the lowest bit up.
struct BitReader {
    const std::uint8_t* bytes;
    int position = 0;
};

int readBits(BitReader& reader, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i, ++reader.position)
        value |= (reader.bytes[reader.position / 8] >> (reader.position % 8) & 1) << i;
    return value;
}

// An end point channel of `bits` bits (p-bit included) widened to 8 bits
// by repeating its top bits below it.
int widen(int value, int bits) {
    value <<= 8 - bits;
    return value | value >> bits;
}

int modeOf(std::uint8_t first) {
    for (int mode = 0; mode < 8; ++mode)
        if (first >> mode & 1) return mode;
    return -1;
}

// Indices of one set: the anchor pixel of each subset has one bit less.
void readIndices(BitReader& reader, const Bc7Mode& m, int partition, int bits, int out[16]) {
    for (int pixel = 0; pixel < 16; ++pixel) {
        bool anchor = false;
        for (int subset = 0; subset < m.subsets; ++subset) anchor |= bc7Anchor(m.subsets, partition, subset) == pixel;
        out[pixel] = readBits(reader, anchor ? bits - 1 : bits);
    }
}

}  // namespace

void decodeBc7Block(const std::uint8_t in[16], std::uint8_t rgba[64]) {
    const int mode = modeOf(in[0]);
    if (mode < 0) {
        std::memset(rgba, 0, 64);
        return;
    }
    const Bc7Mode& m = kBc7Modes[static_cast<std::size_t>(mode)];
    BitReader reader{in};
    readBits(reader, mode + 1);
    const int partition = readBits(reader, m.partitionBits);
    const int rotation = readBits(reader, m.rotationBits);
    const int selector = readBits(reader, m.selectorBits);

    // endpoint[subset * 2 + end][channel], stored bits first.
    int endpoint[6][4] = {};
    const int ends = 2 * m.subsets;
    for (int c = 0; c < 3; ++c)
        for (int e = 0; e < ends; ++e) endpoint[e][c] = readBits(reader, m.colorBits);
    for (int e = 0; e < ends; ++e) endpoint[e][3] = m.alphaBits ? readBits(reader, m.alphaBits) : 255;

    int pBit[6] = {};
    if (m.endpointPBits)
        for (int e = 0; e < ends; ++e) pBit[e] = readBits(reader, 1);
    if (m.sharedPBits)
        for (int s = 0; s < m.subsets; ++s) pBit[2 * s] = pBit[2 * s + 1] = readBits(reader, 1);
    const int extra = m.endpointPBits | m.sharedPBits;
    for (int e = 0; e < ends; ++e) {
        for (int c = 0; c < 3; ++c) endpoint[e][c] = widen(endpoint[e][c] << extra | pBit[e], m.colorBits + extra);
        if (m.alphaBits) endpoint[e][3] = widen(endpoint[e][3] << extra | pBit[e], m.alphaBits + extra);
    }

    int primary[16], secondary[16] = {};
    readIndices(reader, m, partition, m.indexBits, primary);
    if (m.secondIndexBits) readIndices(reader, m, partition, m.secondIndexBits, secondary);
    const bool swapSets = selector == 1;
    const int colorBits = swapSets ? m.secondIndexBits : m.indexBits;
    const int alphaBits = m.secondIndexBits && !swapSets ? m.secondIndexBits : m.indexBits;
    const int* colorIndex = swapSets ? secondary : primary;
    const int* alphaIndex = m.secondIndexBits && !swapSets ? secondary : primary;

    for (int pixel = 0; pixel < 16; ++pixel) {
        const int subset = bc7Subset(m.subsets, partition, pixel);
        const int* first = endpoint[2 * subset];
        const int* second = endpoint[2 * subset + 1];
        const int colorWeight = bc7Weights(colorBits)[colorIndex[pixel]];
        const int alphaWeight = bc7Weights(alphaBits)[alphaIndex[pixel]];
        int value[4];
        for (int c = 0; c < 3; ++c) value[c] = bc7Interpolate(first[c], second[c], colorWeight);
        value[3] = bc7Interpolate(first[3], second[3], alphaWeight);
        if (rotation) std::swap(value[3], value[rotation - 1]);
        for (int c = 0; c < 4; ++c) rgba[4 * pixel + c] = static_cast<std::uint8_t>(value[c]);
    }
}
