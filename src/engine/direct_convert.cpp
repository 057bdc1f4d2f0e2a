// The conversion that changes nothing but the format, the common case: the
// PNG is decoded straight into the buffer the DDS writer reads, and while
// the worker thread decodes, the helper core compresses each block row of
// the top level as soon as its four pixel rows are in, and while it waits
// for rows it takes over the first touches of the pages the decoder will
// write. Once the decode is done both cores finish the top level, then
// build and compress the chain below it. Everything else takes the general
// path (decode.cpp, the stages, dds_save.cpp).
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "engine/bc1_encode.h"
#include "engine/dds_file.h"
#include "engine/dds_save.h"
#include "engine/direct_convert.h"
#include "engine/image_memory.h"
#include "engine/png_decode.h"
#include "engine/png_header.h"
#include "engine/stages.h"
#include "settings/checked_size.h"

namespace {

// What the decoder has delivered: rows from the top, or kDecodeFailed. One
// atomic for both, so a waiting core cannot miss the end of a failed decode.
constexpr std::uint32_t kDecodeFailed = 0xFFFFFFFFu;

// The first touch of a page costs several microseconds on a virtual
// machine (measured: 80 ms for the 64 MB of a 4096 x 4096 picture), and the
// decoder, which would take them all, sets the pace whenever the helper
// keeps up with it. So the pages are touched in chunks, each claimed once
// by whichever core comes first; the decoder writes into a chunk only
// after it is touched.
constexpr std::size_t kTouchChunkBytes = std::size_t{256} << 10;
constexpr std::size_t kPageBytes = 4096;

struct PageTouches {
    std::uint8_t* base = nullptr;
    std::size_t bytes = 0;
    std::size_t chunks = 0;
    std::unique_ptr<std::atomic<bool>[]> touched;
    std::atomic<std::size_t> nextChunk{0};
    std::size_t touchedBefore = 0;  // the decoder's own: chunks it knows are touched
};

void touchChunk(PageTouches& pages, std::size_t chunk) {
    const std::size_t end = std::min(pages.bytes, (chunk + 1) * kTouchChunkBytes);
    volatile std::uint8_t* const bytes = pages.base;
    for (std::size_t at = chunk * kTouchChunkBytes; at < end; at += kPageBytes) bytes[at] = 0;
    pages.touched[chunk].store(true, std::memory_order_release);
    pages.touched[chunk].notify_all();
}

// Touches the next chunk nobody has claimed; false when none is left.
bool touchNextChunk(PageTouches& pages) {
    const std::size_t chunk = pages.nextChunk.fetch_add(1);
    if (chunk >= pages.chunks) return false;
    touchChunk(pages, chunk);
    return true;
}

// The decoder's side: returns once the first `end` bytes are touched,
// touching what nobody has claimed yet itself.
void awaitTouched(PageTouches& pages, std::size_t end) {
    const std::size_t needed = std::min(pages.chunks, (end + kTouchChunkBytes - 1) / kTouchChunkBytes);
    while (pages.nextChunk.load() < needed && touchNextChunk(pages)) {
    }
    for (; pages.touchedBefore < needed; ++pages.touchedBefore)
        pages.touched[pages.touchedBefore].wait(false, std::memory_order_acquire);
}

struct TopLevelWork {
    PixelLevel top;
    std::uint8_t* blocks = nullptr;  // the top level's place in the file
    std::atomic<std::uint32_t> rowsIn{0};
    std::atomic<std::uint32_t> nextBlockRow{0};
    PageTouches pages;
};

// Waits until `needed` rows are in, touching pages for the decoder
// meanwhile; false when the decode failed.
bool waitForRows(TopLevelWork& work, std::uint32_t needed) {
    for (;;) {
        const std::uint32_t in = work.rowsIn.load(std::memory_order_acquire);
        if (in == kDecodeFailed) return false;
        if (in >= needed) return true;
        if (!touchNextChunk(work.pages)) work.rowsIn.wait(in, std::memory_order_acquire);
    }
}

void deliverRows(TopLevelWork& work, std::uint32_t rows) {
    work.rowsIn.store(rows, std::memory_order_release);
    work.rowsIn.notify_all();
}

// Takes the next block row of the top level until none is left, each once
// its pixel rows are in. Both cores run it; they never take the same row.
void compressTopLevel(TopLevelWork& work) {
    const std::uint32_t blockRows = blocksAcross(work.top.height);
    const std::size_t rowBytes = std::size_t{blocksAcross(work.top.width)} * kBc1BlockBytes;
    for (std::uint32_t row = work.nextBlockRow.fetch_add(1); row < blockRows; row = work.nextBlockRow.fetch_add(1)) {
        if (!waitForRows(work, std::min(work.top.height, (row + 1) * 4))) return;
        encodeBlockRow(work.top, row, work.blocks + row * rowBytes);
    }
}

// Decodes into the top level while the helper core compresses behind the
// decoder. The FreeImage depth of the file, 0 when the decode did not take
// the file (the helper has stopped either way).
int decodeWhileCompressing(const std::string& path, TopLevelWork& work) {
    std::optional<std::jthread> helper;
    try {
        helper.emplace([&work] { compressTopLevel(work); });
    } catch (const std::system_error&) {
        // No thread to be had: this thread compresses after decoding.
    }
    auto* pixels = const_cast<std::uint8_t*>(work.top.top);
    const std::size_t rowBytes = std::size_t{work.top.width} * 4;
    RowHooks hooks;
    hooks.beforeWriting = [&work, rowBytes](std::uint32_t rows) { awaitTouched(work.pages, rows * rowBytes); };
    hooks.decoded = [&work](std::uint32_t rows) { deliverRows(work, rows); };
    const int depth = decodePngIntoBgra(path, pixels, work.top.width, work.top.height, hooks);
    if (depth == 0) {
        deliverRows(work, kDecodeFailed);
        return 0;
    }
    compressTopLevel(work);
    return depth;  // the helper is joined here
}

// The file of the picture when the decode takes it; empty bytes when it
// does not, or memory is short.
DdsFileBytes encodeWhileDecoding(BatchJob& job, std::uint32_t width, std::uint32_t height) {
    const std::optional<std::uint64_t> bytes = checkedSize(width, height, 4, PTRDIFF_MAX);
    if (!bytes) return {};
    const PictureBuffer pixels = newPictureBuffer(*bytes);
    DdsFileBytes file = newDxt1File(width, height);
    if (!pixels || !file.bytes) return {};
    TopLevelWork work;
    work.top = {pixels.get(), static_cast<std::ptrdiff_t>(width) * 4, width, height};
    work.blocks = file.bytes.get() + kDdsHeaderBytes;
    work.pages.base = pixels.get();
    work.pages.bytes = *bytes;
    work.pages.chunks = (*bytes + kTouchChunkBytes - 1) / kTouchChunkBytes;
    work.pages.touched.reset(new (std::nothrow) std::atomic<bool>[work.pages.chunks]());
    if (!work.pages.touched) return {};
    const int depth = decodeWhileCompressing(job.inputPath, work);
    if (depth == 0) return {};
    job.sourceBitDepth = depth;
    decideTargetDepth(job);
    MipChain chain;
    if (!buildMipChain(work.top, chain)) return {};
    encodeLevels(chain, 1, file);
    return file;
}

}  // namespace

FormatOnlyOutcome convertOnlyTheFormat(BatchJob& job, const ConversionSettings& settings) {
    const PngHeader header = readPngHeader(job.inputPath);
    if (!header.valid || !fitsImageLimit(header.width, header.height) || !pngMayDecode(header))
        return FormatOnlyOutcome::NotTaken;
    if (!everyStageLeavesAsIs(settings, job, {header.width, header.height})) return FormatOnlyOutcome::NotTaken;
    std::lock_guard lock(ddsWriterMutex());
    const DdsFileBytes file = encodeWhileDecoding(job, header.width, header.height);
    if (!file.bytes) return FormatOnlyOutcome::NotTaken;
    return storeDdsFile(file, header.width, header.height, job, settings) ? FormatOnlyOutcome::Converted
                                                                           : FormatOnlyOutcome::Failed;
}
