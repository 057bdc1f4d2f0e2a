#include "engine/image_memory.h"

#include <new>
#include <malloc.h>
#include <sys/mman.h>

namespace {
// Free memory at the top of the heap stays until returnImageMemory.
constexpr int kNeverTrim = 1 << 30;
}  // namespace

void keepImageMemoryInOneHeap() {
    mallopt(M_ARENA_MAX, 1);  // the worker thread shares the main heap
    mallopt(M_MMAP_MAX, 0);   // large blocks come from the heap as well
    mallopt(M_TRIM_THRESHOLD, kNeverTrim);
}

void returnImageMemory() { malloc_trim(0); }

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
