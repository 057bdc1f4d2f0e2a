#include "engine/block_decode.h"

#include <cstring>
#include <utility>

#include "engine/bc7_tables.h"

namespace {

std::uint16_t halfWord(const std::uint8_t* bytes) { return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8); }

std::uint32_t word(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16) | std::uint32_t{bytes[3]} << 24;
}

struct Rgb {
    int r, g, b;
};

// Each channel widened by repeating its top bits below it.
Rgb from565(std::uint16_t c) {
    const int r = c >> 11 & 31, g = c >> 5 & 63, b = c & 31;
    return {r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2};
}

Rgb mix(Rgb a, Rgb b, int wa, int wb, int total) {
    return {(a.r * wa + b.r * wb) / total, (a.g * wa + b.g * wb) / total, (a.b * wa + b.b * wb) / total};
}

// The colour half of a block. DXT3 and DXT5 always use four colours; only
// DXT1 switches to three and transparent black.
void decodeColorBlock(const std::uint8_t* block, bool mayBeTransparent, std::uint8_t rgba[64]) {
    const std::uint16_t c0 = halfWord(block), c1 = halfWord(block + 2);
    Rgb palette[4] = {from565(c0), from565(c1), {}, {}};
    const bool threeColours = mayBeTransparent && c0 <= c1;
    if (threeColours) {
        palette[2] = mix(palette[0], palette[1], 1, 1, 2);
        palette[3] = {0, 0, 0};
    } else {
        palette[2] = mix(palette[0], palette[1], 2, 1, 3);
        palette[3] = mix(palette[0], palette[1], 1, 2, 3);
    }
    const std::uint32_t indices = word(block + 4);
    for (int i = 0; i < 16; ++i) {
        const auto index = static_cast<std::size_t>(indices >> (2 * i) & 3);
        std::uint8_t* pixel = rgba + 4 * i;
        pixel[0] = static_cast<std::uint8_t>(palette[index].r);
        pixel[1] = static_cast<std::uint8_t>(palette[index].g);
        pixel[2] = static_cast<std::uint8_t>(palette[index].b);
        pixel[3] = threeColours && index == 3 ? 0 : 255;
    }
}

void decodeExplicitAlpha(const std::uint8_t* block, std::uint8_t rgba[64]) {
    for (int i = 0; i < 16; ++i) rgba[4 * i + 3] = static_cast<std::uint8_t>((block[i / 2] >> (4 * (i % 2)) & 15) * 17);
}

void decodeInterpolatedAlpha(const std::uint8_t* block, std::uint8_t rgba[64]) {
    const int a0 = block[0], a1 = block[1];
    int palette[8] = {a0, a1};
    if (a0 > a1) {
        for (int i = 1; i <= 6; ++i) palette[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (int i = 1; i <= 4; ++i) palette[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        palette[6] = 0;
        palette[7] = 255;
    }
    std::uint64_t bits = 0;
    for (int i = 7; i >= 2; --i) bits = bits << 8 | block[i];
    for (int i = 0; i < 16; ++i) rgba[4 * i + 3] = static_cast<std::uint8_t>(palette[bits >> (3 * i) & 7]);
}

// Reads fields of the 128-bit BC7 block from the lowest bit up.
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

int bc7ModeOf(std::uint8_t first) {
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

void decodeBc1Block(const std::uint8_t in[8], std::uint8_t rgba[64]) { decodeColorBlock(in, true, rgba); }

void decodeBc2Block(const std::uint8_t in[16], std::uint8_t rgba[64]) {
    decodeColorBlock(in + 8, false, rgba);
    decodeExplicitAlpha(in, rgba);
}

void decodeBc3Block(const std::uint8_t in[16], std::uint8_t rgba[64]) {
    decodeColorBlock(in + 8, false, rgba);
    decodeInterpolatedAlpha(in, rgba);
}

void decodeBc7Block(const std::uint8_t in[16], std::uint8_t rgba[64]) {
    const int mode = bc7ModeOf(in[0]);
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
