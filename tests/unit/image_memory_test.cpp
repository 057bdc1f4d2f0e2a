#include <gtest/gtest.h>

#include <cstdlib>
#include <malloc.h>

#include "engine/image_memory.h"

// Memory a conversion frees stays in the heap (not trimmed, not a separate
// mapping) for the buffers that follow, and returning the memory gives it
// back to the system.
TEST(ImageMemory, FreedMemoryStaysInTheHeapUntilReturned) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer replaces the C library's heap";
#endif
    constexpr std::size_t kFreed = std::size_t{8} << 20;
    keepImageMemoryInOneHeap();
    returnImageMemory();
    // Through a volatile pointer, so the compiler cannot drop the pair.
    void* volatile block = std::malloc(kFreed);
    ASSERT_TRUE(block != nullptr);
    std::free(block);
    const struct mallinfo2 freed = mallinfo2();
    EXPECT_GE(freed.fordblks, kFreed);
    returnImageMemory();
    EXPECT_LE(mallinfo2().arena + kFreed / 2, freed.arena);
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
