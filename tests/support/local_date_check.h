// What a "local date value" is, stated apart from the program's own
// conversion so the tests can check it: the seconds of the local clock read
// as if they were UTC, that is the instant plus the local zone's offset at
// that instant. The unit and end-to-end tests share this one statement.
#pragma once

#include <ctime>

inline long long localZoneOffset(std::time_t instant) {
    std::tm local{};
    localtime_r(&instant, &local);
    return local.tm_gmtoff;
}

// The local date value of an instant.
inline long long localDateOf(std::time_t instant) { return instant + localZoneOffset(instant); }

// The instant whose local date value is `value`, away from a clock change
// (where a local reading is missing or repeated).
inline long long instantOfLocalDate(long long value) {
    const long long guess = value - localZoneOffset(static_cast<std::time_t>(value));
    return value - localZoneOffset(static_cast<std::time_t>(guess));
}
