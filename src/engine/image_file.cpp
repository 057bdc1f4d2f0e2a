#include "engine/image_file.h"

#include <cstdio>

#include "settings/file_handle.h"

namespace {

std::FILE* streamOf(fi_handle handle) { return static_cast<std::FILE*>(handle); }

unsigned DLL_CALLCONV readBytes(void* buffer, unsigned size, unsigned count, fi_handle handle) {
    return static_cast<unsigned>(std::fread(buffer, size, count, streamOf(handle)));
}

unsigned DLL_CALLCONV refuseWrite(void*, unsigned, unsigned, fi_handle) { return 0; }

int DLL_CALLCONV seekTo(fi_handle handle, long offset, int origin) { return std::fseek(streamOf(handle), offset, origin); }

long DLL_CALLCONV tellPosition(fi_handle handle) { return std::ftell(streamOf(handle)); }

FreeImageIO readOnlyIo() { return FreeImageIO{readBytes, refuseWrite, seekTo, tellPosition}; }

}  // namespace

FREE_IMAGE_FORMAT imageFileFormat(const std::string& path) {
    const FilePtr file = openRegularFile(path);
    if (!file) return FIF_UNKNOWN;
    FreeImageIO io = readOnlyIo();
    return FreeImage_GetFileTypeFromHandle(&io, file.get(), 0);
}

ImagePtr loadImageFile(FREE_IMAGE_FORMAT format, const std::string& path, int flags) {
    const FilePtr file = openRegularFile(path);
    if (!file) return nullptr;
    FreeImageIO io = readOnlyIo();
    return ImagePtr(FreeImage_LoadFromHandle(format, &io, file.get(), flags));
}
