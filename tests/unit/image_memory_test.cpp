#include <gtest/gtest.h>

#include <malloc.h>
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

// The warmed block stays in the heap as free memory for the image buffers
// that follow (not trimmed, not a separate mapping), and returning the
// memory gives it back to the system.
TEST(ImageMemory, WarmedMemoryStaysUntilReturned) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer replaces the C library's heap";
#endif
    constexpr std::size_t kWarmed = std::size_t{8} << 20;
    keepImageMemoryInOneHeap();
    returnImageMemory();
    warmImageHeap(kWarmed);
    const struct mallinfo2 warmed = mallinfo2();
    EXPECT_GE(warmed.fordblks, kWarmed);
    returnImageMemory();
    EXPECT_LE(mallinfo2().arena + kWarmed / 2, warmed.arena);
}

TEST(ImageMemory, SmallWarmingDoesNothing) {
    keepImageMemoryInOneHeap();
    returnImageMemory();
    const std::size_t before = mallinfo2().arena;
    warmImageHeap(100);
    EXPECT_EQ(mallinfo2().arena, before);
}

// Whole pictures and files get pages of their own, filled in at once; small
// buffers come from the heap; a size no machine has is refused, not a crash.
TEST(ImageMemory, PictureBuffersAreMappedWhenLargeAndRefusedWhenImpossible) {
    EXPECT_EQ(newPictureBuffer(0), nullptr);
    const PictureBuffer small = newPictureBuffer(4096);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small.get_deleter().mappedBytes, 0u);
    constexpr std::size_t kLarge = (std::size_t{16} << 20) + 123;
    const PictureBuffer large = newPictureBuffer(kLarge);
    ASSERT_NE(large, nullptr);
    large[0] = 1;
    large[kLarge - 1] = 2;
    EXPECT_EQ(large[0] + large[kLarge - 1], 3);
#if !defined(__SANITIZE_ADDRESS__)  // its heap reports an impossible size as an error
    EXPECT_EQ(large.get_deleter().mappedBytes, kLarge);
    EXPECT_EQ(newPictureBuffer(std::size_t{1} << 62), nullptr);
#endif
}
