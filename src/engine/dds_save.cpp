// The save step of the conversion: the final image's mip chain and its
// blocks (the format the setting asks for, or the picture's alpha decides)
// built in memory, written under a temporary name, then an atomic
// rename to the final name.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/dds_save.h"
#include "engine/dds_check.h"
#include "engine/dds_file.h"
#include "engine/image_memory.h"
#include "engine/naming.h"
#include "settings/checked_size.h"
#include "settings/file_handle.h"

namespace {

constexpr unsigned kExportBpp = 32;

// The final image seen top-down: FreeImage keeps its rows bottom-up.
// 4 x width x height must fit the header's 32-bit sizes, 4 x width
// FreeImage's int pitch; an empty view otherwise.
PixelLevel topDownView(const ImagePtr& image) {
    if (!image || FreeImage_GetImageType(image.get()) != FIT_BITMAP || imageBpp(image) != static_cast<int>(kExportBpp))
        return {};
    const unsigned width = FreeImage_GetWidth(image.get());
    const unsigned height = FreeImage_GetHeight(image.get());
    if (width == 0 || height == 0) return {};
    if (!checkedSize(width, 1, 4, static_cast<std::uint64_t>(std::numeric_limits<int>::max()))) return {};
    if (!checkedSize(width, height, 4, std::numeric_limits<std::uint32_t>::max())) return {};
    const auto pitch = static_cast<std::ptrdiff_t>(FreeImage_GetPitch(image.get()));
    return {FreeImage_GetScanLine(image.get(), static_cast<int>(height - 1)), -pitch, width, height};
}

// Writes the whole file under a name that did not exist a moment ago;
// false (and nothing left behind) on any failed or short write.
bool writeNewFile(const std::string& path, const DdsFileBytes& file) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool written = writeAll(fd, std::string_view(reinterpret_cast<const char*>(file.bytes.get()), file.size));
    const bool closed = ::close(fd) == 0;
    if (written && closed) return true;
    std::remove(path.c_str());
    return false;
}

// Saves under the temporary name and only then moves the file over the
// output path: a failed save or rename leaves an existing output untouched
// and no temporary file behind. rename() also replaces a read-only file.
// The file is measured once more before it may replace anything.
bool saveUnderFinalName(BatchJob& job, const DdsFileBytes& file) {
    const bool saved = writeNewFile(job.tempPath, file) &&
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

bool writeDds(ImagePtr image, BatchJob& job, const ConversionSettings& settings) {
    std::lock_guard lock(ddsWriterMutex());
    const PixelLevel top = topDownView(image);
    if (!top.top) return false;
    DdsFileBytes file = encodeDdsFile(top, formatForPicture(settings.DDSCompression, top));
    image.reset();
    return file.bytes && storeDdsFile(file, top.width, top.height, job, settings);
}

}  // namespace

// One conversion at a time, as the worker runs them; the two cores are
// shared inside it.
std::mutex& ddsWriterMutex() {
    static std::mutex mutex;
    return mutex;
}

bool storeDdsFile(const DdsFileBytes& file, std::uint32_t width, std::uint32_t height, BatchJob& job,
                  const ConversionSettings& settings) {
    // The name is built only now, so %width% and %height% describe the
    // exported image.
    job.finalWidth = static_cast<int>(width);
    job.finalHeight = static_cast<int>(height);
    job.outputPath = buildOutputPath(job, settings);
    // A name template can yield the input's own name; the picture the file
    // is made from is never replaced by it.
    if (sameDirectoryEntry(job.outputPath, job.inputPath)) return false;
    job.tempPath = buildTempPath(job);
    return saveUnderFinalName(job, file);
}

void initDdsWriter() {
    static std::once_flag once;
    std::call_once(once, [] { keepImageMemoryInOneHeap(); });
}

bool saveImageAsDds(ImagePtr image, BatchJob& job, const ConversionSettings& settings) {
    // A stage that yielded no image ends here: nothing is written.
    return writeDds(std::move(image), job, settings);
}
