#include "viewer/view_pixels.h"

#include <algorithm>
#include <cmath>

#include "engine/two_cores.h"

namespace {

// The source columns (or rows) target index i of n covers out of `side`:
// [first, last), never empty.
std::pair<std::uint32_t, std::uint32_t> boxSpan(std::uint32_t i, std::uint32_t n, std::uint32_t side) {
    const auto first = static_cast<std::uint32_t>(std::uint64_t{i} * side / n);
    const auto last = static_cast<std::uint32_t>(std::uint64_t{i + 1} * side / n);
    return {first, std::max(last, first + 1)};
}

struct BoxSum {
    std::uint64_t colour[3] = {};
    std::uint64_t alpha = 0;
    std::uint64_t pixels = 0;
};

void addPixel(BoxSum& sum, const std::uint8_t* pixel, bool keepAlpha) {
    const std::uint32_t weight = keepAlpha ? pixel[3] : 1;
    for (int c = 0; c < 3; ++c) sum.colour[c] += std::uint64_t{pixel[c]} * weight;
    sum.alpha += keepAlpha ? pixel[3] : 1;
    ++sum.pixels;
}

void storeMean(const BoxSum& sum, std::uint8_t* out, bool keepAlpha) {
    // Weighted by alpha the divisor is the alpha sum; a box with no alpha
    // at all shows black, which is invisible under alpha 0 anyway.
    const std::uint64_t divisor = std::max<std::uint64_t>(sum.alpha, 1);
    for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>((sum.colour[c] + divisor / 2) / divisor);
    out[3] = keepAlpha ? static_cast<std::uint8_t>((sum.alpha + sum.pixels / 2) / sum.pixels) : 255;
}

}  // namespace

void shrinkPixelsInto(const PixelLevel& source, std::uint8_t* out, std::ptrdiff_t stride, std::uint32_t width,
                      std::uint32_t height, bool keepAlpha) {
    if (source.width == 0 || source.height == 0 || width == 0 || height == 0) return;
    // Bands of target rows, shared by both cores; each band sums into its
    // own row of boxes.
    constexpr std::uint32_t kRowsPerBand = 16;
    runOnTwoCores((std::size_t{height} + kRowsPerBand - 1) / kRowsPerBand, [&](std::size_t band) {
        std::vector<BoxSum> sums(width);
        const auto firstTarget = static_cast<std::uint32_t>(band * kRowsPerBand);
        const std::uint32_t endTarget = std::min(firstTarget + kRowsPerBand, height);
        for (std::uint32_t ty = firstTarget; ty < endTarget; ++ty) {
            std::fill(sums.begin(), sums.end(), BoxSum{});
            const auto [firstRow, endRow] = boxSpan(ty, height, source.height);
            for (std::uint32_t y = firstRow; y < endRow; ++y) {
                const std::uint8_t* row = pixelRow(source, y);
                for (std::uint32_t tx = 0; tx < width; ++tx) {
                    const auto [firstColumn, endColumn] = boxSpan(tx, width, source.width);
                    for (std::uint32_t x = firstColumn; x < endColumn; ++x)
                        addPixel(sums[tx], row + std::size_t{x} * 4, keepAlpha);
                }
            }
            std::uint8_t* target = out + static_cast<std::ptrdiff_t>(ty) * stride;
            for (std::uint32_t tx = 0; tx < width; ++tx) storeMean(sums[tx], target + std::size_t{tx} * 4, keepAlpha);
        }
    });
}

std::vector<std::uint8_t> shrinkPixels(const PixelLevel& source, std::uint32_t width, std::uint32_t height,
                                       bool keepAlpha) {
    width = std::clamp<std::uint32_t>(width, 1, std::max<std::uint32_t>(source.width, 1));
    height = std::clamp<std::uint32_t>(height, 1, std::max<std::uint32_t>(source.height, 1));
    std::vector<std::uint8_t> out(std::size_t{width} * height * 4);
    shrinkPixelsInto(source, out.data(), static_cast<std::ptrdiff_t>(width) * 4, width, height, keepAlpha);
    return out;
}

void makeOpaque(std::uint8_t* pixels, std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i) pixels[i * 4 + 3] = 255;
}

std::optional<double> psnrOverOpaque(const PixelLevel& shownRgba, const PixelLevel& sourceBgra) {
    if (shownRgba.width != sourceBgra.width || shownRgba.height != sourceBgra.height) return std::nullopt;
    double squared = 0;
    std::uint64_t samples = 0;
    for (std::uint32_t y = 0; y < shownRgba.height; ++y) {
        const std::uint8_t* shown = pixelRow(shownRgba, y);
        const std::uint8_t* source = pixelRow(sourceBgra, y);
        for (std::uint32_t x = 0; x < shownRgba.width; ++x, shown += 4, source += 4) {
            if (shown[3] < 128 || source[3] < 128) continue;
            for (int c = 0; c < 3; ++c) {
                const double d = static_cast<double>(shown[c]) - static_cast<double>(source[2 - c]);
                squared += d * d;
            }
            samples += 3;
        }
    }
    if (samples == 0) return std::nullopt;
    const double mse = squared / static_cast<double>(samples);
    return mse > 0 ? std::min(99.99, 10 * std::log10(255.0 * 255.0 / mse)) : 99.99;
}

int zoomFactor(Zoom zoom) {
    constexpr int kFactors[kZoomStepCount] = {0, 1, 2, 4};
    return kFactors[static_cast<int>(zoom)];
}

Zoom zoomStep(Zoom zoom, int direction) {
    return static_cast<Zoom>(std::clamp(static_cast<int>(zoom) + direction, 0, kZoomStepCount - 1));
}

double fitScale(std::uint32_t width, std::uint32_t height, int areaWidth, int areaHeight) {
    if (width == 0 || height == 0 || areaWidth <= 0 || areaHeight <= 0) return 0;
    return std::min(areaWidth / static_cast<double>(width), areaHeight / static_cast<double>(height));
}
