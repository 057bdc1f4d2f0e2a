// The BC7 block encoder through the tests' decoder (held to Pillow's):
// how close each kind of block comes back, that the bytes do not depend
// on the call or the thread, and that every mode it writes is exercised.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bc7_decode.h"
#include "dds_blocks.h"
#include "dds_reader.h"
#include "pillow_decode.h"
#include "engine/bc7_encode.h"
#include "test_support.h"

namespace {

using Pixels = std::array<std::uint8_t, 64>;
using Block = std::array<std::uint8_t, kBc7BlockBytes>;

Pixels fill(const std::function<std::array<int, 4>(int x, int y)>& pixel) {
    Pixels p{};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const auto v = pixel(x, y);
            for (int c = 0; c < 4; ++c) p[static_cast<std::size_t>((y * 4 + x) * 4 + c)] = static_cast<std::uint8_t>(v[static_cast<std::size_t>(c)]);
        }
    return p;
}

Pixels noise(unsigned seed, bool alpha) {
    std::mt19937 random(seed);
    Pixels p{};
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>(alpha || i % 4 != 3 ? random() & 255 : 255);
    return p;
}

struct Case {
    const char* name;
    Pixels pixels;
    int maxColorError;  // largest difference of a red, green or blue sample
    int maxAlphaError;
    double minPsnr;     // over all four channels
};

// Bounds a sound encoder meets with some room; the mistakes they are set
// against (a wrong table entry, a swapped end point, a lost p-bit, a
// partition never searched) cost far more.
std::vector<Case> cases() {
    return {
        {"black", fill([](int, int) { return std::array{0, 0, 0, 255}; }), 0, 0, 99},
        {"white", fill([](int, int) { return std::array{255, 255, 255, 255}; }), 0, 0, 99},
        {"flat odd colour", fill([](int, int) { return std::array{17, 130, 201, 255}; }), 0, 0, 99},
        {"flat with alpha", fill([](int, int) { return std::array{254, 1, 77, 93}; }), 0, 0, 99},
        {"fully transparent", fill([](int x, int y) { return std::array{x * 60, y * 60, 30, 0}; }), 8, 0, 40},
        {"gradient across", fill([](int x, int) { return std::array{20 + 60 * x, 100 + 20 * x, 200 - 50 * x, 255}; }),
         3, 0, 45},
        {"gradient diagonal", fill([](int x, int y) { return std::array{30 + 13 * (x + y), 90 + 7 * x, 60 + 9 * y, 255}; }),
         6, 0, 38},
        {"edge vertical", fill([](int x, int) { return x < 2 ? std::array{200, 30, 40, 255} : std::array{20, 70, 220, 255}; }),
         3, 0, 45},
        {"edge horizontal", fill([](int, int y) { return y < 3 ? std::array{0, 0, 0, 255} : std::array{255, 255, 255, 255}; }),
         3, 0, 45},
        {"edge diagonal", fill([](int x, int y) { return x > y ? std::array{250, 200, 10, 255} : std::array{10, 90, 140, 255}; }),
         3, 0, 45},
        {"three regions", fill([](int x, int y) {
             return x < 2 ? std::array{220, 20, 20, 255} : y < 2 ? std::array{20, 220, 20, 255} : std::array{20, 20, 220, 255};
         }),
         6, 0, 38},
        {"gradient beside a flat region", fill([](int x, int y) {
             return x < 2 ? std::array{240, 240, 30, 255} : std::array{10 + 30 * y, 20, 200 - 40 * y, 255};
         }),
         8, 0, 40},
        // No line nor two subsets hold it; blue on indices of its own does.
        {"red and green across, blue down", fill([](int x, int y) { return std::array{40 + 50 * x, 200 - 45 * x, 30 + 60 * y, 255}; }),
         10, 0, 34},
        {"noise", noise(1, false), 255, 0, 15},
        {"noise with alpha", noise(2, true), 255, 255, 14},
        {"soft alpha gradient", fill([](int x, int y) { return std::array{180, 120, 60, 16 * (x + 4 * y)}; }), 1, 3, 45},
        {"soft alpha over a gradient", fill([](int x, int y) { return std::array{40 + 50 * y, 200 - 30 * y, 90, 30 + 60 * x}; }),
         6, 4, 38},
        {"binary alpha", fill([](int x, int y) {
             return x + y < 4 ? std::array{30 + 20 * x, 60, 90 + 10 * y, 255} : std::array{0, 0, 0, 0};
         }),
         16, 0, 36},
        {"binary alpha, two colours", fill([](int x, int y) {
             return y < 2 ? std::array{230, 40, 40, x < 2 ? 255 : 0} : std::array{40, 40, 230, x < 2 ? 0 : 255};
         }),
         8, 0, 38},
        {"alpha 128 constant", fill([](int x, int y) { return std::array{10 + 60 * x, 250 - 60 * y, 128, 128}; }), 8, 1, 38},
    };
}

Block encode(const Pixels& p) {
    Block b{};
    encodeBc7Block(p.data(), b.data());
    return b;
}

Pixels decode(const Block& b) {
    Pixels p{};
    decodeBc7Block(b.data(), p.data());
    return p;
}

int modeOf(const Block& b) {
    for (int mode = 0; mode < 8; ++mode)
        if (b[0] >> mode & 1) return mode;
    return 8;
}

double psnr(const Pixels& a, const Pixels& b) {
    double squared = 0;
    for (std::size_t i = 0; i < a.size(); ++i) squared += (a[i] - b[i]) * (a[i] - b[i]);
    return squared ? 10 * std::log10(255.0 * 255.0 * 64 / squared) : 99;
}

TEST(Bc7Encode, EveryKindOfBlockComesBackWithinItsBound) {
    for (const Case& c : cases()) {
        const Block block = encode(c.pixels);
        const Pixels back = decode(block);
        int colorError = 0, alphaError = 0;
        for (std::size_t i = 0; i < 64; ++i) {
            const int d = std::abs(back[i] - c.pixels[i]);
            (i % 4 == 3 ? alphaError : colorError) = std::max(i % 4 == 3 ? alphaError : colorError, d);
        }
        EXPECT_LE(colorError, c.maxColorError) << c.name << " (mode " << modeOf(block) << ")";
        EXPECT_LE(alphaError, c.maxAlphaError) << c.name << " (mode " << modeOf(block) << ")";
        EXPECT_GE(psnr(c.pixels, back), c.minPsnr) << c.name << " (mode " << modeOf(block) << ")";
    }
}

TEST(Bc7Encode, FlatBlocksOfEveryValueAreExact) {
    for (int v = 0; v < 256; ++v) {
        const int rotated[4] = {v, 255 - v, (v * 7) & 255, 255 - (v * 3 & 127)};
        const Pixels p = fill([&](int, int) { return std::array{rotated[0], rotated[1], rotated[2], rotated[3]}; });
        EXPECT_EQ(decode(encode(p)), p) << "value " << v;
    }
}

TEST(Bc7Encode, SameBytesForTheSamePixelsOnAnyThread) {
    std::vector<Pixels> inputs;
    for (const Case& c : cases()) inputs.push_back(c.pixels);
    for (unsigned seed = 10; seed < 40; ++seed) inputs.push_back(noise(seed, seed % 2 == 0));
    std::vector<Block> first, second(inputs.size()), third(inputs.size());
    for (const Pixels& p : inputs) first.push_back(encode(p));
    std::thread other([&] {
        for (std::size_t i = 0; i < inputs.size(); ++i) second[i] = encode(inputs[i]);
    });
    for (std::size_t i = 0; i < inputs.size(); ++i) third[i] = encode(inputs[i]);
    other.join();
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, third);
}

TEST(Bc7Encode, WritesEachOfItsModesForSomeBlock) {
    std::set<int> modes;
    for (const Case& c : cases()) modes.insert(modeOf(encode(c.pixels)));
    for (unsigned seed = 100; seed < 140; ++seed) modes.insert(modeOf(encode(noise(seed, seed % 2 == 0))));
    EXPECT_EQ(modes, (std::set<int>{1, 4, 5, 6, 7}));
}

TEST(Bc7Decode, BlockWithoutAModeIsAllZero) {
    Block block{};
    block[5] = 0xff;
    Pixels p;
    p.fill(7);
    decodeBc7Block(block.data(), p.data());
    EXPECT_EQ(p, Pixels{});
}

// A block of `mode` with every other bit random.
Block randomBlockOfMode(int mode, std::mt19937& random) {
    Block b{};
    for (auto& byte : b) byte = static_cast<std::uint8_t>(random() & 255);
    b[0] = static_cast<std::uint8_t>((b[0] & ~((2 << mode) - 1)) | 1 << mode);
    return b;
}

TEST(Bc7Decode, AgreesWithPillowOnEveryModeAndOnTheEncodersBlocks) {
    const std::string python = pythonWithPillow();
    if (python.empty()) GTEST_SKIP() << "Pillow (python3-pil) is not installed";
    constexpr std::uint32_t kSide = 64, kAcross = kSide / 4;
    std::vector<Block> blocks;
    for (const Case& c : cases()) blocks.push_back(encode(c.pixels));
    std::mt19937 random(7);
    while (blocks.size() < kAcross * kAcross) blocks.push_back(randomBlockOfMode(static_cast<int>(blocks.size() % 8), random));
    std::vector<std::uint8_t> bytes;
    for (const Block& b : blocks) bytes.insert(bytes.end(), b.begin(), b.end());

    TempFolder folder;
    writeFileBytes(folder.path + "blocks.dds", ddsFileOfBlocks(kSide, kSide, BlockFormat::bc7, bytes));
    const std::string pillow = pillowRgba(python, folder.path + "blocks.dds", folder.path + "blocks.raw");
    ASSERT_EQ(pillow.size(), std::size_t{kSide} * kSide * 4) << "Pillow did not decode the file";

    // The project's reader takes the same file through the DX10 header.
    const DdsImage dds = readDdsFile(folder.path + "blocks.dds");
    ASSERT_TRUE(dds.ok) << dds.error;
    EXPECT_EQ(dds.header.dxgiFormat, kDxgiBc7Unorm);
    ASSERT_EQ(dds.rgba.size(), pillow.size());

    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Pixels ours = decode(blocks[i]);
        const std::size_t bx = i % kAcross, by = i / kAcross;
        int differing = 0;
        for (std::size_t pixel = 0; pixel < 16; ++pixel)
            for (std::size_t c = 0; c < 4; ++c) {
                const std::size_t at = ((by * 4 + pixel / 4) * kSide + bx * 4 + pixel % 4) * 4 + c;
                differing += static_cast<std::uint8_t>(pillow[at]) != ours[pixel * 4 + c];
                differing += dds.rgba[at] != ours[pixel * 4 + c];
            }
        EXPECT_EQ(differing, 0) << "block " << i << " mode " << modeOf(blocks[i]);
    }
}

}  // namespace
