// Placeholder until the console run is built: nothing is converted.
#include "batch/command_line_batch.h"

int RunCommandLineBatch(BatchJob&, const ConversionSettings&, bool) { return 0; }
