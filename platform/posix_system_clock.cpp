// The writer's clock on POSIX systems: the local time from the C library, which
// follows the TZ variable and the system's time zone.
#include <time.h>

#include "system_clock.h"

namespace tabulon::pdf {

std::optional<CalendarTime> localTimeNow()
{
    const time_t now = ::time(nullptr);
    struct tm local {};
    if (::localtime_r(&now, &local) == nullptr) return std::nullopt;
    CalendarTime time;
    time.year = static_cast<long long>(local.tm_year) + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    return time;
}

}  // namespace tabulon::pdf
