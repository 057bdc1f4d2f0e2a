// The DDS writer's own pieces: the box-filtered mip chain.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

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

MipChain chainOf(const Picture& p) {
    MipChain chain;
    EXPECT_TRUE(buildMipChain(p.view(), chain));
    return chain;
}

std::string describe(const Pixel& p) {
    return "(" + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," +
           std::to_string(p[3]) + ")";
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

