// Dates as the info dictionary writes them: "D:" followed by year, month, day,
// hour, minute and second.
#pragma once

#include <optional>
#include <string>

#include "system_clock.h"

namespace tabulon::pdf {

// "D:YYYYMMDDHHmmSS"; the year as many digits as it has.
std::string pdfDate(const CalendarTime& time);

// The last year a date is written for, the largest signed 32-bit number. Only a
// SOURCE_DATE_EPOCH of more than 6.7e16 seconds goes past it; its date is empty.
inline constexpr long long kLastDateYear = 2147483647;

// The date and time in UTC `seconds` after 1970-01-01 00:00:00 UTC (before it for
// a negative count); nothing for a year past kLastDateYear.
std::optional<CalendarTime> utcTimeOfEpoch(long long seconds);

// The document's creation date: SOURCE_DATE_EPOCH when it is set to a count of
// seconds that is not negative (reproducible output, taken as UTC like other
// document tools do), else the local time now; "D:" alone when there is no time.
std::string creationDate();

}  // namespace tabulon::pdf
