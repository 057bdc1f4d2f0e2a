// The save step of the conversion: export to bottom-up BGRA, DDS with
// mipmaps under a temporary name, then an atomic rename to the final name.
#include <IL/il.h>
#include <IL/ilu.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <utility>

#include "engine/convert.h"
#include "engine/dds_check.h"
#include "engine/image_memory.h"
#include "engine/naming.h"
#include "settings/checked_size.h"

namespace {

constexpr unsigned kExportBpp = 32;
constexpr unsigned kRedMask = 0x00FF0000;
constexpr unsigned kGreenMask = 0x0000FF00;
constexpr unsigned kBlueMask = 0x000000FF;

// DevIL keeps a process-wide current image, so only one conversion may use
// the writer at a time.
std::mutex& ddsWriterMutex() {
    static std::mutex mutex;
    return mutex;
}

// One DevIL image name, deleted on every path out of the save.
struct DevilImageName {
    ILuint name = 0;
    DevilImageName() { ilGenImages(1, &name); }
    ~DevilImageName() {
        if (name) ilDeleteImages(1, &name);
    }
    DevilImageName(const DevilImageName&) = delete;
    DevilImageName& operator=(const DevilImageName&) = delete;
};

struct ExportedPixels {
    std::unique_ptr<BYTE[]> bytes;  // bottom-up BGRA rows, pitch 4 x width
    unsigned width = 0;
    unsigned height = 0;
};

// 4 x width x height must fit DevIL's 32-bit sizes, 4 x width FreeImage's
// int pitch; the buffer's size, or nothing.
std::optional<std::uint64_t> exportBytes(unsigned width, unsigned height) {
    if (width == 0 || height == 0) return std::nullopt;
    if (!checkedSize(width, 1, 4, static_cast<std::uint64_t>(std::numeric_limits<int>::max()))) return std::nullopt;
    return checkedSize(width, height, 4, std::numeric_limits<ILuint>::max());
}

// Copies the final image into the export buffer and releases the image at
// once, so no more than two full copies of the picture live at a time.
ExportedPixels exportPixels(ImagePtr image) {
    ExportedPixels pixels;
    if (!image || FreeImage_GetImageType(image.get()) != FIT_BITMAP || imageBpp(image) != static_cast<int>(kExportBpp))
        return pixels;
    const unsigned width = FreeImage_GetWidth(image.get());
    const unsigned height = FreeImage_GetHeight(image.get());
    const std::optional<std::uint64_t> bytes = exportBytes(width, height);
    if (!bytes) return pixels;
    const std::size_t pitch = std::size_t{width} * 4;
    pixels.bytes.reset(new (std::nothrow) BYTE[*bytes]);
    if (!pixels.bytes) return pixels;
    FreeImage_ConvertToRawBits(pixels.bytes.get(), image.get(), static_cast<int>(pitch), kExportBpp, kRedMask, kGreenMask,
                               kBlueMask, FALSE);
    pixels.width = width;
    pixels.height = height;
    return pixels;
}

// Hands the pixels to the bound DevIL image and builds the mipmap chain.
// The export buffer is released as soon as DevIL holds its own copy.
bool loadIntoWriter(ExportedPixels pixels) {
    const ILint depth = ilGetInteger(IL_IMAGE_DEPTH);
    const ILboolean loaded = ilTexImage(pixels.width, pixels.height, static_cast<ILuint>(depth), 4, IL_BGRA,
                                        IL_UNSIGNED_BYTE, pixels.bytes.get());
    pixels.bytes.reset();
    // A failed copy would leave DevIL's 1 x 1 placeholder image to be saved.
    return loaded && iluBuildMipmaps();
}

void clearWriterErrors() {
    while (ilGetError() != IL_NO_ERROR) {
    }
}

// Saves under the temporary name and only then moves the file over the
// output path: a failed save or rename leaves an existing output untouched
// and no temporary file behind. rename() also replaces a read-only file.
// The writer reports success even after a short write, so the file is
// measured first.
bool saveUnderFinalName(BatchJob& job) {
    const bool saved = ilSave(IL_DDS, job.tempPath.c_str()) &&
                       isCompleteDdsFile(job.tempPath, static_cast<std::uint32_t>(job.finalWidth),
                                         static_cast<std::uint32_t>(job.finalHeight));
    if (!saved) {
        std::remove(job.tempPath.c_str());
        return false;
    }
    if (std::rename(job.tempPath.c_str(), job.outputPath.c_str()) != 0) {
        std::remove(job.tempPath.c_str());
        return false;
    }
    return true;
}

// True when both paths name the same directory entry: the same file name in
// the same folder, however the folder is spelled (".", links).
bool sameDirectoryEntry(const std::string& first, const std::string& second) {
    namespace fs = std::filesystem;
    const fs::path a(first), b(second);
    if (a.filename() != b.filename()) return false;
    std::error_code ignored;
    const fs::path folderA = a.has_parent_path() ? a.parent_path() : fs::path(".");
    const fs::path folderB = b.has_parent_path() ? b.parent_path() : fs::path(".");
    return fs::equivalent(folderA, folderB, ignored);
}

bool writeDds(ExportedPixels pixels, BatchJob& job, const ConversionSettings& settings) {
    std::lock_guard lock(ddsWriterMutex());
    const unsigned width = pixels.width;
    const unsigned height = pixels.height;
    ilEnable(IL_FILE_OVERWRITE);
    DevilImageName writerImage;
    ilBindImage(writerImage.name);
    if (!loadIntoWriter(std::move(pixels))) {
        clearWriterErrors();
        return false;
    }
    // The name is built only now, so %width% and %height% describe the
    // exported image.
    job.finalWidth = static_cast<int>(width);
    job.finalHeight = static_cast<int>(height);
    job.outputPath = buildOutputPath(job, settings);
    // A name template can yield the input's own name; the picture the file
    // is made from is never replaced by it.
    if (sameDirectoryEntry(job.outputPath, job.inputPath)) {
        clearWriterErrors();
        return false;
    }
    job.tempPath = buildTempPath(job);
    const bool saved = saveUnderFinalName(job);
    clearWriterErrors();
    return saved;
}

}  // namespace


void initDdsWriter() {
    static std::once_flag once;
    std::call_once(once, [] {
        keepImageMemoryInOneHeap();
        ilInit();
        iluInit();
    });
}

bool saveImageAsDds(ImagePtr image, BatchJob& job, const ConversionSettings& settings) {
    // A stage that yielded no image ends here: nothing is written.
    ExportedPixels pixels = exportPixels(std::move(image));
    if (!pixels.bytes) return false;
    return writeDds(std::move(pixels), job, settings);
}

