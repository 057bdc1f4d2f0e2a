// Fixture: includes its own inside, which includes its own header: no circle.
#include "batch/log.h"
#include "batch/log_detail.h"
