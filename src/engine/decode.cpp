// The decode step of the conversion: the PNG header is checked before the
// decoder may allocate what it announces, then the file is decoded.
#include "engine/convert.h"
#include "engine/image_file.h"
#include "engine/image_limits.h"
#include "engine/png_header.h"

ImagePtr decodeInput(BatchJob& job) {
    const PngHeader header = readPngHeader(job.inputPath);
    // A header announcing more pixels than any stage or the writer can take
    // fails before the decoder tries to allocate them, and so does a file
    // the decoder is sure to fail on after allocating what it announces.
    if (header.width != 0 && !fitsImageLimit(header.width, header.height)) return nullptr;
    if (header.valid && !pngMayDecode(header)) return nullptr;
    ImagePtr image = loadImageFile(FIF_PNG, job.inputPath);
    job.sourceBitDepth = imageBpp(image);
    if (imageWidth(image) == 0 || imageHeight(image) == 0) return nullptr;
    return image;
}
