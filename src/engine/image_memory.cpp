#include "engine/image_memory.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include "settings/checked_size.h"

namespace {
// Free memory at the top of the heap stays until returnImageMemory.
constexpr int kNeverTrim = 1 << 30;
// Below this a picture's few page faults are not worth a pass of their own.
constexpr std::size_t kWorthWarming = std::size_t{2} << 20;
constexpr std::size_t kSmallPage = 4096;
// Measured: the heap of a conversion peaks near three 32-bit copies.
constexpr std::uint64_t kCopiesInFlight = 3;

std::uint64_t physicalMemory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) : 0;
}
}  // namespace

void keepImageMemoryInOneHeap() {
    mallopt(M_ARENA_MAX, 1);  // the worker thread shares the main heap
    mallopt(M_MMAP_MAX, 0);   // large blocks come from the heap as well
    mallopt(M_TRIM_THRESHOLD, kNeverTrim);
}

void returnImageMemory() { malloc_trim(0); }

std::size_t conversionHeapSize(std::uint32_t width, std::uint32_t height) {
    const std::uint64_t bound = physicalMemory() / 8;
    return static_cast<std::size_t>(checkedSize(width, height, 4 * kCopiesInFlight, bound).value_or(bound));
}

// No MADV_HUGEPAGE hint: measured with another program's conversion run
// between two of ours, it made the kernel compact memory for huge pages on
// the spot and cost more system and wall time than it saved. The kernel
// still hands out huge pages it has free where its policy allows.
void warmImageHeap(std::size_t bytes) {
    if (bytes < kWorthWarming) return;
    auto* block = static_cast<char*>(std::malloc(bytes));
    if (!block) return;
    for (std::size_t offset = 0; offset < bytes; offset += kSmallPage) block[offset] = 0;
    std::free(block);
}

namespace {
// Below this a mapping of its own saves too little to be worth a system call.
constexpr std::size_t kWorthMapping = std::size_t{1} << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHeapOnly = true;
#else
constexpr bool kHeapOnly = false;
#endif
}  // namespace

void PictureBufferReleaser::operator()(std::uint8_t* bytes) const noexcept {
    if (mappedBytes)
        ::munmap(bytes, mappedBytes);
    else
        delete[] bytes;
}

PictureBuffer newPictureBuffer(std::size_t bytes) {
    if (bytes == 0) return nullptr;
    if (kHeapOnly || bytes < kWorthMapping) return PictureBuffer(new (std::nothrow) std::uint8_t[bytes]);
    void* pages = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (pages == MAP_FAILED) return nullptr;
    return PictureBuffer(static_cast<std::uint8_t*>(pages), PictureBufferReleaser{bytes});
}
