// The PNG header read before decoding: what it announces, whether the
// decoder would accept it, and whether the file could hold the pixels.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/png_header.h"
#include "test_support.h"

namespace {

const std::string kSignature("\x89PNG\r\n\x1A\n", 8);

std::string withIhdr(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colorType,
                     const std::string& rest = "") {
    return kSignature + pngChunk("IHDR", ihdrData(width, height, depth, colorType)) + rest;
}

std::string flipped(std::string bytes, std::size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
    return bytes;
}

struct HeaderCase {
    const char* name;
    std::string bytes;
    std::uint32_t width, height;
    bool valid;
};

TEST(PngHeader, ReadsWhatTheHeaderAnnouncesAndWhetherTheDecoderAcceptsIt) {
    const std::string good = withIhdr(640, 480, 8, 6);
    const HeaderCase cases[] = {
        {"RGBA 8", good, 640, 480, true},
        {"grey 1", withIhdr(3, 5, 1, 0), 3, 5, true},
        {"palette 8", withIhdr(3, 5, 8, 3), 3, 5, true},
        {"RGB 16", withIhdr(3, 5, 16, 2), 3, 5, true},
        {"palette 16 is not allowed", withIhdr(3, 5, 16, 3), 3, 5, false},
        {"RGB 4 is not allowed", withIhdr(3, 5, 4, 2), 3, 5, false},
        {"depth 79", withIhdr(32, 7827497, 79, 6), 32, 7827497, false},
        {"colour type 5", withIhdr(3, 5, 8, 5), 3, 5, false},
        {"zero width", withIhdr(0, 5, 8, 6), 0, 5, false},
        {"huge sizes are announced as written", withIhdr(100000, 100000, 8, 6), 100000, 100000, true},
        {"flipped bit in the width: bad CRC", flipped(good, 19), 640 ^ 0x01, 480, false},
        {"flipped bit in the CRC", flipped(good, 32), 640, 480, false},
        {"interlace method 2", [] {
             std::string data = ihdrData(3, 5, 8, 6);
             data[12] = 2;
             return kSignature + pngChunk("IHDR", data);
         }(), 3, 5, false},
        {"IHDR of length 14", kSignature + pngChunk("IHDR", ihdrData(3, 5, 8, 6) + "x"), 3, 5, false},
        {"not a PNG", std::string("GIF89a") + std::string(40, '\0'), 0, 0, false},
        {"cut inside the IHDR", good.substr(0, 30), 0, 0, false},
        {"empty file", "", 0, 0, false},
    };
    TempFolder folder;
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(folder.path + "in.png", c.bytes);
        const PngHeader header = readPngHeader(folder.path + "in.png");
        EXPECT_EQ(header.width, c.width);
        EXPECT_EQ(header.height, c.height);
        EXPECT_EQ(header.valid, c.valid);
    }
    EXPECT_FALSE(readPngHeader(folder.path + "missing.png").valid);
}

TEST(PngHeader, BitsPerPixelFollowTheColourTypeTable) {
    EXPECT_EQ(pngBitsPerPixel(0, 1), 1);
    EXPECT_EQ(pngBitsPerPixel(0, 16), 16);
    EXPECT_EQ(pngBitsPerPixel(2, 8), 24);
    EXPECT_EQ(pngBitsPerPixel(3, 4), 4);
    EXPECT_EQ(pngBitsPerPixel(4, 16), 32);
    EXPECT_EQ(pngBitsPerPixel(6, 16), 64);
    EXPECT_EQ(pngBitsPerPixel(6, 4), 0);
    EXPECT_EQ(pngBitsPerPixel(3, 16), 0);
    EXPECT_EQ(pngBitsPerPixel(7, 8), 0);
    EXPECT_EQ(pngBitsPerPixel(0, 255), 0);
}

// The bound must never refuse a file the decoder could read: a large,
// highly compressible image is kept, a kilobyte announcing a gigabyte is not.
TEST(PngHeader, ImageDataBoundsThePixelsItCanHold) {
    PngHeader header;
    header.valid = true;
    header.colorType = 6;
    header.bitDepth = 8;
    header.width = 16384;
    header.height = 16384;  // 1 GiB of pixel data
    header.imageDataBytes = 1100;
    EXPECT_FALSE(pngCanHoldPixels(header));
    header.imageDataBytes = (std::uint64_t{16384} * 16384 * 4 + kMaxDeflateRatio - 1) / kMaxDeflateRatio;
    EXPECT_TRUE(pngCanHoldPixels(header));
    header.imageDataBytes -= 1;
    EXPECT_FALSE(pngCanHoldPixels(header));
    // The widest product does not overflow.
    header.width = header.height = 0xFFFFFFFFu;
    header.bitDepth = 16;
    header.imageDataBytes = ~std::uint64_t{0};
    EXPECT_TRUE(pngCanHoldPixels(header));
    header.imageDataBytes = 1u << 30;
    EXPECT_FALSE(pngCanHoldPixels(header));

    // A real one-colour picture compresses far better than most; it still
    // passes, as does every real file.
    TempFolder folder;
    writeFileBytes(folder.path + "flat.png", solidRgbaPng(2048, 2048, {10, 20, 30, 255}));
    const PngHeader flat = readPngHeader(folder.path + "flat.png");
    EXPECT_TRUE(flat.valid);
    EXPECT_TRUE(pngCanHoldPixels(flat)) << flat.imageDataBytes << " bytes";
    int suiteImages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PNGSUITE_DIR)) {
        if (entry.path().extension() != ".png") continue;
        const PngHeader suite = readPngHeader(entry.path().string());
        EXPECT_TRUE(suite.valid) << entry.path();
        EXPECT_TRUE(pngCanHoldPixels(suite)) << entry.path();
        ++suiteImages;
    }
    EXPECT_GT(suiteImages, 40);
}

std::string lengthField(std::uint32_t length) {
    return {static_cast<char>(length >> 24), static_cast<char>(length >> 16), static_cast<char>(length >> 8),
            static_cast<char>(length)};
}

struct ChunkCase {
    const char* name;
    std::string bytes;
    std::uint64_t imageDataBytes;
    bool overrun;
    bool mayDecode;
};

// The chunks after the header: image data is added up to IEND, and a chunk
// that claims more than the file has left marks a file the decoder will
// fail on after allocating the claimed length.
TEST(PngHeader, ChunksAreFollowedUpToTheEnd) {
    const std::string ihdr = withIhdr(4, 4, 8, 6);
    const std::string iend = pngChunk("IEND", "");
    const std::string idat = pngChunk("IDAT", std::string(30, 'x'));
    const ChunkCase cases[] = {
        {"two image data chunks", ihdr + idat + pngChunk("tEXt", "a") + pngChunk("IDAT", "12345") + iend, 35, false, true},
        {"data after IEND is not read", ihdr + idat + iend + pngChunk("IDAT", std::string(90, 'y')), 30, false, true},
        {"no IEND", ihdr + idat, 30, false, true},
        {"cut inside a chunk header", ihdr + idat + std::string(2, '\0'), 30, false, true},
        {"text chunk claiming 2 GB", ihdr + lengthField(0x7FFFFFFF) + "tEXt" + "abc" + idat + iend, 0, true, false},
        {"length beyond the format", ihdr + lengthField(0x80000000) + "tEXt" + idat + iend, 0, true, false},
        {"image data one byte short", ihdr + idat.substr(0, idat.size() - 1), 0, true, false},
        {"no image data", ihdr + iend, 0, false, false},
    };
    TempFolder folder;
    for (const ChunkCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(folder.path + "in.png", c.bytes);
        const PngHeader header = readPngHeader(folder.path + "in.png");
        ASSERT_TRUE(header.valid);
        EXPECT_EQ(header.imageDataBytes, c.imageDataBytes);
        EXPECT_EQ(header.chunkOverrun, c.overrun);
        EXPECT_EQ(pngMayDecode(header), c.mayDecode);
    }
}

}  // namespace
