// Values the defaults routine needs from outside the settings: the primary
// desktop size (for centring the main window) and the local clock.
#pragma once

#include <cstdint>

// The window mode tells the defaults routine how large the primary desktop
// is once it knows; until then a 1920 x 1080 desktop is assumed.
void setPrimaryDesktopSize(int width, int height);

// The current date and time as seconds since 1970-01-01 00:00:00 of the
// local clock read as if it were UTC (the form stored in Update Date and
// Custom Timestamp).
std::int32_t localDateValueNow();
// The same in 64 bits, for date arithmetic that must not wrap in 2038.
std::int64_t localDateSecondsNow();
