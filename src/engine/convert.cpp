// The conversion pipeline: a conversion that only changes the format goes
// the direct way (direct_convert.cpp); any other decodes (decode.cpp), runs
// the stages in the order of kStageOrder and saves (dds_save.cpp). Nothing is reported here; the worker
// turns the result into its log line.
#include "engine/convert.h"

#include <utility>

#include "engine/dds_save.h"
#include "engine/direct_convert.h"
#include "engine/image_memory.h"
#include "engine/stages.h"

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
    ImagePtr image = decodeInput(job);
    const bool converted = image && saveImageAsDds(transformImage(std::move(image), settings, job), job, settings);
    returnImageMemory();
    return converted;
}
