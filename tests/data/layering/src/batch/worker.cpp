// Fixture: ...and the worker the queue: a circle.
#include "batch/worker.h"
#include "queue.h"
