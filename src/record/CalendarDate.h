#pragma once

#include <cstdint>

namespace tellurim {

/// A calendar date in the local time zone.
struct CalendarDate {
    int year = 2000;
    int month = 1;  ///< 1 to 12
    int day = 1;    ///< 1 to 31
};

/// The program's calendar: every year divisible by 4 is a leap year (1900
/// and 2100 included), as every stored decimal year was computed that way.
constexpr bool isLeapYear(int32_t year)
{
    return year % 4 == 0;
}

/// Days in a year: 366 in a leap year, else 365.
constexpr int32_t daysInYear(int32_t year)
{
    return isLeapYear(year) ? 366 : 365;
}

/// Days in a month (1 to 12) of the program's calendar; 0 for another month.
constexpr int32_t daysInMonth(int32_t year, int32_t month)
{
    constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace tellurim
