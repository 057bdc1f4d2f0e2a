// What a PNG file's header announces, read before the decoder runs, so that
// a file that cannot possibly decode fails at once instead of after the
// decoder has allocated (and zeroed) the announced bitmap.
#pragma once

#include <cstdint>
#include <string>

struct PngHeader {
    // Width and height as written, whenever the file starts with the PNG
    // signature and an IHDR chunk; zeros otherwise.
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 0;
    std::uint8_t colorType = 0;
    // The IHDR chunk is one the decoder accepts: length 13, correct CRC,
    // nonzero size, a bit depth allowed for the colour type, known methods.
    bool valid = false;
    // Only for a valid header, from the chunks up to IEND or the end of
    // the file: the bytes of image data, and whether a chunk claims more
    // bytes than the file has left.
    std::uint64_t imageDataBytes = 0;
    bool chunkOverrun = false;
    // A tRNS chunk before the image data: a palette, grey or colour picture
    // with transparency.
    bool transparencyChunk = false;
};

// Deflate codes a run of 258 bytes in two bits at best, so no compressed
// stream expands more than 1032-fold.
inline constexpr std::uint64_t kMaxDeflateRatio = 1032;

PngHeader readPngHeader(const std::string& path);

// Bits per pixel of the colour type and depth; 0 for a combination PNG
// does not allow.
int pngBitsPerPixel(std::uint8_t colorType, std::uint8_t bitDepth);

// False when the image data, even compressed at the best possible ratio,
// is too small for the announced pixels: the decoder then runs out of data
// and fails, whatever the data holds.
bool pngCanHoldPixels(const PngHeader& header);

// False when the decoder is sure to fail on the file of a valid header:
// a chunk runs past the end of the file, or the image data cannot hold the
// pixels. The decoder would allocate the claimed chunk or the whole bitmap
// before it found out.
bool pngMayDecode(const PngHeader& header);

// True when some pixel of the picture may be other than fully opaque: an
// alpha channel or a tRNS chunk.
bool pngMayHoldAlpha(const PngHeader& header);
