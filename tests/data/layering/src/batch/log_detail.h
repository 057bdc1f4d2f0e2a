// Fixture: the inside of log, one unit with log.h and log.cpp.
#pragma once
#include "batch/log.h"
