// The DDS Compression setting: which format each value writes, the header
// of each format, and the pixels of every level read back within the
// format's tolerance (the uncompressed file is the exact chain and serves
// as the reference of the others).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

#include "conversion_job.h"
#include "dds_reader.h"
#include "engine/convert.h"
#include "engine/dds_file.h"
#include "engine/dds_format.h"
#include "settings/choices.h"
#include "test_support.h"

namespace {

using PixelSource = std::function<RgbaPixel(int x, int y)>;

// A smooth colour field with a hard edge, so every format has work to do.
RgbaPixel colourAt(int x, int y) {
    return {std::uint8_t(x * 3), std::uint8_t(255 - y * 2), std::uint8_t(x < 20 ? 40 : 220), 255};
}
RgbaPixel opaque(int x, int y) { return colourAt(x, y); }
RgbaPixel cutOut(int x, int y) {
    RgbaPixel p = colourAt(x, y);
    p[3] = (x + y) % 7 < 2 ? 0 : 255;
    return p;
}
RgbaPixel softAlpha(int x, int y) {
    RgbaPixel p = colourAt(x, y);
    p[3] = std::uint8_t(std::min(255, x * 6 + y));
    return p;
}

struct Converted {
    DdsImage dds;
    std::string bytes;
};

Converted convertWith(const PixelSource& pixel, int compression, int width = 45, int height = 37) {
    TempFolder folder;
    EXPECT_TRUE(writeRgbaPng(folder.path + "in.png", width, height, pixel));
    BatchJob job = conversionJob(folder.path + "in.png", folder.path);
    ConversionSettings settings;
    settings.DDSCompression = compression;
    EXPECT_TRUE(convertFile(job, settings));
    return {readDdsFile(job.outputPath), readFileBytes(job.outputPath)};
}

std::string kindOf(const DdsImage& dds) {
    if (dds.header.fourCC == "DX10") return dds.header.dxgiFormat == 98 ? "BC7" : "DX10 other";
    return dds.header.fourCC.empty() ? "A8R8G8B8" : dds.header.fourCC;
}

// Largest difference of each channel group over a level: colour, alpha.
struct LevelError {
    int colour = 0;
    int alpha = 0;
    double colourMean = 0;
};

LevelError compareLevels(const DdsLevel& reference, const DdsLevel& level, bool alphaCountsAsBit) {
    LevelError error;
    long sum = 0, count = 0;
    for (std::size_t i = 0; i + 3 < reference.rgba.size(); i += 4) {
        const int refAlpha = reference.rgba[i + 3], alpha = level.rgba[i + 3];
        if (alphaCountsAsBit) {
            error.alpha = std::max(error.alpha, (refAlpha >= 128) != (alpha >= 128) ? 255 : 0);
            if (refAlpha < 128) continue;
        } else {
            error.alpha = std::max(error.alpha, std::abs(refAlpha - alpha));
        }
        for (int c = 0; c < 3; ++c) {
            const int e = std::abs(reference.rgba[i + c] - level.rgba[i + c]);
            error.colour = std::max(error.colour, e);
            sum += e;
            ++count;
        }
    }
    error.colourMean = count ? static_cast<double>(sum) / static_cast<double>(count) : 0;
    return error;
}

}  // namespace

TEST(DdsCompressionChoice, EachSettingNamesItsFormatAndAutoFollowsTheAlpha) {
    struct Case {
        int stored;
        bool softAlpha;
        DdsFormat expected;
    } cases[] = {
        {0, false, DdsFormat::Dxt1}, {0, true, DdsFormat::Dxt5},    {1, true, DdsFormat::Dxt1},
        {2, false, DdsFormat::Dxt5}, {3, false, DdsFormat::Bc7},    {4, true, DdsFormat::Bgra32},
        // Values without a keyword (an edited configuration file) are Auto.
        {5, true, DdsFormat::Dxt5},  {-1, false, DdsFormat::Dxt1}, {258, true, DdsFormat::Dxt5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatFor(compressionOf(c.stored), c.softAlpha), c.expected) << c.stored << " soft " << c.softAlpha;
}

TEST(DdsCompressionChoice, SoftAlphaIsAnyAlphaButZeroAnd255) {
    for (const int alpha : {0, 1, 127, 128, 254, 255}) {
        std::uint8_t pixels[3 * 2 * 4];
        std::memset(pixels, 255, sizeof pixels);
        pixels[4 * 4 + 3] = static_cast<std::uint8_t>(alpha);  // the last row's second pixel
        const PixelLevel level{pixels, 3 * 4, 3, 2};
        EXPECT_EQ(hasSoftAlpha(level), alpha != 0 && alpha != 255) << alpha;
    }
}

TEST(DdsCompressionFile, HeaderOfEachFormat) {
    struct Case {
        int compression;
        const char* kind;
        std::uint32_t flags, pitchOrLinearSize, pixelFormatFlags, bitCount, headerBytes;
    } cases[] = {
        // 45 x 37: 12 x 10 blocks, 180 pixels of pitch... 45 x 4 bytes.
        {1, "DXT1", 0x000A1007, 12 * 10 * 8, 0x4, 0, 128},
        {2, "DXT5", 0x000A1007, 12 * 10 * 16, 0x4, 0, 128},
        {3, "BC7", 0x000A1007, 12 * 10 * 16, 0x4, 0, 148},
        {4, "A8R8G8B8", 0x0002100F, 45 * 4, 0x41, 32, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const Converted file = convertWith(softAlpha, c.compression);
        const DdsImage& dds = file.dds;
        ASSERT_TRUE(dds.ok) << dds.error;
        EXPECT_EQ(kindOf(dds), c.kind);
        EXPECT_EQ(dds.header.flags, c.flags);
        EXPECT_EQ(dds.header.pitchOrLinearSize, c.pitchOrLinearSize);
        EXPECT_EQ(dds.header.pixelFormatFlags, c.pixelFormatFlags);
        EXPECT_EQ(dds.header.rgbBitCount, c.bitCount);
        EXPECT_EQ(dds.header.mipMapCount, 6u);
        EXPECT_EQ(dds.header.caps, 0x00401008u);
        EXPECT_EQ(dds.dataSize, dds.expectedDataSize);
        EXPECT_EQ(file.bytes.size(), c.headerBytes + dds.expectedDataSize);
        if (c.compression == 4) {
            EXPECT_EQ(dds.header.redMask, 0x00FF0000u);
            EXPECT_EQ(dds.header.greenMask, 0x0000FF00u);
            EXPECT_EQ(dds.header.blueMask, 0x000000FFu);
            EXPECT_EQ(dds.header.alphaMask, 0xFF000000u);
        }
    }
}

// Every level of every format against the uncompressed file of the same
// picture, which holds the chain exactly (its top level is the picture).
TEST(DdsCompressionFile, EveryLevelOfEachFormatWithinItsTolerance) {
    struct Case {
        const char* name;
        PixelSource pixel;
        int compression;
        const char* kind;
        bool alphaAsBit;
        int maxColour, maxAlpha;
        double meanColour;
    } cases[] = {
        {"opaque auto", opaque, 0, "DXT1", true, 24, 0, 4},
        {"cut-out auto", cutOut, 0, "DXT1", true, 40, 0, 8},
        {"soft alpha auto", softAlpha, 0, "DXT5", false, 24, 12, 4},
        {"soft alpha dxt1", softAlpha, 1, "DXT1", true, 40, 0, 8},
        {"soft alpha dxt5", softAlpha, 2, "DXT5", false, 24, 12, 4},
        {"cut-out dxt5", cutOut, 2, "DXT5", false, 24, 18, 4},
        // An opaque picture stays opaque, exactly.
        {"opaque bc7", opaque, 3, "BC7", false, 12, 0, 2},
        {"soft alpha bc7", softAlpha, 3, "BC7", false, 12, 12, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Converted reference = convertWith(c.pixel, 4);
        const Converted file = convertWith(c.pixel, c.compression);
        ASSERT_TRUE(reference.dds.ok && file.dds.ok) << reference.dds.error << file.dds.error;
        EXPECT_EQ(kindOf(file.dds), c.kind);
        ASSERT_EQ(file.dds.levels.size(), reference.dds.levels.size());
        ASSERT_EQ(reference.dds.levels.size(), 6u);
        for (std::size_t level = 0; level < reference.dds.levels.size(); ++level) {
            SCOPED_TRACE("level " + std::to_string(level));
            const DdsLevel& expected = reference.dds.levels[level];
            ASSERT_EQ(file.dds.levels[level].width, expected.width);
            ASSERT_EQ(file.dds.levels[level].height, expected.height);
            const LevelError error = compareLevels(expected, file.dds.levels[level], c.alphaAsBit);
            // Below level 1 a 4 x 4 block spans most of the picture, and
            // its colours no longer lie near one line.
            const int loose = level < 2 ? 1 : 3;
            EXPECT_LE(error.colour, c.maxColour * loose);
            EXPECT_LE(error.alpha, c.maxAlpha * loose);
            EXPECT_LE(error.colourMean, c.meanColour * loose);
        }
    }
}

TEST(DdsCompressionFile, UncompressedTopLevelIsThePictureExactly) {
    const Converted file = convertWith(softAlpha, 4);
    ASSERT_TRUE(file.dds.ok) << file.dds.error;
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 45; ++x) {
            const RgbaPixel expected = softAlpha(x, y);
            const std::uint8_t* actual = &file.dds.rgba[(std::size_t(y) * 45 + std::size_t(x)) * 4];
            ASSERT_EQ(std::memcmp(actual, expected.data(), 4), 0) << x << "," << y;
        }
}

// DXT5's colour half is DXT1's four-colour block: forcing DXT1 on an
// opaque picture and letting Auto pick it give the same bytes, and the
// colour of a DXT5 file of the same picture matches block for block.
TEST(DdsCompressionFile, AutoOnAnOpaquePictureIsTheForcedDxt1File) {
    const Converted automatic = convertWith(opaque, 0);
    const Converted forced = convertWith(opaque, 1);
    EXPECT_TRUE(automatic.bytes == forced.bytes);
    const Converted dxt5 = convertWith(opaque, 2);
    ASSERT_EQ(dxt5.bytes.size() - 128, 2 * (forced.bytes.size() - 128));
    for (std::size_t block = 0; 128 + block * 8 < forced.bytes.size(); ++block)
        ASSERT_EQ(forced.bytes.compare(128 + block * 8, 8, dxt5.bytes, 128 + block * 16 + 8, 8), 0) << block;
}

// Opaque stays opaque: noise blocks of every colour through each block
// format, read back with alpha 255 on every pixel (renderers that blend
// show any lower alpha as a hole).
TEST(DdsCompressionFile, OpaqueBlocksStayOpaqueInEveryFormat) {
    std::mt19937 random(5);
    for (const DdsFormat format : {DdsFormat::Dxt1, DdsFormat::Dxt5, DdsFormat::Bc7}) {
        SCOPED_TRACE(ddsFormatRow(format).name);
        for (int trial = 0; trial < 400; ++trial) {
            // Each trial its own spread, from flat to full-range noise.
            const unsigned spread = 1 + static_cast<unsigned>(trial) % 256;
            const unsigned base = random() % 256;
            std::uint8_t pixels[16 * 4];
            for (int i = 0; i < 64; ++i)
                pixels[i] = i % 4 == 3 ? 255 : static_cast<std::uint8_t>((base + random() % spread) % 256);
            // A 4 x 4 picture, stored blue first as the writer reads it.
            std::uint8_t stored[64];
            for (int i = 0; i < 16; ++i) {
                stored[4 * i] = pixels[4 * i + 2];
                stored[4 * i + 1] = pixels[4 * i + 1];
                stored[4 * i + 2] = pixels[4 * i];
                stored[4 * i + 3] = 255;
            }
            const PixelLevel level{stored, 16, 4, 4};
            const DdsFileBytes file = encodeDdsFile(level, format);
            ASSERT_TRUE(file.bytes);
            const DdsImage dds = readDds(std::string(reinterpret_cast<const char*>(file.bytes.get()), file.size));
            ASSERT_TRUE(dds.ok) << dds.error;
            for (int i = 0; i < 16; ++i) ASSERT_EQ(dds.rgba[std::size_t(4 * i + 3)], 255) << "trial " << trial << " pixel " << i;
        }
    }
}

// In DXT5 the colour of pixels nobody sees (alpha 0) does not take the
// block's colours away from the pixels that are seen: a soft red-to-yellow
// ramp beside transparent black comes back as exactly as the ramp alone,
// and the hidden pixels carry the ramp's colour instead of a black fringe.
TEST(DdsCompressionFile, Dxt5ColoursFollowWhatIsSeen) {
    auto ramp = [](int x, int y) { return RgbaPixel{230, std::uint8_t(60 + 40 * x + 10 * y), 20, 160}; };
    auto beside = [&](int x, int y) { return x < 2 ? RgbaPixel{0, 0, 0, 0} : ramp(x, y); };
    const Converted alone = convertWith(ramp, 2, 4, 4);
    const Converted mixed = convertWith(beside, 2, 4, 4);
    ASSERT_TRUE(alone.dds.ok && mixed.dds.ok);
    int worstAlone = 0, worstMixed = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 2; x < 4; ++x)
            for (int c = 0; c < 3; ++c) {
                const std::size_t at = (std::size_t(y) * 4 + std::size_t(x)) * 4 + std::size_t(c);
                worstAlone = std::max(worstAlone, std::abs(alone.dds.rgba[at] - ramp(x, y)[std::size_t(c)]));
                worstMixed = std::max(worstMixed, std::abs(mixed.dds.rgba[at] - ramp(x, y)[std::size_t(c)]));
            }
    EXPECT_LE(worstMixed, std::max(worstAlone, 8));
    for (int y = 0; y < 4; ++y) {
        const std::uint8_t* hidden = &mixed.dds.rgba[std::size_t(y) * 16];
        EXPECT_EQ(hidden[3], 0);
        EXPECT_GE(hidden[0], 200) << "row " << y;  // red like the ramp, not black
    }
}
