// Where a run's log lines go. The batch layer prints nothing itself: the
// console front end passes its line printer, a caller without a console
// passes nullptr. The sink may be called from the worker thread.
#pragma once

#include <string_view>

using LogSink = void (*)(std::string_view line);
