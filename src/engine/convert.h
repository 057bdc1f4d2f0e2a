// Converts the file in hand (job.inputPath) into a DDS file named from the
// output name template. Runs on the worker thread.
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

// True when the DDS file was written under its final name. On failure no
// temporary file is left and an existing file at the output path is kept.
bool convertFile(BatchJob& job, const ConversionSettings& settings);

// A conversion that changes nothing but the format (every stage leaves
// the picture as it is) of a PNG kind the direct decode takes
// (engine/png_decode.h): decoded straight into the writer's buffer and
// compressed while it decodes. NotTaken leaves the file to the general
// path (nothing written, nothing reported); Failed when the file was made
// but could not be stored.
enum class FormatOnlyOutcome { Converted, Failed, NotTaken };
FormatOnlyOutcome convertOnlyTheFormat(BatchJob& job, const ConversionSettings& settings);

// The decode step of the general path: checks the PNG header, prepares the
// heap and decodes the input with FreeImage. Sets job.sourceBitDepth; null
// when the file cannot be decoded or announces a picture too large to
// convert.
ImagePtr decodeInput(BatchJob& job, const ConversionSettings& settings);

// The transform step: every stage of kStageOrder (engine/stages.h).
ImagePtr transformImage(ImagePtr image, const ConversionSettings& settings, BatchJob& job);

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
// names the file and stores it. False for a
// missing image, without touching any file.
bool saveImageAsDds(ImagePtr image, BatchJob& job, const ConversionSettings& settings);
