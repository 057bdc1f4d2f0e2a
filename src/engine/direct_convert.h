// The conversion that changes nothing but the format, the common case
// (direct_convert.cpp); convertFile tries it first.
#pragma once

#include "settings/batch_job.h"
#include "settings/settings.h"

// A conversion that changes nothing but the format (every stage leaves
// the picture as it is) of a PNG kind the direct decode takes
// (engine/png_decode.h): decoded straight into the writer's buffer and
// compressed while it decodes. NotTaken leaves the file to the general
// path (nothing written, nothing reported); Failed when the file was made
// but could not be stored.
enum class FormatOnlyOutcome { Converted, Failed, NotTaken };
FormatOnlyOutcome convertOnlyTheFormat(BatchJob& job, const ConversionSettings& settings);
