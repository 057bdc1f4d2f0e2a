// The box filter works on the stored 8-bit values, not on linear light.
// None of the file formats written is an sRGB one, so a renderer blends between
// these levels (trilinear filtering) on the stored values too; a chain
// averaged in linear light would step in brightness at every level
// boundary against that blend. It also keeps flat areas exactly flat.
//
// Colour is averaged weighted by alpha, so the colour hidden under
// transparent pixels does not bleed into the opaque pixels of the next
// level (a dark fringe around every cut-out otherwise); alpha itself is
// the plain average, rounded half up, which the writer then splits at 128
// into opaque and transparent as on the full-size picture.
//
// A target pixel covers the 2 x 2 source pixels under it. Where a source
// side is odd, the last target column (row) also takes the last source
// column (row), so no source pixel is dropped.
#include "engine/mip_chain.h"

#include <algorithm>

#include "engine/two_cores.h"

namespace {

struct Taps {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

Taps tapsFor(std::uint32_t target, std::uint32_t targetSide, std::uint32_t sourceSide) {
    const std::uint32_t first = std::min(2 * target, sourceSide - 1);
    const std::uint32_t end = target + 1 == targetSide ? sourceSide : first + 2;
    return {first, end - first};
}

void averagePixels(const PixelLevel& source, Taps columns, Taps rows, std::uint8_t* out) {
    std::uint32_t plain[3] = {0, 0, 0}, weighted[3] = {0, 0, 0}, alpha = 0;
    std::uint8_t lowestAlpha = 255, highestAlpha = 0;
    for (std::uint32_t y = rows.first; y < rows.first + rows.count; ++y) {
        const std::uint8_t* pixel = pixelRow(source, y) + std::size_t{columns.first} * 4;
        for (std::uint32_t x = 0; x < columns.count; ++x, pixel += 4) {
            for (int c = 0; c < 3; ++c) {
                plain[c] += pixel[c];
                weighted[c] += std::uint32_t{pixel[c]} * pixel[3];
            }
            alpha += pixel[3];
            lowestAlpha = std::min(lowestAlpha, pixel[3]);
            highestAlpha = std::max(highestAlpha, pixel[3]);
        }
    }
    const std::uint32_t count = columns.count * rows.count;
    // Equal alphas weigh alike: the plain average is the weighted one.
    const bool evenAlpha = lowestAlpha == highestAlpha;
    for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>(evenAlpha ? (plain[c] + count / 2) / count
                                                     : (weighted[c] + alpha / 2) / alpha);
    out[3] = static_cast<std::uint8_t>((2 * alpha + count) / (2 * count));
}

// The common case: a 2 x 2 footprint whose four alphas agree, where the
// weighted mean is the plain one. Other footprints go the general way.
bool averageEvenFour(const std::uint8_t* upper, const std::uint8_t* lower, std::uint8_t* out) {
    const std::uint8_t alpha = upper[3];
    if (upper[7] != alpha || lower[3] != alpha || lower[7] != alpha) return false;
    for (int c = 0; c < 4; ++c)
        out[c] = static_cast<std::uint8_t>((upper[c] + upper[c + 4] + lower[c] + lower[c + 4] + 2) >> 2);
    return true;
}

}  // namespace

std::uint32_t mipLevelCount(std::uint32_t width, std::uint32_t height) {
    std::uint32_t count = 0;
    for (std::uint32_t side = std::max(width, height); side > 0; side /= 2) ++count;
    return width && height ? count : 0;
}

std::uint32_t halfSide(std::uint32_t side) { return std::max<std::uint32_t>(side / 2, 1); }

void halveRows(const PixelLevel& source, std::uint8_t* target, std::uint32_t firstRow, std::uint32_t lastRow) {
    const std::uint32_t width = halfSide(source.width), height = halfSide(source.height);
    for (std::uint32_t y = firstRow; y <= lastRow; ++y) {
        const Taps rows = tapsFor(y, height, source.height);
        std::uint8_t* out = target + std::size_t{y} * width * 4;
        const std::uint8_t* upper = pixelRow(source, rows.first);
        const std::uint8_t* lower = rows.count == 2 ? pixelRow(source, rows.first + 1) : nullptr;
        for (std::uint32_t x = 0; x < width; ++x, out += 4) {
            const Taps columns = tapsFor(x, width, source.width);
            const std::size_t at = std::size_t{columns.first} * 4;
            if (!lower || columns.count != 2 || !averageEvenFour(upper + at, lower + at, out))
                averagePixels(source, columns, rows, out);
        }
    }
}

bool buildMipChain(const PixelLevel& top, MipChain& chain) {
    chain.levels.assign(1, top);
    const std::uint32_t count = mipLevelCount(top.width, top.height);
    std::size_t bytes = 0;
    for (std::uint32_t level = 1, w = top.width, h = top.height; level < count; ++level) {
        w = halfSide(w);
        h = halfSide(h);
        bytes += std::size_t{w} * h * 4;
    }
    chain.storage = newPictureBuffer(bytes);
    if (bytes && !chain.storage) return false;
    std::uint8_t* next = chain.storage.get();
    for (std::uint32_t level = 1; level < count; ++level) {
        const PixelLevel source = chain.levels.back();
        const PixelLevel target{next, static_cast<std::ptrdiff_t>(halfSide(source.width)) * 4, halfSide(source.width),
                                halfSide(source.height)};
        runOnTwoCores(target.height, [&](std::size_t row) {
            const auto y = static_cast<std::uint32_t>(row);
            halveRows(source, next, y, y);
        });
        next += std::size_t{target.width} * target.height * 4;
        chain.levels.push_back(target);
    }
    return true;
}
