// The decode step of the conversion: the PNG header is checked before the
// decoder may allocate what it announces, the heap is prepared for the
// largest picture on the way, then the file is decoded.
#include <cstdint>

#include "engine/convert.h"
#include "engine/geometry_plan.h"
#include "engine/image_file.h"
#include "engine/image_limits.h"
#include "engine/image_memory.h"
#include "engine/png_header.h"

ImagePtr decodeInput(BatchJob& job, const ConversionSettings& settings) {
    const PngHeader header = readPngHeader(job.inputPath);
    // A header announcing more pixels than any stage or the writer can take
    // fails before the decoder tries to allocate them, and so does a file
    // the decoder is sure to fail on after allocating what it announces.
    if (header.width != 0 && !fitsImageLimit(header.width, header.height)) return nullptr;
    if (header.valid && !pngMayDecode(header)) return nullptr;
    // Only a header the decoder accepts is worth preparing memory for. The
    // heap is sized by the largest picture on the way: a rotation or an
    // enlarging resize would otherwise take most of its pages one small
    // fault at a time beyond the warmed part.
    if (header.valid) {
        const ImageExtent largest = largestPlannedExtent(header.width, header.height, settings);
        warmImageHeap(conversionHeapSize(static_cast<std::uint32_t>(largest.width),
                                         static_cast<std::uint32_t>(largest.height)));
    }
    ImagePtr image = loadImageFile(FIF_PNG, job.inputPath);
    job.sourceBitDepth = imageBpp(image);
    if (imageWidth(image) == 0 || imageHeight(image) == 0) return nullptr;
    return image;
}
