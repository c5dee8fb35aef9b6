// The writer's clock on Windows: the local time as the system keeps it, in the
// time zone the user set.
#include <windows.h>

#include "system_clock.h"

namespace tabulon::pdf {

std::optional<CalendarTime> localTimeNow()
{
    SYSTEMTIME local{};
    GetLocalTime(&local);
    CalendarTime time;
    time.year = local.wYear;
    time.month = local.wMonth;
    time.day = local.wDay;
    time.hour = local.wHour;
    time.minute = local.wMinute;
    time.second = local.wSecond;
    return time;
}

}  // namespace tabulon::pdf
