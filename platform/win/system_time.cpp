// Records of moments of the proleptic Gregorian calendar, counted the same on
// every system.
#include "platform/win/system_info.h"

namespace platform {

namespace {

// Days from 1970-01-01 to the date; months past December and days past a
// month's end run on into the following ones, as the C library counts them.
std::int64_t DaysSince1970(std::int64_t year, std::int64_t month, std::int64_t day) {
    // Months from March, so that February's leap day ends a year.
    std::int64_t months = year * 12 + month - 3;
    const std::int64_t shifted = (months >= 0 ? months : months - 11) / 12;
    const std::int64_t inYear = months - shifted * 12;
    const std::int64_t era = (shifted >= 0 ? shifted : shifted - 399) / 400;
    const std::int64_t ofEra = shifted - era * 400;
    const std::int64_t dayOfYear = (153 * inYear + 2) / 5;
    const std::int64_t dayOfEra = ofEra * 365 + ofEra / 4 - ofEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + day - 1;
}

// 0 for Sunday; 1970-01-01 was a Thursday.
WORD WeekdayOf(std::int64_t days) { return static_cast<WORD>(((days + 4) % 7 + 7) % 7); }

} // namespace

SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour, int minute, int second,
                          int milliseconds) {
    return SYSTEMTIME{static_cast<WORD>(year),
                      static_cast<WORD>(month),
                      WeekdayOf(DaysSince1970(year, month, day)),
                      static_cast<WORD>(day),
                      static_cast<WORD>(hour),
                      static_cast<WORD>(minute),
                      static_cast<WORD>(second),
                      static_cast<WORD>(milliseconds)};
}

} // namespace platform
