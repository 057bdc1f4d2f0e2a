// The --DDS-COMPRESSION option through the real binary: each keyword writes
// its kind of file with the full chain, read back within the format's
// tolerance, and a keyword the program does not know falls back to the
// automatic choice.
#include <gtest/gtest.h>

#include <cstdlib>

#include "console_run_support.h"

namespace {

// A soft alpha ramp over a colour field: Auto picks DXT5 for it.
RgbaPixel rampPixel(int x, int y) {
    return {std::uint8_t(x * 4), std::uint8_t(200 - y * 3), std::uint8_t(x < 30 ? 60 : 230),
            std::uint8_t(std::min(255, 40 + x * 3 + y))};
}

std::string kindOf(const DdsImage& dds) {
    if (dds.header.fourCC == "DX10") return dds.header.dxgiFormat == kDxgiBc7Unorm ? "BC7" : "DX10";
    return dds.header.fourCC.empty() ? "A8R8G8B8" : dds.header.fourCC;
}

struct TopError {
    int colour = 0;  // largest, over pixels whose alpha is 128 or more
    int alpha = 0;   // largest alpha difference, or 255 for an opaque/transparent flip under DXT1
};

TopError topError(const DdsImage& dds, int width, int height, bool alphaAsBit) {
    TopError error;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const RgbaPixel expected = rampPixel(x, y);
            const std::uint8_t* actual = &dds.rgba[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
            const int alpha = alphaAsBit ? ((expected[3] >= 128) != (actual[3] >= 128)) * 255
                                         : std::abs(expected[3] - actual[3]);
            error.alpha = std::max(error.alpha, alpha);
            if (expected[3] < 128) continue;
            for (int c = 0; c < 3; ++c) error.colour = std::max(error.colour, std::abs(expected[std::size_t(c)] - actual[c]));
        }
    return error;
}

}  // namespace

TEST(CompressionRun, EachKeywordWritesItsKindWithinItsTolerance) {
    struct Case {
        const char* option;
        const char* kind;
        bool alphaAsBit;
        int maxColour, maxAlpha;
        std::uint32_t pitchOrLinearSize;  // 61 x 35: 16 x 9 blocks, or rows of 61 pixels
    } cases[] = {
        {"--dds-compression=auto", "DXT5", false, 20, 12, 16 * 9 * 16},
        {"--DDS-COMPRESSION=DXT1", "DXT1", true, 28, 0, 16 * 9 * 8},
        {"--dds-compression=Dxt5", "DXT5", false, 20, 12, 16 * 9 * 16},
        {"--dds-compression=bc7", "BC7", false, 10, 8, 16 * 9 * 16},
        {"--dds-compression=none", "A8R8G8B8", false, 0, 0, 61 * 4},
        // Unknown keywords give the first entry, Auto.
        {"--dds-compression=best", "DXT5", false, 20, 12, 16 * 9 * 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        WorkFolder work;
        writeRgbaPng(work.path + "ramp.png", 61, 35, rampPixel);
        const RunResult run = work.run({"-i", work.path + "ramp.png", "-o", work.path, c.option});
        EXPECT_EQ(run.output, consoleText(kBanner + kStatusLines));
        const DdsImage dds = readDdsFile(work.path + "ramp.dds");
        ASSERT_TRUE(dds.ok) << dds.error;
        EXPECT_EQ(kindOf(dds), c.kind);
        EXPECT_EQ(dds.header.width, 61u);
        EXPECT_EQ(dds.header.height, 35u);
        EXPECT_EQ(dds.header.mipMapCount, 6u);
        EXPECT_EQ(dds.dataSize, dds.expectedDataSize);
        ASSERT_EQ(dds.levels.size(), 6u);
        const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{61, 35}, {30, 17}, {15, 8}, {7, 4}, {3, 2}, {1, 1}};
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_EQ(std::make_pair(dds.levels[i].width, dds.levels[i].height), sizes[i]) << "level " << i;
        EXPECT_EQ(dds.header.pitchOrLinearSize, c.pitchOrLinearSize);
        const TopError error = topError(dds, 61, 35, c.alphaAsBit);
        EXPECT_LE(error.colour, c.maxColour);
        EXPECT_LE(error.alpha, c.maxAlpha);
    }
}
