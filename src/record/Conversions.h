#pragma once

#include "record/CalendarDate.h"

#include <array>
#include <cstdint>

namespace tellurim {

/// Days of a common year before the first day of each month; the last entry
/// is the length of a common year. Leap years add their day by rule instead
/// of through a second table.
inline constexpr std::array<int32_t, 13> kMonthStart = {0,   31,  59,  90,  120, 151, 181,
                                                        212, 243, 273, 304, 334, 365};

/// An angle as whole degrees, whole minutes and seconds. The parts carry the
/// sign of the decimal value they came from.
struct DegreesMinutesSeconds {
    int32_t degrees = 0;
    int32_t minutes = 0;
    float seconds = 0.0f;
};

// CalendarDate (year, month, day) is the one of record/CalendarDate.h.

/// Degrees, minutes (1/60 degree) and seconds (1/3600 degree) to decimal
/// degrees. Every stored angle and file depends on the exact single-precision
/// result, so the sum is formed in double and rounded to single once.
float dmsToDecimal(int32_t degrees, int32_t minutes, float seconds);

/// Decimal degrees to degrees, minutes and seconds. Degrees and minutes are
/// truncated toward zero; the seconds keep whatever fraction the single value
/// implies (30.508333 gives 29.9995 seconds, not 30): nothing is rounded or
/// carried.
DegreesMinutesSeconds decimalToDms(float decimalDegrees);

/// Elevation in feet to metres.
float feetToMetres(float feet);

/// Elevation in metres to feet. The two factors are single-precision values
/// and not exact reciprocals (their product is 1.00000002).
float metresToFeet(float metres);

/// A calendar date to a decimal year: year + day of year / days in year,
/// 1 January counting as day 1, so the last day of a year gives the next
/// whole year. Every year divisible by 4 has 366 days. The day is not
/// checked against its month (31 February is 3 March of a common year); a
/// month outside 1 to 12 is taken as the nearest of the two ends.
float dateToDecimalYear(int32_t month, int32_t day, int32_t year);

/// A decimal year to the nearest calendar date. When the fraction lies past
/// the year's last day, which only values out of reach of a single-precision
/// decimal year can do, the month and day keep the values held before
/// (heldMonth, heldDay).
CalendarDate decimalYearToDate(float decimalYear, int32_t heldMonth, int32_t heldDay);

/// Truncates toward zero like a C cast to int, but saturates at the limits
/// of a 32-bit integer and gives 0 for NaN, where the cast is undefined.
int32_t truncateToInt32(double value);

/// Rounds a double to single precision as a store does; values beyond the
/// single range become infinities instead of undefined behaviour.
float roundToSingle(double value);

}  // namespace tellurim
