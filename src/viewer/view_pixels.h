// Pixel work of the texture viewer that Qt does not do the way a texture
// needs: shrinking a level for the fit view by averaging whole boxes (Qt's
// painter samples, which turns a 4096-pixel texture into noise at 700),
// alpha forced opaque for the view that ignores it, and the PSNR of a
// decoded level against the picture it was made from. Every function reads
// four bytes per pixel with alpha last, so RGBA and BGRA rows both work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/mip_chain.h"  // PixelLevel: rows of four-byte pixels

// The rows shrunk to width x height (each at most the source's, at least
// 1), tightly packed in the source's channel order. Every target pixel is
// the mean of the source box it covers; with `keepAlpha` the colour is
// weighted by alpha (a transparent pixel's hidden colour does not bleed
// into its neighbours), without it alpha is 255 and every pixel counts.
std::vector<std::uint8_t> shrinkPixels(const PixelLevel& source, std::uint32_t width, std::uint32_t height,
                                       bool keepAlpha);

// As shrinkPixels, into rows the caller holds: width x height pixels (each
// side at least 1 and at most the source's), `stride` bytes apart. Both
// cores share the rows.
void shrinkPixelsInto(const PixelLevel& source, std::uint8_t* out, std::ptrdiff_t stride, std::uint32_t width,
                      std::uint32_t height, bool keepAlpha);

// Sets the alpha byte of every pixel of the packed rows to 255.
void makeOpaque(std::uint8_t* pixels, std::size_t pixelCount);

// PSNR in dB over the red, green and blue of the pixels opaque (alpha at
// least 128) in both, as bench/dds_quality measures levels; `shown` is
// RGBA, `source` BGRA, both of one size. 99.99 for equal colour, nothing
// when the sizes differ or no pixel is opaque in both.
std::optional<double> psnrOverOpaque(const PixelLevel& shownRgba, const PixelLevel& sourceBgra);

// Zoom steps of the view, in the order + and - walk them.
enum class Zoom : int { Fit, Actual, Double, Quadruple };
inline constexpr int kZoomStepCount = 4;
// The factor of a fixed step; 0 for Fit.
int zoomFactor(Zoom zoom);
// One step up or down, held at the ends.
Zoom zoomStep(Zoom zoom, int direction);
// The scale at which a width x height picture fits the area whole; 0 for an
// empty picture or area.
double fitScale(std::uint32_t width, std::uint32_t height, int areaWidth, int areaHeight);
