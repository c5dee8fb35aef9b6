// The writer's one question to the system's clock: the local date and time now.
// The platform layer answers it; everything else about dates is done in pdf/.
#pragma once

#include <optional>

namespace tabulon::pdf {

// A date and time of the Gregorian calendar, as a PDF date writes it.
struct CalendarTime {
    long long year = 1970;
    int month = 1;   // 1 to 12
    int day = 1;     // 1 to 31
    int hour = 0;    // 0 to 23
    int minute = 0;  // 0 to 59
    int second = 0;  // 0 to 60 (a leap second)
};

// The local date and time now, in the user's time zone; nothing when the system
// cannot tell it.
std::optional<CalendarTime> localTimeNow();

}  // namespace tabulon::pdf
