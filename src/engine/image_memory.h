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

// The heap a conversion of a width x height picture goes through: the
// decoded bitmap, then the writer's copy, mipmaps and work buffers in its
// place. Bounded by an eighth of the physical memory; 0 for an empty size.
std::size_t conversionHeapSize(std::uint32_t width, std::uint32_t height);
// Faults `bytes` of heap in and frees them again: the image buffers that
// follow reuse these pages instead of taking a page fault (and a zeroed
// page) per 4 KB.
void warmImageHeap(std::size_t bytes);
