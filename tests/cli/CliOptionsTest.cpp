#include "cli/CliOptions.h"
#include "cli/ValueParsing.h"
#include "record/Conversions.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

namespace tellurim::cli {
namespace {

Checked<CliOptions> parse(std::vector<std::string_view> args)
{
    return parseCommandLine(args);
}

TEST(CliCoordinates, HemisphereLettersReplaceTheSign)
{
    EXPECT_EQ(*parseCoordinate("45.5S", "--lat", Axis::Latitude).value, -45.5f);
    EXPECT_EQ(*parseCoordinate("45.5n", "--lat", Axis::Latitude).value, 45.5f);
    EXPECT_EQ(*parseCoordinate("105W", "--lon", Axis::Longitude).value, -105.0f);
    EXPECT_EQ(*parseCoordinate("105e", "--lon", Axis::Longitude).value, 105.0f);
    EXPECT_EQ(*parseCoordinate("-33.25", "--lat", Axis::Latitude).value, -33.25f);
    EXPECT_EQ(*parseCoordinate("+12", "--lon", Axis::Longitude).value, 12.0f);
    // A zero from the south is still written as an unsigned zero later.
    const float southZero = *parseCoordinate("0S", "--lat", Axis::Latitude).value;
    EXPECT_FALSE(std::signbit(southZero));
}

TEST(CliCoordinates, SignWithLetterOrLetterOfOtherAxisIsRefused)
{
    const auto signAndLetter = parseCoordinate("-45.5S", "--lat", Axis::Latitude);
    ASSERT_FALSE(signAndLetter);
    EXPECT_EQ(signAndLetter.error, "--lat takes either a sign or a hemisphere letter, not both (got -45.5S)");
    EXPECT_FALSE(parseCoordinate("+10E", "--lon", Axis::Longitude));

    const auto wrongAxis = parseCoordinate("45E", "--lat", Axis::Latitude);
    ASSERT_FALSE(wrongAxis);
    EXPECT_EQ(wrongAxis.error, "--lat takes the hemisphere letter N or S, not E (got 45E)");
    EXPECT_FALSE(parseCoordinate("10N", "--lon", Axis::Longitude));
    EXPECT_FALSE(parseCoordinate("S", "--lat", Axis::Latitude));
    EXPECT_FALSE(parseCoordinate("10SS", "--lat", Axis::Latitude));
}

TEST(CliCoordinates, RangesAreInclusiveAndNamedInTheMessage)
{
    EXPECT_EQ(*parseCoordinate("90", "--lat", Axis::Latitude).value, 90.0f);
    EXPECT_EQ(*parseCoordinate("90S", "--lat", Axis::Latitude).value, -90.0f);
    EXPECT_EQ(*parseCoordinate("-180", "--lon", Axis::Longitude).value, -180.0f);
    EXPECT_EQ(*parseCoordinate("180E", "--lon", Axis::Longitude).value, 180.0f);

    EXPECT_EQ(parseCoordinate("91", "--lat", Axis::Latitude).error, "--lat must be between -90 and 90 (got 91)");
    EXPECT_EQ(parseCoordinate("90.01S", "--lat", Axis::Latitude).error,
              "--lat must be between -90 and 90 (got 90.01S)");
    EXPECT_EQ(parseCoordinate("180.5W", "--lon", Axis::Longitude).error,
              "--lon must be between -180 and 180 (got 180.5W)");
    EXPECT_EQ(parseCoordinate("north", "--lat", Axis::Latitude).error,
              "--lat must be a number between -90 and 90 (got north)");
}

TEST(CliNumbers, BoundsOfElevationYearStepAndThreads)
{
    EXPECT_EQ(*parseBoundedReal("-200", "--elevation", kMinElevation, kMaxElevation).value, -200.0f);
    EXPECT_EQ(*parseBoundedReal("1000000", "--elevation", kMinElevation, kMaxElevation).value, 1.0e6f);
    EXPECT_EQ(parseBoundedReal("-200.5", "--elevation", kMinElevation, kMaxElevation).error,
              "--elevation must be between -200 and 1000000 (got -200.5)");
    EXPECT_TRUE(parseBoundedReal("1000", "--year", kMinYear, kMaxYear));
    EXPECT_TRUE(parseBoundedReal("3000", "--year", kMinYear, kMaxYear));
    EXPECT_EQ(parseBoundedReal("999.9", "--year", kMinYear, kMaxYear).error,
              "--year must be between 1000 and 3000 (got 999.9)");
    EXPECT_TRUE(parseBoundedReal("0.001", "STEP", kMinGridStep, kMaxGridStep));
    EXPECT_EQ(parseBoundedReal("0", "--lat STEP", kMinGridStep, kMaxGridStep).error,
              "--lat STEP must be between 0.001 and 180 (got 0)");
    EXPECT_EQ(*parseThreadCount("1", "--threads").value, 1);
    EXPECT_EQ(*parseThreadCount("256", "--threads").value, 256);
    for (const char* bad : {"0", "257", "-1", "2.5", "", "99999999999"})
        EXPECT_FALSE(parseThreadCount(bad, "--threads")) << bad;
}

TEST(CliDates, RealCalendarDatesOnly)
{
    const auto date = parseIsoDate("2024-02-29", "--date");
    ASSERT_TRUE(date);
    EXPECT_EQ(date.value->year, 2024);
    EXPECT_EQ(date.value->month, 2);
    EXPECT_EQ(date.value->day, 29);
    EXPECT_TRUE(parseIsoDate("2025-7-4", "--date"));
    EXPECT_TRUE(parseIsoDate("1000-01-01", "--date"));
    EXPECT_TRUE(parseIsoDate("3000-12-31", "--date"));

    EXPECT_EQ(parseIsoDate("2025-02-30", "--date").error,
              "--date day must be between 1 and 28 for that month (got 2025-02-30)");
    EXPECT_FALSE(parseIsoDate("2025-04-31", "--date"));
    EXPECT_TRUE(parseIsoDate("2000-02-29", "--date"));
    EXPECT_EQ(parseIsoDate("2025-13-01", "--date").error, "--date month must be between 1 and 12 (got 2025-13-01)");
    EXPECT_EQ(parseIsoDate("0999-12-31", "--date").error,
              "--date year must be between 1000 and 3000 (got 0999-12-31)");
    for (const char* bad : {"2025", "2025-01", "2025/01/01", "25-01-01", "2025-01-01x", "2025-001-01", "-2025-01-01",
                            "2025-00-10", "2025-01-00"}) {
        EXPECT_FALSE(parseIsoDate(bad, "--date")) << bad;
    }
}

TEST(CliDates, EveryFourthYearIsALeapYearAsInTheProgramsOwnDates)
{
    const auto leap = parse({"poles", "--date", "1900-02-29"});
    ASSERT_TRUE(leap) << leap.error;
    EXPECT_EQ(leap.value->decimalYear(), dateToDecimalYear(2, 29, 1900));
    EXPECT_EQ(parse({"poles", "--date", "1901-02-29"}).error,
              "--date day must be between 1 and 28 for that month (got 1901-02-29)");
    EXPECT_EQ(daysInMonth(2100, 2), 29);
    EXPECT_EQ(daysInMonth(2023, 4), 30);
    EXPECT_EQ(daysInMonth(2023, 13), 0);
}

TEST(CliCommandLine, PointTakesValuesAndDefaults)
{
    const auto outcome = parse({"point", "--lat", "40.015", "--lon", "105.27W", "--date", "2026-07-02",
                                "--elevation=1655", "--csv"});
    ASSERT_TRUE(outcome) << outcome.error;
    const CliOptions& o = *outcome.value;
    EXPECT_EQ(o.command, Command::Point);
    EXPECT_EQ(*o.latitude, 40.015f);
    EXPECT_EQ(*o.longitude, -105.27f);
    EXPECT_EQ(o.elevationMetres(), 1655.0f);
    EXPECT_TRUE(o.csv);
    EXPECT_TRUE(o.model.empty());
    // The date goes through the record's own conversion.
    EXPECT_EQ(o.decimalYear(), dateToDecimalYear(7, 2, 2026));

    const auto byYear = parse({"point", "--lat", "-5", "--lon", "5", "--year", "2025.5"});
    ASSERT_TRUE(byYear);
    EXPECT_EQ(byYear.value->decimalYear(), 2025.5f);
    EXPECT_EQ(byYear.value->elevationMetres(), 0.0f);
}

TEST(CliCommandLine, GridTakesThreeValuesPerAxis)
{
    const auto outcome = parse({"grid", "--lat", "40.75S", "-38.75", "0.1", "--lon", "-10", "10E", "2.5",
                                "--year", "2025", "--threads", "3", "--output", "out.csv"});
    ASSERT_TRUE(outcome) << outcome.error;
    EXPECT_EQ(outcome.value->latitudes->start, -40.75f);
    EXPECT_EQ(outcome.value->latitudes->end, -38.75f);
    EXPECT_EQ(outcome.value->latitudes->step, 0.1f);
    EXPECT_EQ(outcome.value->longitudes->end, 10.0f);
    EXPECT_EQ(outcome.value->threads, 3);
    EXPECT_EQ(*outcome.value->output, "out.csv");

    EXPECT_EQ(parse({"grid", "--lat", "0", "1", "--lon", "0", "1", "1", "--year", "2025"}).error,
              "--lat needs three values: START END STEP");
    EXPECT_EQ(parse({"grid", "--lat", "0", "1", "0.0001", "--lon", "0", "1", "1", "--year", "2025"}).error,
              "--lat STEP must be between 0.001 and 180 (got 0.0001)");
    EXPECT_EQ(parse({"grid", "--lat", "0", "91", "1", "--lon", "0", "1", "1", "--year", "2025"}).error,
              "--lat END must be between -90 and 90 (got 91)");
    // Backward ranges used to write a header only and report success.
    EXPECT_EQ(parse({"grid", "--lat", "89", "-89", "45", "--lon", "0", "1", "1", "--year", "2025"}).error,
              "--lat runs from START up to END, south to north (got 89 then -89): give the smaller value first");
    EXPECT_EQ(parse({"grid", "--lat", "0", "1", "1", "--lon", "10W", "20W", "1", "--year", "2025"}).error,
              "--lon runs from START up to END, west to east (got 10W then 20W): give the smaller value first");
    EXPECT_TRUE(parse({"grid", "--lat", "5", "5", "1", "--lon", "0", "0", "1", "--year", "2025"}).value);
}

TEST(CliCommandLine, MissingAndConflictingOptionsAreNamed)
{
    EXPECT_EQ(parse({"point", "--lon", "5", "--year", "2025"}).error, "point needs --lat DEGREES");
    EXPECT_EQ(parse({"point", "--lat", "5", "--year", "2025"}).error, "point needs --lon DEGREES");
    EXPECT_EQ(parse({"point", "--lat", "5", "--lon", "5"}).error, "point needs --date YYYY-MM-DD or --year DECIMAL");
    EXPECT_EQ(parse({"grid", "--lon", "0", "1", "1", "--year", "2025"}).error, "grid needs --lat START END STEP");
    EXPECT_EQ(parse({"poles"}).error, "poles needs --date YYYY-MM-DD or --year DECIMAL");
    EXPECT_TRUE(parse({"batch"}));
    EXPECT_EQ(parse({"poles", "--year", "2025", "--date", "2025-01-01"}).error, "give either --date or --year, not both");
    EXPECT_EQ(parse({"poles", "--year", "2025", "--year", "2026"}).error, "--year is given more than once");
    EXPECT_EQ(parse({"point", "--lat"}).error, "--lat needs a value");
    EXPECT_EQ(parse({"poles", "--year", "2025", "--model"}).error, "--model needs a value");
    EXPECT_EQ(parse({"poles", "--year", "2025", "--model", "--csv"}).error, "--model needs a value");
    EXPECT_EQ(parse({"poles", "--year", "2025", "--csv=yes"}).error, "--csv takes no value");
}

TEST(CliCommandLine, UnknownCommandsOptionsAndArgumentsAreRefused)
{
    EXPECT_EQ(parse({}).error, "no command given (try --help)");
    EXPECT_EQ(parse({"pointe"}).error, "unknown command 'pointe'");
    EXPECT_EQ(parse({"--verbose"}).error, "unknown option --verbose");
    EXPECT_EQ(parse({"poles", "--year", "2025", "--threads", "2"}).error, "unknown option --threads for poles");
    EXPECT_EQ(parse({"point", "--lat", "1", "--lon", "1", "--year", "2025", "--output", "x"}).error,
              "unknown option --output for point");
    EXPECT_EQ(parse({"batch", "--csv"}).error, "unknown option --csv for batch");
    EXPECT_EQ(parse({"poles", "--year", "2025", "extra"}).error, "unexpected argument 'extra' for poles");
    EXPECT_EQ(parse({"--version", "x"}).error, "unexpected argument 'x' after --version");
}

TEST(CliCommandLine, HelpWinsOverMissingOptions)
{
    const auto commandHelp = parse({"grid", "--help"});
    ASSERT_TRUE(commandHelp);
    EXPECT_TRUE(commandHelp.value->help);
    EXPECT_EQ(commandHelp.value->command, Command::Grid);
    EXPECT_TRUE(parse({"--help"}).value->help);
    EXPECT_EQ(parse({"--help", "poles"}).value->command, Command::Poles);
    EXPECT_EQ(parse({"help", "batch"}).value->command, Command::Batch);
    EXPECT_EQ(parse({"--help", "nothing"}).error, "unexpected argument 'nothing' after --help");
    EXPECT_TRUE(parse({"--version"}).value->version);
    // A bad value is still reported, even with --help further on.
    EXPECT_FALSE(parse({"point", "--lat", "95", "--help"}));
}

}  // namespace
}  // namespace tellurim::cli
