#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "settings/checked_size.h"

TEST(CheckedSize, ProductOrNothingWithoutOverflow) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    constexpr std::int64_t kHuge = std::numeric_limits<std::int64_t>::max();
    struct Case {
        std::int64_t width, height, bytes;
        std::uint64_t limit;
        std::optional<std::uint64_t> expected;
    } cases[] = {
        {4096, 4096, 4, kMax, std::uint64_t{4096} * 4096 * 4},
        {0, 4096, 4, 10, 0},
        {-1, 4096, 4, kMax, std::nullopt},
        {16, 16, -4, kMax, std::nullopt},
        {100, 100, 4, 40000, 40000},                // exactly at the limit
        {100, 100, 4, 39999, std::nullopt},         // one byte over
        {kHuge, kHuge, 1, kMax, std::nullopt},      // the area overflows 64 bits
        {1LL << 32, 1LL << 31, 4, kMax, std::nullopt},  // only the bytes overflow
        {0xFFFFFFFFLL, 0xFFFFFFFFLL, 1, kMax, std::uint64_t{0xFFFFFFFF} * 0xFFFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkedSize(c.width, c.height, c.bytes, c.limit), c.expected)
            << c.width << " x " << c.height << " x " << c.bytes << " <= " << c.limit;
}

TEST(CheckedSize, PicturesNeedBothSides) {
    EXPECT_TRUE(pictureFits(1, 1, 1));
    EXPECT_FALSE(pictureFits(0, 5, 100));
    EXPECT_FALSE(pictureFits(5, -1, 100));
    EXPECT_TRUE(pictureFits(10, 10, 100));
    EXPECT_FALSE(pictureFits(10, 11, 100));
}
