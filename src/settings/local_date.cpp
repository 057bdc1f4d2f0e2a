#include "settings/local_date.h"

std::int64_t localDateFromFileTime(std::time_t fileTime) {
    std::tm local{};
    if (!localtime_r(&fileTime, &local)) return -1;
    return static_cast<std::int64_t>(timegm(&local));
}

std::time_t fileTimeFromLocalDate(std::int64_t localDate) {
    const auto asTime = static_cast<std::time_t>(localDate);
    std::tm fields{};
    gmtime_r(&asTime, &fields);
    fields.tm_isdst = -1;  // let the local rules decide summer time
    return mktime(&fields);
}
