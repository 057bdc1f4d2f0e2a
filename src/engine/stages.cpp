// What is asked of the stage table as a whole.
#include "engine/stages.h"

#include <algorithm>
#include <utility>

ImagePtr runStages(ImagePtr image, std::span<const StageRow> stages, const ConversionSettings& settings,
                   BatchJob& job) {
    for (const StageRow& stage : stages) image = stage.apply(std::move(image), settings, job);
    return image;
}

bool everyStageLeavesAsIs(const ConversionSettings& settings, const BatchJob& job, ImageExtent size) {
    return std::ranges::all_of(kStageOrder, [&](const StageRow& stage) { return stage.leavesAsIs(settings, job, size); });
}
