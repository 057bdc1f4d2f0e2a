#include "engine/bc1_encode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

// The encoder's one definition in the program. Its tables are constant, so
// both cores may call it at once.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wconversion"
#define STB_DXT_STATIC
#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>
#pragma GCC diagnostic pop

namespace {

using Color = std::array<float, 3>;

struct EndPoints {
    std::uint16_t first = 0;  // 5-6-5
    std::uint16_t second = 0;
};

std::uint16_t to565(const Color& c) {
    auto quantize = [](float value, int levels) {
        return static_cast<std::uint16_t>(std::lround(std::clamp(value, 0.0f, 255.0f) * static_cast<float>(levels) / 255.0f));
    };
    return static_cast<std::uint16_t>(quantize(c[0], 31) << 11 | quantize(c[1], 63) << 5 | quantize(c[2], 31));
}

// The colour a decoder shows for an end point (bits repeated into the low end).
std::array<int, 3> from565(std::uint16_t v) {
    const int r = v >> 11 & 31, g = v >> 5 & 63, b = v & 31;
    return {r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2};
}

// Palette of a three-colour block as decoders show it: both end points and
// their midpoint (index 3 is transparent).
std::array<std::array<int, 3>, 3> threeColorPalette(EndPoints e) {
    const std::array<int, 3> a = from565(e.first), b = from565(e.second);
    return {a, b, {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2}};
}

int distance(const std::array<int, 3>& p, const std::uint8_t* pixel) {
    int sum = 0;
    for (int c = 0; c < 3; ++c) sum += (p[static_cast<std::size_t>(c)] - pixel[c]) * (p[static_cast<std::size_t>(c)] - pixel[c]);
    return sum;
}

struct Fit {
    EndPoints ends;
    std::array<int, 16> index{};  // 0, 1, 2 (midpoint) or 3 (transparent)
    long error = 0;
};

Fit assignIndices(const std::uint8_t rgba[64], EndPoints ends) {
    Fit fit{ends, {}, 0};
    const auto palette = threeColorPalette(ends);
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t* pixel = rgba + 4 * i;
        if (pixel[3] < kOpaqueFrom) {
            fit.index[static_cast<std::size_t>(i)] = 3;
            continue;
        }
        int best = 0, bestDistance = distance(palette[0], pixel);
        for (int k = 1; k < 3; ++k) {
            const int d = distance(palette[static_cast<std::size_t>(k)], pixel);
            if (d < bestDistance) best = k, bestDistance = d;
        }
        fit.index[static_cast<std::size_t>(i)] = best;
        fit.error += bestDistance;
    }
    return fit;
}

// End points from the principal axis of the opaque pixels: the extremes of
// their projections onto it.
EndPoints axisEndPoints(const std::uint8_t rgba[64]) {
    Color mean{0, 0, 0};
    int count = 0;
    for (int i = 0; i < 16; ++i)
        if (rgba[4 * i + 3] >= kOpaqueFrom) {
            for (std::size_t c = 0; c < 3; ++c) mean[c] += rgba[4 * i + static_cast<int>(c)];
            ++count;
        }
    for (float& m : mean) m /= static_cast<float>(count);
    float cov[3][3] = {};
    for (int i = 0; i < 16; ++i) {
        if (rgba[4 * i + 3] < kOpaqueFrom) continue;
        float d[3];
        for (int c = 0; c < 3; ++c) d[c] = rgba[4 * i + c] - mean[static_cast<std::size_t>(c)];
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b) cov[a][b] += d[a] * d[b];
    }
    Color axis{1, 1, 1};
    for (int iteration = 0; iteration < 8; ++iteration) {
        Color next{0, 0, 0};
        for (std::size_t a = 0; a < 3; ++a)
            for (std::size_t b = 0; b < 3; ++b) next[a] += cov[a][b] * axis[b];
        const float length = std::max({std::fabs(next[0]), std::fabs(next[1]), std::fabs(next[2])});
        if (length == 0.0f) break;
        for (std::size_t c = 0; c < 3; ++c) axis[c] = next[c] / length;
    }
    float low = 0, high = 0;
    const float norm = axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2];
    for (int i = 0; i < 16; ++i) {
        if (rgba[4 * i + 3] < kOpaqueFrom) continue;
        float t = 0;
        for (int c = 0; c < 3; ++c) t += (rgba[4 * i + c] - mean[static_cast<std::size_t>(c)]) * axis[static_cast<std::size_t>(c)];
        t /= norm;
        low = std::min(low, t);
        high = std::max(high, t);
    }
    Color a, b;
    for (std::size_t c = 0; c < 3; ++c) {
        a[c] = mean[c] + low * axis[c];
        b[c] = mean[c] + high * axis[c];
    }
    return {to565(a), to565(b)};
}

// Least squares end points for the indices of `fit`: each opaque pixel is
// w x first + (1 - w) x second with w 1, 0 or 1/2.
EndPoints refinedEndPoints(const std::uint8_t rgba[64], const Fit& fit) {
    float aa = 0, ab = 0, bb = 0;
    Color ax{0, 0, 0}, bx{0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        const int index = fit.index[static_cast<std::size_t>(i)];
        if (index == 3) continue;
        const float w = index == 0 ? 1.0f : index == 1 ? 0.0f : 0.5f;
        aa += w * w;
        ab += w * (1 - w);
        bb += (1 - w) * (1 - w);
        for (std::size_t c = 0; c < 3; ++c) {
            ax[c] += w * rgba[4 * i + static_cast<int>(c)];
            bx[c] += (1 - w) * rgba[4 * i + static_cast<int>(c)];
        }
    }
    const float determinant = aa * bb - ab * ab;
    if (std::fabs(determinant) < 1e-6f) return fit.ends;
    Color a, b;
    for (std::size_t c = 0; c < 3; ++c) {
        a[c] = (ax[c] * bb - bx[c] * ab) / determinant;
        b[c] = (bx[c] * aa - ax[c] * ab) / determinant;
    }
    return {to565(a), to565(b)};
}

void storeBlock(Fit fit, std::uint8_t out[kBc1BlockBytes]) {
    // Three colours and transparency need the first end point not above
    // the second; swapping them swaps indices 0 and 1.
    if (fit.ends.first > fit.ends.second) {
        std::swap(fit.ends.first, fit.ends.second);
        for (int& index : fit.index)
            if (index < 2) index ^= 1;
    }
    std::uint32_t bits = 0;
    for (int i = 15; i >= 0; --i) bits = bits << 2 | static_cast<std::uint32_t>(fit.index[static_cast<std::size_t>(i)]);
    const std::uint8_t bytes[kBc1BlockBytes] = {
        static_cast<std::uint8_t>(fit.ends.first), static_cast<std::uint8_t>(fit.ends.first >> 8),
        static_cast<std::uint8_t>(fit.ends.second), static_cast<std::uint8_t>(fit.ends.second >> 8),
        static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    std::memcpy(out, bytes, kBc1BlockBytes);
}

bool hasOpaquePixel(const std::uint8_t rgba[64]) {
    for (int i = 0; i < 16; ++i)
        if (rgba[4 * i + 3] >= kOpaqueFrom) return true;
    return false;
}

constexpr int kRefinements = 2;

}  // namespace

void encodeTransparentBlock(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]) {
    if (!hasOpaquePixel(rgba)) {
        Fit empty;
        empty.index.fill(3);
        storeBlock(empty, out);
        return;
    }
    Fit best = assignIndices(rgba, axisEndPoints(rgba));
    for (int step = 0; step < kRefinements && best.error > 0; ++step) {
        const Fit next = assignIndices(rgba, refinedEndPoints(rgba, best));
        if (next.error >= best.error) break;
        best = next;
    }
    storeBlock(best, out);
}

void encodeOpaqueColorBlock(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]) {
    // stb reads the alpha bytes too (a block counts as one colour only when
    // all four bytes of its pixels agree), so they are made equal.
    alignas(4) std::uint8_t opaque[64];
    std::memcpy(opaque, rgba, sizeof opaque);
    for (int i = 0; i < 16; ++i) opaque[4 * i + 3] = 255;
    stb_compress_dxt_block(out, opaque, 0, STB_DXT_HIGHQUAL);
}

void encodeAlphaBlock(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]) {
    std::uint8_t alpha[16];
    for (int i = 0; i < 16; ++i) alpha[i] = rgba[4 * i + 3];
    stb_compress_bc4_block(out, alpha);
}

void encodeBc1Block(const std::uint8_t rgba[64], std::uint8_t out[kBc1BlockBytes]) {
    if (hasTransparentPixel(rgba))
        encodeTransparentBlock(rgba, out);
    else
        encodeOpaqueColorBlock(rgba, out);
}

bool hasTransparentPixel(const std::uint8_t rgba[64]) {
    for (int i = 0; i < 16; ++i)
        if (rgba[4 * i + 3] < kOpaqueFrom) return true;
    return false;
}

std::uint32_t blocksAcross(std::uint32_t side) { return (side + 3) / 4; }
