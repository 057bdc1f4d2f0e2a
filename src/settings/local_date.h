// The "local date value" times pass through: seconds since 1970-01-01
// 00:00:00 of the local clock, read as if it were UTC.
#pragma once

#include <cstdint>
#include <ctime>

// The local date value of a system time; -1 when the local time is unknown.
std::int64_t localDateFromFileTime(std::time_t fileTime);
// The system time of a local date value, the local rules deciding summer time.
std::time_t fileTimeFromLocalDate(std::int64_t localDate);
