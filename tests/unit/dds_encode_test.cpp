// The DDS writer's own pieces: the box-filtered mip chain, DXT1 blocks with
// 1-bit alpha, and the whole file as it is written, read back by the test
// reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "dds_reader.h"
#include "engine/bc1_encode.h"
#include "engine/dds_file.h"
#include "engine/mip_chain.h"

namespace {

using Pixel = std::array<std::uint8_t, 4>;  // red, green, blue, alpha

// A picture in the writer's layout (blue, green, red, alpha), rows
// top-down, or bottom-up like a FreeImage bitmap and viewed top-down.
struct Picture {
    std::uint32_t width = 0, height = 0;
    bool bottomUp = false;
    std::vector<std::uint8_t> bgra;

    PixelLevel view() const {
        const auto pitch = static_cast<std::ptrdiff_t>(width) * 4;
        if (!bottomUp) return {bgra.data(), pitch, width, height};
        return {bgra.data() + (height - 1) * static_cast<std::size_t>(pitch), -pitch, width, height};
    }
};

template <typename Source>
Picture picture(std::uint32_t width, std::uint32_t height, Source pixelAt, bool bottomUp = false) {
    Picture p{width, height, bottomUp, std::vector<std::uint8_t>(std::size_t{width} * height * 4)};
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const Pixel c = pixelAt(x, y);
            const std::uint32_t row = bottomUp ? height - 1 - y : y;
            std::uint8_t* out = &p.bgra[(std::size_t{row} * width + x) * 4];
            out[0] = c[2], out[1] = c[1], out[2] = c[0], out[3] = c[3];
        }
    return p;
}

Pixel pixelOf(const PixelLevel& level, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = pixelRow(level, y) + std::size_t{x} * 4;
    return {p[2], p[1], p[0], p[3]};
}

Pixel pixelOf(const DdsLevel& level, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = &level.rgba[(std::size_t{y} * level.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

MipChain chainOf(const Picture& p) {
    MipChain chain;
    EXPECT_TRUE(buildMipChain(p.view(), chain));
    return chain;
}

std::string describe(const Pixel& p) {
    return "(" + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," +
           std::to_string(p[3]) + ")";
}

DdsImage readBack(const DdsFileBytes& file) {
    return readDds(std::string(reinterpret_cast<const char*>(file.bytes.get()), file.size));
}

int channelError(const Pixel& a, const Pixel& b) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a[static_cast<std::size_t>(c)] - b[static_cast<std::size_t>(c)]));
    return worst;
}

}  // namespace

// ---------------------------------------------------------------------------
// The mip chain

TEST(MipChain, LevelSizesHalveDownToOnePixel) {
    struct Case {
        std::uint32_t width, height;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes;
    };
    const Case cases[] = {
        {1, 1, {{1, 1}}},
        {13, 7, {{13, 7}, {6, 3}, {3, 1}, {1, 1}}},
        {1, 5, {{1, 5}, {1, 2}, {1, 1}}},
        {8, 1, {{8, 1}, {4, 1}, {2, 1}, {1, 1}}},
        {16, 16, {{16, 16}, {8, 8}, {4, 4}, {2, 2}, {1, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const Picture flat = picture(c.width, c.height, [](auto, auto) { return Pixel{1, 2, 3, 255}; });
        const MipChain chain = chainOf(flat);
        EXPECT_EQ(mipLevelCount(c.width, c.height), c.sizes.size());
        ASSERT_EQ(chain.levels.size(), c.sizes.size());
        for (std::size_t i = 0; i < c.sizes.size(); ++i) {
            EXPECT_EQ(chain.levels[i].width, c.sizes[i].first) << "level " << i;
            EXPECT_EQ(chain.levels[i].height, c.sizes[i].second) << "level " << i;
        }
        EXPECT_EQ(pixelOf(chain.levels.back(), 0, 0), (Pixel{1, 2, 3, 255}));  // flat stays flat
    }
}

// Each target pixel is the rounded mean of the 2 x 2 pixels under it; an
// odd last column or row is folded into the last target pixel, never dropped.
TEST(MipChain, BoxFilterAveragesEverySourcePixel) {
    struct Case {
        const char* name;
        Picture source;
        std::vector<Pixel> level1;  // row by row
    };
    const Case cases[] = {
        {"2 x 2 rounds half up", picture(2, 2, [](auto x, auto y) { return Pixel{std::uint8_t(x + y), 10, std::uint8_t(100 + 2 * x), 255}; }),
         {{1, 10, 101, 255}}},
        {"4 x 2 keeps left and right apart", picture(4, 2, [](auto x, auto) { return x < 2 ? Pixel{200, 0, 0, 255} : Pixel{0, 0, 200, 255}; }),
         {{200, 0, 0, 255}, {0, 0, 200, 255}}},
        {"3 x 3 takes all nine", picture(3, 3, [](auto x, auto) { return x == 2 ? Pixel{255, 0, 0, 255} : Pixel{0, 0, 0, 255}; }),
         {{85, 0, 0, 255}}},
        {"5 x 1 folds the last column into the last pixel",
         picture(5, 1, [](auto x, auto) { return Pixel{std::uint8_t(30 * x), 0, 0, 255}; }), {{15, 0, 0, 255}, {90, 0, 0, 255}}},
        {"1 x 3 folds rows the same way", picture(1, 3, [](auto, auto y) { return Pixel{0, std::uint8_t(y == 2 ? 90 : 0), 0, 255}; }),
         {{0, 30, 0, 255}}},
        {"bottom-up storage reads the same", picture(2, 4, [](auto, auto y) { return Pixel{std::uint8_t(y < 2 ? 40 : 80), 0, 0, 255}; }, true),
         {{40, 0, 0, 255}, {80, 0, 0, 255}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MipChain chain = chainOf(c.source);
        ASSERT_GE(chain.levels.size(), 2u);
        const PixelLevel& level = chain.levels[1];
        ASSERT_EQ(std::size_t{level.width} * level.height, c.level1.size());
        for (std::uint32_t i = 0; i < c.level1.size(); ++i)
            EXPECT_EQ(describe(pixelOf(level, i % level.width, i / level.width)), describe(c.level1[i])) << "pixel " << i;
    }
}

// Alpha is the plain mean, rounded half up, so half-covered pixels stay
// opaque; colour counts by alpha, so what hides under transparent pixels
// does not darken the edge of a cut-out.
TEST(MipChain, AlphaAveragesAndWeighsTheColour) {
    struct Case {
        const char* name;
        std::array<std::uint8_t, 4> alphas;  // top left, top right, bottom left, bottom right
        Pixel expected;
    };
    const Case cases[] = {
        {"half covered stays opaque", {255, 0, 255, 0}, {200, 100, 50, 128}},
        {"just under half", {253, 0, 255, 0}, {200, 100, 50, 127}},
        {"all clear keeps the plain mean", {0, 0, 0, 0}, {100, 50, 25, 0}},
        {"all opaque", {255, 255, 255, 255}, {100, 50, 25, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Opaque-looking pixels in the even columns carry the colour; the
        // odd ones are black, as transparent pixels often are.
        const Picture source = picture(2, 2, [&](auto x, auto y) {
            const std::uint8_t alpha = c.alphas[y * 2 + x];
            return x == 0 ? Pixel{200, 100, 50, alpha} : Pixel{0, 0, 0, alpha};
        });
        const MipChain chain = chainOf(source);
        EXPECT_EQ(describe(pixelOf(chain.levels[1], 0, 0)), describe(c.expected));
    }
}

// Both cores write rows of the same level: the result must equal the rows
// made one by one on this thread.
TEST(MipChain, SharedRowsMatchRowsMadeAlone) {
    std::mt19937 random(21);
    const Picture source = picture(257, 131, [&](auto, auto) {
        return Pixel{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random())};
    });
    const MipChain chain = chainOf(source);
    for (std::size_t level = 1; level < chain.levels.size(); ++level) {
        const PixelLevel& target = chain.levels[level];
        std::vector<std::uint8_t> alone(std::size_t{target.width} * target.height * 4);
        halveRows(chain.levels[level - 1], alone.data(), 0, target.height - 1);
        EXPECT_EQ(std::memcmp(alone.data(), target.top, alone.size()), 0) << "level " << level;
    }
}

// ---------------------------------------------------------------------------
// DXT1 blocks

namespace {

std::array<Pixel, 16> decodeBlock(const std::uint8_t block[8]) {
    DdsFileBytes file{newPictureBuffer(kDdsHeaderBytes + 8), kDdsHeaderBytes + 8};
    writeDdsHeader(DdsFormat::Dxt1, 4, 4, 1, file.bytes.get());
    std::memcpy(file.bytes.get() + kDdsHeaderBytes, block, 8);
    const DdsImage dds = readBack(file);
    std::array<Pixel, 16> pixels{};
    for (std::uint32_t i = 0; i < 16; ++i) pixels[i] = pixelOf(dds.levels.at(0), i % 4, i / 4);
    return pixels;
}

std::array<Pixel, 16> roundTrip(const std::array<Pixel, 16>& pixels) {
    std::uint8_t rgba[64], block[8];
    std::memcpy(rgba, pixels.data(), sizeof rgba);
    encodeBc1Block(rgba, block);
    return decodeBlock(block);
}

}  // namespace

// A pixel is transparent exactly when its alpha is below 128, whatever
// the other pixels of its block hold; opaque pixels keep their colour
// within what 5-6-5 end points and the midpoint allow.
TEST(Bc1Block, TransparencyFollowsAlphaPerPixel) {
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        std::array<Pixel, 16> pixels{};
        const int colours = 1 + round % 3;  // up to three colours fit a block with transparency
        Pixel palette[3];
        for (Pixel& p : palette) p = {std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random()), 255};
        for (std::size_t i = 0; i < 16; ++i) {
            pixels[i] = palette[random() % static_cast<unsigned>(colours)];
            pixels[i][3] = round % 4 == 0 ? std::uint8_t(random()) : std::uint8_t(random() % 2 ? 255 : random() % 128);
        }
        if (round % 50 == 0) pixels[0][3] = 127, pixels[1][3] = 128;
        const std::array<Pixel, 16> decoded = roundTrip(pixels);
        for (std::size_t i = 0; i < 16; ++i) {
            SCOPED_TRACE("round " + std::to_string(round) + " pixel " + std::to_string(i));
            EXPECT_EQ(decoded[i][3], pixels[i][3] < 128 ? 0 : 255);
            if (pixels[i][3] >= 128 && colours == 1) {
                EXPECT_LE(channelError(decoded[i], pixels[i]), 8);
            }
        }
    }
}

TEST(Bc1Block, FullyTransparentAndFullyOpaqueBlocks) {
    std::array<Pixel, 16> clear{};
    for (const Pixel& p : roundTrip(clear)) EXPECT_EQ(p[3], 0);
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        std::array<Pixel, 16> opaque{};
        const bool flat = round % 5 == 0;
        const Pixel base{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random()), 255};
        for (Pixel& p : opaque) p = flat ? base : Pixel{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random()), 255};
        const std::array<Pixel, 16> decoded = roundTrip(opaque);
        for (std::size_t i = 0; i < 16; ++i) {
            EXPECT_EQ(decoded[i][3], 255) << "round " << round;  // no opaque pixel ever turns transparent
            if (flat) {
                EXPECT_LE(channelError(decoded[i], opaque[i]), 4) << "round " << round;
            }
        }
    }
}

// A ramp of sixteen steps along a line (a span of 120 in red): four
// colours evenly spread over it leave a mean error near 8, three beside a
// transparent pixel near 10; end points off the line leave far more.
TEST(Bc1Block, RampsStayClose) {
    for (const std::uint8_t alphaOfCorner : {std::uint8_t{255}, std::uint8_t{0}}) {
        std::array<Pixel, 16> ramp{};
        for (std::size_t i = 0; i < 16; ++i) ramp[i] = {std::uint8_t(40 + 8 * i), std::uint8_t(200 - 6 * i), 90, 255};
        ramp[15][3] = alphaOfCorner;
        const std::array<Pixel, 16> decoded = roundTrip(ramp);
        int total = 0;
        for (std::size_t i = 0; i < 15; ++i) total += channelError(decoded[i], ramp[i]);
        EXPECT_LE(total / 15, alphaOfCorner ? 9 : 12) << "corner alpha " << int{alphaOfCorner};
    }
}

// ---------------------------------------------------------------------------
// The whole file

TEST(DdsFile, HeaderFieldsAndLevelsOfAnOddPicture) {
    const Picture source = picture(13, 7, [](auto x, auto y) {
        return x < 8 ? Pixel{0, 160, 0, 255} : Pixel{std::uint8_t(20 * y), 0, 200, std::uint8_t(y == 0 ? 0 : 255)};
    }, true);
    const DdsFileBytes file = encodeDdsFile(source.view(), DdsFormat::Dxt1);
    ASSERT_TRUE(file.bytes);
    EXPECT_EQ(file.size, 128u + 64 + 16 + 8 + 8);
    const DdsImage dds = readBack(file);
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.flags, 0x000A1007u);
    EXPECT_EQ(dds.header.width, 13u);
    EXPECT_EQ(dds.header.height, 7u);
    EXPECT_EQ(dds.header.pitchOrLinearSize, 64u);
    EXPECT_EQ(dds.header.depth, 0u);
    EXPECT_EQ(dds.header.mipMapCount, 4u);
    EXPECT_EQ(dds.header.pixelFormatSize, 32u);
    EXPECT_EQ(dds.header.pixelFormatFlags, 0x4u);
    EXPECT_EQ(dds.header.fourCC, "DXT1");
    EXPECT_EQ(dds.header.caps, 0x00401008u);
    EXPECT_EQ(dds.header.caps2, 0u);
    EXPECT_EQ(dds.dataSize, dds.expectedDataSize);
    ASSERT_EQ(dds.levels.size(), 4u);
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{13, 7}, {6, 3}, {3, 1}, {1, 1}};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(std::make_pair(dds.levels[i].width, dds.levels[i].height), sizes[i]);
    // The top row of the right part is transparent, the rest as drawn.
    for (std::uint32_t y = 0; y < 7; ++y)
        for (std::uint32_t x = 0; x < 13; ++x) {
            const Pixel expected = pixelOf(source.view(), x, y);
            const Pixel actual = pixelOf(dds.levels[0], x, y);
            EXPECT_EQ(actual[3], expected[3] < 128 ? 0 : 255) << x << "," << y;
            if (expected[3] >= 128) {
                EXPECT_LE(channelError(actual, expected), 12) << x << "," << y;
            }
        }
    // Level 1: the green left part and the blue right part stay apart.
    EXPECT_LE(channelError(pixelOf(dds.levels[1], 0, 1), {0, 160, 0, 255}), 4);
    EXPECT_LE(channelError(pixelOf(dds.levels[1], 5, 1), {60, 0, 200, 255}), 12);
}

// Unit rows of all levels are shared between both cores: a picture big
// enough to use both gives, in every format, the same bytes as its rows
// made one by one.
TEST(DdsFile, SharedUnitRowsMatchRowsMadeAlone) {
    std::mt19937 random(11);
    const Picture source = picture(150, 90, [&](auto x, auto y) {
        return Pixel{std::uint8_t(x + random() % 16), std::uint8_t(y * 2), std::uint8_t(random()),
                     std::uint8_t(random() % 7 == 0 ? 0 : 255)};
    });
    const MipChain chain = chainOf(source);
    for (const DdsFormat format : {DdsFormat::Dxt1, DdsFormat::Dxt5, DdsFormat::Bc7, DdsFormat::Bgra32}) {
        SCOPED_TRACE(ddsFormatRow(format).name);
        const DdsFileBytes file = encodeDdsFile(source.view(), format);
        ASSERT_TRUE(file.bytes);
        std::size_t offset = ddsHeaderBytes(format);
        for (const PixelLevel& level : chain.levels) {
            std::vector<std::uint8_t> row(std::size_t{unitsAlong(format, level.width)} * ddsFormatRow(format).unitBytes);
            for (std::uint32_t unitRow = 0; unitRow < unitsAlong(format, level.height); ++unitRow, offset += row.size()) {
                encodeUnitRow(format, level, unitRow, row.data());
                ASSERT_LE(offset + row.size(), file.size);
                ASSERT_EQ(std::memcmp(row.data(), file.bytes.get() + offset, row.size()), 0)
                    << level.width << "x" << level.height << " unit row " << unitRow;
            }
        }
        EXPECT_EQ(offset, file.size);
    }
}
