// Converts the file in hand (job.inputPath) into a DDS file named from the
// output name template. Runs on the worker thread.
#pragma once

#include "engine/image.h"
#include "settings/batch_job.h"
#include "settings/settings.h"

// True when the DDS file was written under its final name. On failure no
// temporary file is left and an existing file at the output path is kept.
bool convertFile(BatchJob& job, const ConversionSettings& settings);

// The decode step of the general path: checks the PNG header and decodes
// the input with FreeImage. Sets job.sourceBitDepth; null
// when the file cannot be decoded or announces a picture too large to
// convert.
ImagePtr decodeInput(BatchJob& job);

// The transform step: every stage of kStageOrder (engine/stages.h).
ImagePtr transformImage(ImagePtr image, const ConversionSettings& settings, BatchJob& job);
