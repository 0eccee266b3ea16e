// The local date with its weekday as a kanji, and the time of day.
#include "platform/backend.h"
#include "platform/win/system_info.h"
#include "system/system.h"

#include <cstring>

namespace elSystem {

namespace {

const char* const Weekdays[7] = {"日", "月", "火", "水", "木", "金", "土"};

} // namespace

char* Date(int* year, int* month, int* day, char* text) {
    platform::SYSTEMTIME now{};
    platform::GetLocalTime(&now);
    *year = now.wYear;
    *month = now.wMonth;
    *day = now.wDay;
    std::strcpy(text, Weekdays[now.wDayOfWeek % 7]);
    return text;
}

void Time(int* hour, int* minute, int* second) {
    platform::SYSTEMTIME now{};
    platform::GetLocalTime(&now);
    *hour = now.wHour;
    *minute = now.wMinute;
    *second = now.wSecond;
}

} // namespace elSystem
