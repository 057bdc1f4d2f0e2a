// Fixture: Qt in the console layer.
#include <queue>
#include <QWidget>
#  include <qtconfig.h>
#include "batch/worker.h"
