// The DDS writer (dds_save.cpp): the save step of the general path, and the
// storing of a finished file that the direct path shares.
#pragma once

#include <cstdint>
#include <mutex>

#include "engine/dds_file.h"
#include "engine/image.h"
#include "settings/batch_job.h"
#include "settings/settings.h"

// Prepares the DDS writer once for the process (how image buffers are
// placed in the heap); start-up calls it, and convertFile calls it again in
// case nobody did.
void initDdsWriter();

// One conversion at a time holds the DDS writer, which keeps both cores
// busy.
std::mutex& ddsWriterMutex();

// Names the output file from the template (%width% and %height% are the
// exported picture's) and stores the finished file there through a
// temporary file and a rename.
bool storeDdsFile(const DdsFileBytes& file, std::uint32_t width, std::uint32_t height, BatchJob& job,
                  const ConversionSettings& settings);

// The save step: takes the final image (which must be 32-bit), builds the
// mipmaps and encodes them in the format of the DDS Compression setting,
// names the file and stores it. False for a missing image, without
// touching any file.
bool saveImageAsDds(ImagePtr image, BatchJob& job, const ConversionSettings& settings);
