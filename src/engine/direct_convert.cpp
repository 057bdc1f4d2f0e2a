// The conversion that changes nothing but the format, the common case: the
// PNG is decoded straight into the buffer the DDS writer reads, and while
// the worker thread decodes, the helper core compresses each block row of
// the top level as soon as its four pixel rows are in, and while it waits
// for rows it takes over the first touches of the pages the decoder will
// write. Once the decode is done both cores finish the top level, then
// build and compress the chain below it. Everything else takes the general
// path (decode.cpp, the stages, dds_save.cpp).
//
// The automatic format depends on the alpha of the whole picture, known
// only after the decode. A PNG that cannot hold alpha is DXT1 from the
// start; one that can is compressed as DXT5 behind the decoder, the common
// outcome, and turned into DXT1 afterwards when every alpha is 0 or 255:
// the colour half of an opaque DXT5 block is that block's DXT1 block, so
// only the blocks with transparent pixels are encoded again.
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
#include "engine/dds_format.h"
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
    DdsFormat format = DdsFormat::Dxt1;
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
// Uncompressed pixels are decoded into the file itself: nothing to do.
void compressTopLevel(TopLevelWork& work) {
    const DdsFormatRow& format = ddsFormatRow(work.format);
    if (!format.encodeBlock) return;
    const std::uint32_t blockRows = blocksAcross(work.top.height);
    const std::size_t rowBytes = std::size_t{blocksAcross(work.top.width)} * format.unitBytes;
    for (std::uint32_t row = work.nextBlockRow.fetch_add(1); row < blockRows; row = work.nextBlockRow.fetch_add(1)) {
        if (!waitForRows(work, std::min(work.top.height, (row + 1) * 4))) return;
        encodeUnitRow(work.format, work.top, row, work.blocks + row * rowBytes);
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

// The format the file is compressed in while decoding: the setting's, or
// for the automatic one the likely outcome (see the top of the file).
DdsFormat formatWhileDecoding(int compressionSetting, const PngHeader& header) {
    const DdsCompression compression = compressionOf(compressionSetting);
    if (compression != DdsCompression::Auto) return formatFor(compression, false);
    return pngMayHoldAlpha(header) ? DdsFormat::Dxt5 : DdsFormat::Dxt1;
}

// A DXT5 file of a picture whose alpha turned out 0 or 255 everywhere as
// the DXT1 file the automatic format asks for; empty bytes when memory is
// short.
DdsFileBytes asDxt1(const PixelLevel& top, const DdsFileBytes& dxt5) {
    DdsFileBytes dxt1 = newDdsFile(DdsFormat::Dxt1, top.width, top.height);
    if (dxt1.bytes) topLevelDxt1FromDxt5(top, dxt5, dxt1);
    return dxt1;
}

// The file of the picture when the decode takes it; empty bytes when it
// does not, or memory is short.
DdsFileBytes encodeWhileDecoding(BatchJob& job, const PngHeader& header, int compressionSetting) {
    const std::uint32_t width = header.width, height = header.height;
    const std::optional<std::uint64_t> bytes = checkedSize(width, height, 4, PTRDIFF_MAX);
    if (!bytes) return {};
    const DdsFormat format = formatWhileDecoding(compressionSetting, header);
    DdsFileBytes file = newDdsFile(format, width, height);
    // Uncompressed pixels are the file's own top level.
    const bool intoFile = !ddsFormatRow(format).encodeBlock;
    const PictureBuffer pixels = intoFile ? PictureBuffer{} : newPictureBuffer(*bytes);
    if ((!intoFile && !pixels) || !file.bytes) return {};
    std::uint8_t* const top = intoFile ? file.bytes.get() + file.dataOffset : pixels.get();
    TopLevelWork work;
    work.top = {top, static_cast<std::ptrdiff_t>(width) * 4, width, height};
    work.format = format;
    work.blocks = file.bytes.get() + file.dataOffset;
    work.pages.base = top;
    work.pages.bytes = *bytes;
    work.pages.chunks = (*bytes + kTouchChunkBytes - 1) / kTouchChunkBytes;
    work.pages.touched.reset(new (std::nothrow) std::atomic<bool>[work.pages.chunks]());
    if (!work.pages.touched) return {};
    const int depth = decodeWhileCompressing(job.inputPath, work);
    if (depth == 0) return {};
    job.sourceBitDepth = depth;
    decideTargetDepth(job);
    if (format == DdsFormat::Dxt5 && compressionOf(compressionSetting) == DdsCompression::Auto &&
        !hasSoftAlpha(work.top))
        file = asDxt1(work.top, file);
    MipChain chain;
    if (!file.bytes || !buildMipChain(work.top, chain)) return {};
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
    const DdsFileBytes file = encodeWhileDecoding(job, header, settings.DDSCompression);
    if (!file.bytes) return FormatOnlyOutcome::NotTaken;
    return storeDdsFile(file, header.width, header.height, job, settings) ? FormatOnlyOutcome::Converted
                                                                           : FormatOnlyOutcome::Failed;
}
