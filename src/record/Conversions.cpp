#include "record/Conversions.h"

#include <cmath>
#include <limits>

namespace tellurim {

namespace {

// The factors are single-precision values and are used at that precision:
// stored angles and elevations depend on their exact bits.
constexpr float kOneSixtieth = 0.016666668f;
constexpr float kOne3600th = 0.00027777778f;
constexpr float kMetresPerFoot = 0.3048f;
constexpr float kFeetPerMetre = 3.28084f;

}  // namespace

float roundToSingle(double value)
{
    constexpr double kMax = static_cast<double>(std::numeric_limits<float>::max());
    if (value > kMax) {
        // Values between FLT_MAX and the rounding boundary still round down.
        return value < kMax * (1.0 + 0x1p-25) ? std::numeric_limits<float>::max()
                                               : std::numeric_limits<float>::infinity();
    }
    if (value < -kMax) {
        return value > -kMax * (1.0 + 0x1p-25) ? -std::numeric_limits<float>::max()
                                                : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

int32_t truncateToInt32(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

float dmsToDecimal(int32_t degrees, int32_t minutes, float seconds)
{
    const double decimal = static_cast<double>(minutes) * static_cast<double>(kOneSixtieth) +
                           static_cast<double>(seconds) * static_cast<double>(kOne3600th) +
                           static_cast<double>(degrees);
    return roundToSingle(decimal);
}

DegreesMinutesSeconds decimalToDms(float decimalDegrees)
{
    const double decimal = static_cast<double>(decimalDegrees);
    DegreesMinutesSeconds dms;
    dms.degrees = truncateToInt32(decimal);
    dms.minutes = truncateToInt32((decimal - dms.degrees) * 60.0);
    dms.seconds = roundToSingle(decimal * 3600.0 - static_cast<double>(dms.degrees) * 3600.0 -
                           static_cast<double>(dms.minutes) * 60.0);
    return dms;
}

float feetToMetres(float feet)
{
    return roundToSingle(static_cast<double>(feet) * static_cast<double>(kMetresPerFoot));
}

float metresToFeet(float metres)
{
    return roundToSingle(static_cast<double>(metres) * static_cast<double>(kFeetPerMetre));
}

float dateToDecimalYear(int32_t month, int32_t day, int32_t year)
{
    // The month indexes the table; a month out of range (from a damaged file)
    // must not read outside it.
    const int32_t safeMonth = month < 1 ? 1 : (month > 12 ? 12 : month);
    const int32_t length = daysInYear(year);
    int64_t dayNumber = int64_t{kMonthStart[static_cast<size_t>(safeMonth - 1)]} + day;
    if (safeMonth > 2 && length == 366) {
        ++dayNumber;
    }
    return roundToSingle(static_cast<double>(year) +
                    static_cast<double>(dayNumber) / static_cast<double>(length));
}

CalendarDate decimalYearToDate(float decimalYear, int32_t heldMonth, int32_t heldDay)
{
    const double value = static_cast<double>(decimalYear);
    CalendarDate date{truncateToInt32(value), heldMonth, heldDay};
    const int32_t length = daysInYear(date.year);
    const bool leap = length == 366;
    // The nearest whole day number: 0 for a fraction under half a day.
    const int32_t n = truncateToInt32((value - static_cast<double>(date.year)) * length + 0.5);
    for (int32_t month = 1; month <= 12; ++month) {
        const int32_t end = kMonthStart[static_cast<size_t>(month)] + (leap && month >= 2 ? 1 : 0);
        if (n <= end) {
            const int32_t start =
                kMonthStart[static_cast<size_t>(month - 1)] + (leap && month >= 3 ? 1 : 0);
            date.month = month;
            date.day = n - start;
            if (date.day <= 0) {
                date.day = 1;
            }
            return date;
        }
    }
    return date;
}

}  // namespace tellurim
