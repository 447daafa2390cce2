#include "cli/CliTestSupport.h"
#include "files/CsvWriter.h"
#include "grid/GridCsv.h"
#include "poles/PoleCsv.h"
#include "support/PublishedValues.h"
#include "record/Conversions.h"
#include "record/NumberText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tellurim::cli {
namespace {


const std::string kBatchHeader = "\"Julian Date\",\"Elevation (m)\"," + gridCsvHeader();

std::string batchLine(ModelEngine& engine, float lat, float lon, float elevation, float year)
{
    std::string line;
    appendFixed6(line, static_cast<double>(year));
    line.push_back(',');
    appendFixed6(line, static_cast<double>(elevation));
    line.push_back(',');
    appendGridLine(line, lat, lon, engine.computePoint(elevation, lat, lon, year));
    return line;
}

std::vector<double> numbersOf(const std::string& csvLine)
{
    std::vector<double> numbers;
    for (const std::string& field : splitFields(csvLine))
        if (!field.empty() && field.front() != '"')
            numbers.push_back(std::stod(field));
    return numbers;
}

TEST(CliPoles, CsvDateComesFromTheDecimalYearOrAsGiven)
{
    const CliRun run = runWith({"poles", "--year", "2025.5", "--model", modelPath(), "--csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    ShippedEngine loaded;
    const CalendarDate date = decimalYearToDate(2025.5f, 1, 1);
    const std::string row = poleCsvRow(date.day, date.month, date.year, 2025.5f, loaded.engine.findMagneticPoles(2025.5f));
    EXPECT_EQ(run.out, poleCsvHeader() + row);
    // Day 183 of 365, so 2 July; the export writes the day first.
    EXPECT_EQ(row.rfind("2,7,2025,2025.500000,", 0), 0u) << row;

    // A date keeps its day, month and year as given.
    const CliRun byDate = runWith({"poles", "--date", "2024-07-04", "--model", modelPath(), "--csv"});
    ASSERT_EQ(byDate.status, 0) << byDate.err;
    const float year = dateToDecimalYear(7, 4, 2024);
    EXPECT_EQ(byDate.out, poleCsvHeader() + poleCsvRow(4, 7, 2024, year, loaded.engine.findMagneticPoles(year)));
}

TEST(CliPoles, BlockShowsBothPolesDecimalAndInDegreesMinutesSeconds)
{
    const CliRun run = runWith({"poles", "--year", "2026", "--model", modelPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    ShippedEngine loaded;
    const MagneticPoles poles = loaded.engine.findMagneticPoles(2026.0f);
    std::string northLatitude = "North pole latitude:   ";
    appendFixed(northLatitude, static_cast<double>(poles.north.decimalLatitude), 4);
    northLatitude += " deg  (" + std::to_string(poles.north.latitudeDegrees) + " deg " +
                     std::to_string(poles.north.latitudeMinutes) + " min ";
    appendFixed(northLatitude, static_cast<double>(poles.north.latitudeSeconds), 2);
    northLatitude += " sec)\n";
    EXPECT_NE(run.out.find(northLatitude), std::string::npos) << run.out;
    std::string southLongitude = "South pole longitude:  ";
    appendFixed(southLongitude, static_cast<double>(poles.south.decimalLongitude), 4);
    EXPECT_NE(run.out.find(southLongitude), std::string::npos) << run.out;
    EXPECT_GT(poles.north.decimalLatitude, 80.0f);
    EXPECT_LT(poles.south.decimalLatitude, -60.0f);
}

TEST(CliPoles, TheBlockGivesTheDecimalYearUsedForACalendarDate)
{
    const CliRun run = runWith({"poles", "--date", "2025-01-01", "--model", modelPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    // 1 January counts as day 1: 2025 + 1/365, not "2025".
    EXPECT_NE(run.out.find("Date:       2025.0027 (decimal year)\n"), std::string::npos) << run.out;
}

TEST(CliBatch, LinesInInputOrderWithSkippedLinesAndBothSeparators)
{
    const std::string input =
        "# lat lon elevation year\n"
        "\n"
        "45.5S 105W 1000 2026.25\n"
        "   \t\n"
        "10,20,0,2025.5\r\n"
        "  # indented comment\n"
        "-60, 170 , 250.5 2027\n";
    const CliRun run = runWith({"batch", "--model", modelPath()}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    ShippedEngine loaded;
    const std::string expected = kBatchHeader + batchLine(loaded.engine, -45.5f, -105.0f, 1000.0f, 2026.25f) +
                                 batchLine(loaded.engine, 10.0f, 20.0f, 0.0f, 2025.5f) +
                                 batchLine(loaded.engine, -60.0f, 170.0f, 250.5f, 2027.0f);
    EXPECT_EQ(run.out, expected);
}

TEST(CliBatch, MissingValuesComeFromTheOptions)
{
    const CliRun run = runWith({"batch", "--model", modelPath(), "--elevation", "500", "--date", "2026-01-01"},
                               "1 2\n3 4 -100\n5 6 0 2028.5\n");
    ASSERT_EQ(run.status, 0) << run.err;
    ShippedEngine loaded;
    const float year = dateToDecimalYear(1, 1, 2026);
    EXPECT_EQ(run.out, kBatchHeader + batchLine(loaded.engine, 1.0f, 2.0f, 500.0f, year) +
                           batchLine(loaded.engine, 3.0f, 4.0f, -100.0f, year) +
                           batchLine(loaded.engine, 5.0f, 6.0f, 0.0f, 2028.5f));
}

TEST(CliBatch, BadLinesAreReportedByNumberSkippedAndFailTheRun)
{
    const std::string input =
        "10 10 0 2026\n"
        "91 10\n"
        "# fine\n"
        "10\n"
        "10 10 0 2026 7\n"
        "10 10 -300\n"
        "10 10 0 999\n"
        "10N 10S\n"
        "20 20 0 2026\n";
    const CliRun run = runWith({"batch", "--model", modelPath(), "--year", "2026"}, input);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "tellurim-cli: line 2: latitude must be between -90 and 90 (got 91)\n"
              "tellurim-cli: line 4: expected LAT LON [ELEVATION_M [DECIMAL_YEAR]], got 1 value\n"
              "tellurim-cli: line 5: expected LAT LON [ELEVATION_M [DECIMAL_YEAR]], got 5 values\n"
              "tellurim-cli: line 6: elevation must be between -200 and 1000000 (got -300)\n"
              "tellurim-cli: line 7: decimal year must be between 1000 and 3000 (got 999)\n"
              "tellurim-cli: line 8: longitude takes the hemisphere letter E or W, not S (got 10S)\n");
    ShippedEngine loaded;
    EXPECT_EQ(run.out, kBatchHeader + batchLine(loaded.engine, 10.0f, 10.0f, 0.0f, 2026.0f) +
                           batchLine(loaded.engine, 20.0f, 20.0f, 0.0f, 2026.0f));
}

TEST(CliBatch, YearIsNeededFromTheLineOrTheOptions)
{
    const CliRun run = runWith({"batch", "--model", modelPath()}, "10 10\n10 10 0 2026\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tellurim-cli: line 1: no decimal year on the line and no --date or --year option\n");
    EXPECT_EQ(crlfLines(run.out).size(), 2u);
}

TEST(CliBatch, EmptyInputGivesTheHeaderOnly)
{
    const CliRun run = runWith({"batch", "--model", modelPath()}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kBatchHeader);
}

// Published test values of the shipped model, run through the program. The
// values were computed in double precision; single-precision evaluation
// agrees within 0.1 nT for the components and 0.01 degree for the angles.
TEST(CliBatch, ReproducesThePublishedTestValues)
{
    const std::vector<PublishedValue> published = readPublishedValues();
    ASSERT_EQ(published.size(), 20u);
    std::ostringstream input;
    input.precision(10);
    for (const PublishedValue& v : published)
        input << v.latitude << ' ' << v.longitude << ' ' << static_cast<double>(v.heightKm) * 1000.0 << ' ' << v.date
              << '\n';
    const CliRun run = runWith({"batch", "--model", modelPath()}, input.str());
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = crlfLines(run.out);
    ASSERT_EQ(lines.size(), published.size() + 1);
    for (size_t i = 0; i < published.size(); ++i) {
        // Julian date, elevation, lat, lon, F, dF, D, dD, I, dI, H, dH, X, dX, Y, dY, Z, dZ
        const std::vector<double> got = numbersOf(lines[i + 1]);
        ASSERT_EQ(got.size(), 18u) << lines[i + 1];
        const PublishedValue& want = published[i];
        EXPECT_NEAR(got[12], want.x, 0.1) << "X, row " << i;
        EXPECT_NEAR(got[14], want.y, 0.1) << "Y, row " << i;
        EXPECT_NEAR(got[16], want.z, 0.1) << "Z, row " << i;
        EXPECT_NEAR(got[10], want.h, 0.1) << "H, row " << i;
        EXPECT_NEAR(got[4], want.f, 0.1) << "F, row " << i;
        EXPECT_NEAR(got[8], want.inclination, 0.01) << "I, row " << i;
        EXPECT_NEAR(got[6], want.declination, 0.01) << "D, row " << i;
    }
}

}  // namespace
}  // namespace tellurim::cli
