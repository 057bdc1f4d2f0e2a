// The conversion pipeline: a conversion that only changes the format goes
// the direct way (direct_convert.cpp); any other decodes (decode.cpp), runs
// the stages in the order of kStageOrder and saves (dds_save.cpp). Nothing is reported here; the worker
// turns the result into its log line.
#include "engine/convert.h"

#include <algorithm>
#include <utility>

#include "engine/image_memory.h"
#include "engine/stages.h"

ImagePtr runStages(ImagePtr image, std::span<const StageRow> stages, const ConversionSettings& settings,
                   BatchJob& job) {
    for (const StageRow& stage : stages) image = stage.apply(std::move(image), settings, job);
    return image;
}

bool everyStageLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size) {
    return std::ranges::all_of(kStageOrder, [&](const StageRow& stage) { return stage.leavesAsIs(settings, job, size); });
}

ImagePtr transformImage(ImagePtr image, const ConversionSettings& settings, BatchJob& job) {
    return runStages(std::move(image), kStageOrder, settings, job);
}

bool convertFile(BatchJob& job, const ConversionSettings& settings) {
    initDdsWriter();
    job.outputPath.clear();  // set again only when this file is saved
    job.tempPath.clear();
    const FormatOnlyOutcome formatOnly = convertOnlyTheFormat(job, settings);
    if (formatOnly != FormatOnlyOutcome::NotTaken) {
        returnImageMemory();
        return formatOnly == FormatOnlyOutcome::Converted;
    }
    ImagePtr image = decodeInput(job, settings);
    const bool converted = image && saveImageAsDds(transformImage(std::move(image), settings, job), job, settings);
    returnImageMemory();
    return converted;
}
