// Fixture: the queue uses the worker...
#include "batch/queue.h"
#include "batch/worker.h"
#include "batch/log.h"
