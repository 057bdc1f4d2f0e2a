#include <gtest/gtest.h>

#include <unistd.h>

#include "engine/image_memory.h"

TEST(ImageMemory, HeapSizeIsThreeCopiesBoundedByPhysicalMemory) {
    const std::uint64_t physical =
        static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES)) * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    EXPECT_EQ(conversionHeapSize(0, 0), 0u);
    EXPECT_EQ(conversionHeapSize(0, 4096), 0u);
    EXPECT_EQ(conversionHeapSize(4096, 4096), std::size_t{4096} * 4096 * 4 * 3);
    // Header values a damaged file may carry must not ask for more.
    EXPECT_EQ(conversionHeapSize(0xFFFFFFFFu, 0xFFFFFFFFu), physical / 8);
    EXPECT_EQ(conversionHeapSize(0x7FFFFFFFu, 0x7FFFFFFFu), physical / 8);
}

TEST(ImageMemory, WarmingAndReturningLeaveTheHeapUsable) {
    keepImageMemoryInOneHeap();
    warmImageHeap(std::size_t{8} << 20);
    warmImageHeap(100);  // too small to matter: nothing happens
    std::vector<std::uint8_t> block(std::size_t{6} << 20, 7);
    EXPECT_EQ(block[123456], 7);
    returnImageMemory();
}
