#include "pdf_date.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "pdf_format.h"

namespace tabulon::pdf {

namespace {

void appendTwoDigits(std::string& text, int value)
{
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

// Whole floor division, for counts before the epoch.
long long floorDivide(long long value, long long divisor, long long& remainder)
{
    long long quotient = value / divisor;
    remainder = value % divisor;
    if (remainder < 0) {
        remainder += divisor;
        --quotient;
    }
    return quotient;
}

}  // namespace

std::string pdfDate(const CalendarTime& time)
{
    std::string text = "D:";
    char digits[24];
    text.append(digits, static_cast<std::size_t>(formatInteger(digits, time.year)));
    appendTwoDigits(text, time.month);
    appendTwoDigits(text, time.day);
    appendTwoDigits(text, time.hour);
    appendTwoDigits(text, time.minute);
    appendTwoDigits(text, time.second);
    return text;
}

std::optional<CalendarTime> utcTimeOfEpoch(long long seconds)
{
    // The Gregorian calendar repeats every 400 years (146,097 days): whole cycles
    // are taken off first, so the calendar types only ever see a day of the cycle
    // that starts in 1970, whatever the count.
    constexpr long long kSecondsPerDay = 86400;
    constexpr long long kDaysPerCycle = 146097;
    long long secondOfDay = 0;
    long long days = floorDivide(seconds, kSecondsPerDay, secondOfDay);
    long long dayOfCycle = 0;
    long long cycles = floorDivide(days, kDaysPerCycle, dayOfCycle);

    const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{dayOfCycle}}};
    const std::chrono::hh_mm_ss<std::chrono::seconds> clock{std::chrono::seconds{secondOfDay}};
    CalendarTime time;
    time.year = static_cast<int>(date.year()) + 400 * cycles;
    if (time.year > kLastDateYear) return std::nullopt;
    time.month = static_cast<int>(static_cast<unsigned>(date.month()));
    time.day = static_cast<int>(static_cast<unsigned>(date.day()));
    time.hour = static_cast<int>(clock.hours().count());
    time.minute = static_cast<int>(clock.minutes().count());
    time.second = static_cast<int>(clock.seconds().count());
    return time;
}

std::string creationDate()
{
    std::optional<CalendarTime> when;
    bool fromEpoch = false;
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch != nullptr && *epoch != '\0') {
        char* end = nullptr;
        errno = 0;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (errno == 0 && end != nullptr && *end == '\0' && seconds >= 0) {
            when = utcTimeOfEpoch(seconds);
            fromEpoch = true;
        }
    }
    if (!fromEpoch) when = localTimeNow();
    return when ? pdfDate(*when) : "D:";
}

}  // namespace tabulon::pdf
