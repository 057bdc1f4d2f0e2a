// Memory for full-size images. A conversion allocates several buffers of
// the image's size one after another (the decoded bitmap, the export
// buffer, the DDS writer's copy, its mipmaps and work buffers); how they are
// placed decides a good part of the conversion time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Serves large blocks from the one main heap, which is not trimmed while a
// conversion runs, so each buffer reuses the pages the previous one freed
// instead of having fresh zeroed pages faulted in. Must run before the
// worker thread starts, because a thread picks its heap at its first
// allocation. Called once by initDdsWriter.
void keepImageMemoryInOneHeap();
// Gives the memory freed by a conversion back to the system.
void returnImageMemory();

// A buffer for a whole picture or a whole file in memory. A large one is
// pages mapped for it alone and filled in by the kernel in one call
// (MAP_POPULATE): on the virtual machines measured, first touching a page
// costs several microseconds, and filling them in at once roughly halves
// that. A small one comes from the heap, and so does every one under
// AddressSanitizer, which guards heap blocks only. Not zeroed by contract.
struct PictureBufferReleaser {
    std::size_t mappedBytes = 0;  // 0: a heap block
    void operator()(std::uint8_t* bytes) const noexcept;
};
using PictureBuffer = std::unique_ptr<std::uint8_t[], PictureBufferReleaser>;

// Null when the memory cannot be had (or for 0 bytes).
PictureBuffer newPictureBuffer(std::size_t bytes);
