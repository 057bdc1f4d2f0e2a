#include "engine/dds_check.h"

#include "engine/dds_read.h"
#include "engine/mip_chain.h"

// The reader checks the header against the bytes the file holds and keeps
// only the levels that are complete, so a file is whole when it names the
// picture's size and holds its full chain.
bool isCompleteDdsFile(const std::string& path, std::uint32_t width, std::uint32_t height) {
    const DdsFile file = openDdsFile(path);
    return file.info.ok && file.info.width == width && file.info.height == height &&
           file.info.levels.size() == mipLevelCount(width, height);
}
