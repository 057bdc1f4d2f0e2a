// Thumbnails of DDS files, as a file manager asks for them: the smallest
// level that still covers the size is decoded (never the whole top level
// when a smaller one suffices) and box-filtered down to fit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/dds_read.h"

// The smallest level of the file whose sides are both at least `size`;
// the top level when none is.
std::size_t thumbnailSourceLevel(const DdsFileInfo& info, std::uint32_t size);

// The picture scaled down by an area (box) filter so that its longer side
// is at most `size`, keeping the aspect ratio (a side never below 1 pixel);
// a picture that fits already is returned as it is. Colour is averaged
// weighted by alpha, so transparent pixels lend no colour to their
// neighbours.
RgbaPicture scaledToFit(const RgbaPicture& picture, std::uint32_t size);

// Writes the thumbnail of the DDS file `input` as the PNG file `output`
// (through a temporary file beside it and a rename, so a failure leaves no
// file). Empty on success, else a one-line reason.
std::string writeDdsThumbnail(const std::string& input, const std::string& output, std::uint32_t size);
