// The conversion pipeline: decode (decode.cpp), the stages in the order of
// kStageOrder, save (dds_save.cpp). Nothing is reported here; the worker
// turns the result into its log line.
#include "engine/convert.h"

#include <utility>

#include "engine/image_memory.h"
#include "engine/stages.h"

ImagePtr runStages(ImagePtr image, std::span<const StageRow> stages, const ConversionSettings& settings,
                   BatchJob& job) {
    for (const StageRow& stage : stages) image = stage.apply(std::move(image), settings, job);
    return image;
}

ImagePtr transformImage(ImagePtr image, const ConversionSettings& settings, BatchJob& job) {
    return runStages(std::move(image), kStageOrder, settings, job);
}

bool convertFile(BatchJob& job, const ConversionSettings& settings) {
    initDdsWriter();
    job.outputPath.clear();  // set again only when this file is saved
    job.tempPath.clear();
    ImagePtr image = decodeInput(job, settings);
    const bool converted = image && saveImageAsDds(transformImage(std::move(image), settings, job), job, settings);
    returnImageMemory();
    return converted;
}
