#include "record/Conversions.h"

#include "support/TestText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace tellurim {
namespace {

// The main window shows singles with six significant digits.
std::string shown(float value)
{
    return cFormat("%g", static_cast<double>(value));
}

std::string fixed6(float value)
{
    return cFormat("%f", static_cast<double>(value));
}

// Comparable and printable forms of the conversion results.
std::tuple<int32_t, int32_t> degreesMinutes(const DegreesMinutesSeconds& dms)
{
    return {dms.degrees, dms.minutes};
}

std::tuple<int32_t, int32_t, int32_t> ymd(const CalendarDate& date)
{
    return {date.year, date.month, date.day};
}

TEST(AngleConversion, SecondsSurviveAsTheSingleImplies)
{
    const float decimal = dmsToDecimal(30, 30, 30.0f);
    EXPECT_EQ(fixed6(decimal), "30.508333");
    EXPECT_EQ(shown(decimal), "30.5083");

    const DegreesMinutesSeconds back = decimalToDms(decimal);
    EXPECT_EQ(degreesMinutes(back), std::tuple(30, 30));
    EXPECT_EQ(shown(back.seconds), "29.9995");

    // The shown text converts back, not the single behind it.
    const DegreesMinutesSeconds fromText = decimalToDms(30.5083f);
    EXPECT_EQ(degreesMinutes(fromText), std::tuple(30, 30));
    EXPECT_EQ(shown(fromText.seconds), "29.8828");
}

TEST(AngleConversion, ExactAnglesConvertBothWaysExactlyAndNearlyNinetyRoundsToNinety)
{
    EXPECT_EQ(dmsToDecimal(39, 45, 0.0f), 39.75f);
    const DegreesMinutesSeconds back = decimalToDms(39.75f);
    EXPECT_EQ(degreesMinutes(back), std::tuple(39, 45));
    EXPECT_EQ(back.seconds, 0.0f);

    const float ninety = dmsToDecimal(89, 59, 59.99f);
    EXPECT_EQ(ninety, 90.0f);
    const DegreesMinutesSeconds top = decimalToDms(ninety);
    EXPECT_EQ(degreesMinutes(top), std::tuple(90, 0));
    EXPECT_EQ(top.seconds, 0.0f);

    // No carry and no range check: the window's validation rejects 91 later.
    EXPECT_EQ(dmsToDecimal(90, 60, 0.0f), 91.0f);
}

TEST(AngleConversion, SecondsStayBelowSixtyJustUnderAWholeDegree)
{
    const DegreesMinutesSeconds dms = decimalToDms(std::nextafter(31.0f, 0.0f));
    EXPECT_EQ(degreesMinutes(dms), std::tuple(30, 59));
    EXPECT_LT(dms.seconds, 60.0f);
    EXPECT_GT(dms.seconds, 59.9f);
}

TEST(AngleConversion, ValuesBeyondIntegersDoNotCrash)
{
    EXPECT_EQ(degreesMinutes(decimalToDms(std::numeric_limits<float>::quiet_NaN())), std::tuple(0, 0));
    EXPECT_EQ(decimalToDms(1e30f).degrees, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(decimalToDms(-1e30f).degrees, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(truncateToInt32(-2.9), -2);
    EXPECT_EQ(truncateToInt32(2147483647.5), std::numeric_limits<int32_t>::max());
    EXPECT_TRUE(std::isinf(roundToSingle(1e300)));
    EXPECT_EQ(roundToSingle(-1e300), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(roundToSingle(static_cast<double>(std::numeric_limits<float>::max())),
              std::numeric_limits<float>::max());
}

TEST(ElevationConversion, ThirtyMetresRoundTrip)
{
    const float feet = metresToFeet(30.0f);
    EXPECT_EQ(shown(feet), "98.4252");
    EXPECT_EQ(shown(feetToMetres(feet)), "30");
    // The factors are singles and not exact reciprocals: the round trip
    // lands within one unit of the last place, not always on the value.
    EXPECT_NEAR(feetToMetres(feet), 30.0f, 2e-6f);
    EXPECT_EQ(feetToMetres(1.0f), 0.3048f);
    EXPECT_EQ(metresToFeet(1.0f), 3.28084f);
    EXPECT_EQ(fixed6(feetToMetres(5280.0f)), "1609.343994");
}

TEST(ElevationConversion, FeetLeaveTheirRangeWhereTheMetresDoNot)
{
    EXPECT_GT(metresToFeet(914401.0f), 3000000.0f);
    EXPECT_LE(metresToFeet(914399.0f), 3000000.0f);
    EXPECT_LT(metresToFeet(-182.9f), -600.0f);
    EXPECT_GE(metresToFeet(-182.87f), -600.0f);
}

TEST(DateConversion, LastDayOfTheYearIsTheNextWholeYearAndUnderHalfADayTheFirstOfJanuary)
{
    EXPECT_EQ(dateToDecimalYear(12, 31, 2023), 2024.0f);
    EXPECT_EQ(ymd(decimalYearToDate(2024.0f, 7, 4)), std::tuple(2024, 1, 1));
    EXPECT_EQ(dateToDecimalYear(1, 1, 2023), static_cast<float>(2023.0 + 1.0 / 365.0));
    EXPECT_EQ(ymd(decimalYearToDate(static_cast<float>(2023.0 + 0.4 / 365.0), 5, 5)), std::tuple(2023, 1, 1));
}

TEST(DateConversion, LeapDayAndTheDayAfter)
{
    const float leapDay = dateToDecimalYear(2, 29, 2000);
    EXPECT_EQ(leapDay, static_cast<float>(2000.0 + 60.0 / 366.0));
    EXPECT_EQ(shown(leapDay), "2000.16");
    EXPECT_EQ(ymd(decimalYearToDate(leapDay, 1, 1)), std::tuple(2000, 2, 29));

    const float march = dateToDecimalYear(3, 1, 2000);
    EXPECT_EQ(march, static_cast<float>(2000.0 + 61.0 / 366.0));
    EXPECT_EQ(ymd(decimalYearToDate(march, 1, 1)), std::tuple(2000, 3, 1));
}

TEST(DateConversion, EveryYearDivisibleByFourIsLeap)
{
    EXPECT_EQ(daysInYear(1900), 366);
    EXPECT_EQ(daysInYear(2100), 366);
    EXPECT_EQ(daysInYear(2000), 366);
    EXPECT_EQ(daysInYear(2023), 365);
    EXPECT_EQ(dateToDecimalYear(3, 1, 1900), static_cast<float>(1900.0 + 61.0 / 366.0));
    EXPECT_EQ(dateToDecimalYear(12, 31, 2100), 2101.0f);
    EXPECT_EQ(ymd(decimalYearToDate(dateToDecimalYear(2, 29, 2100), 1, 1)), std::tuple(2100, 2, 29));
}

TEST(DateConversion, OddDaysAndMonthsDoNotReadPastTheTable)
{
    // The thirty-first of February is the third of March.
    EXPECT_EQ(dateToDecimalYear(2, 31, 2023), dateToDecimalYear(3, 3, 2023));
    EXPECT_EQ(dateToDecimalYear(13, 1, 2023), dateToDecimalYear(12, 1, 2023));
    EXPECT_EQ(dateToDecimalYear(0, 1, 2023), dateToDecimalYear(1, 1, 2023));
    EXPECT_EQ(dateToDecimalYear(-2147483647 - 1, 1, 2023), dateToDecimalYear(1, 1, 2023));
}

TEST(DateConversion, NaNDecimalYearGivesADateWithoutCrashing)
{
    const CalendarDate date = decimalYearToDate(std::numeric_limits<float>::quiet_NaN(), 6, 15);
    EXPECT_EQ(date.year, 0);
    EXPECT_GE(date.month, 1);
    EXPECT_LE(date.month, 12);
    EXPECT_GE(date.day, 1);
}

TEST(DateConversion, EveryCalendarDateRoundTripsExceptTheLastOfTheYear)
{
    for (const int32_t year : {1999, 2000, 2001, 2024, 2025, 2026, 1000, 2999}) {
        const int32_t lengths[] = {31, year % 4 == 0 ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        for (int32_t month = 1; month <= 12; ++month) {
            for (int32_t day = 1; day <= lengths[month - 1] && (month < 12 || day < 31); ++day)
                EXPECT_EQ(ymd(decimalYearToDate(dateToDecimalYear(month, day, year), 0, 0)),
                          std::tuple(year, month, day));
        }
    }
}

}  // namespace
}  // namespace tellurim
