// Fixture: the engine reaching up into the batch layer.
#include <vector>

#include "batch/worker.h"
#include "settings/text.h"
