// Grid north on the command line: the readable lines, the --with grid
// columns of point, batch and grid, projected input and its refusals.
#include "cli/CliTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tellurim::cli {
namespace {

// The fields of a CSV line (no quotes inside the fields here).
std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields;
    size_t at = 0;
    for (size_t comma = line.find(','); comma != std::string::npos; comma = line.find(',', at)) {
        std::string field = line.substr(at, comma - at);
        if (field.size() >= 2 && field.front() == '"')
            field = field.substr(1, field.size() - 2);
        fields.push_back(field);
        at = comma + 1;
    }
    return fields;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        out.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return out;
}

// The columns after the grid file's 19, by name from the header.
std::string column(const std::vector<std::string>& header, const std::vector<std::string>& row, const std::string& name)
{
    for (size_t i = 0; i < header.size() && i < row.size(); ++i)
        if (header[i] == name)
            return row[i];
    return "(no " + name + ")";
}

TEST(CliGridNorth, PointGivesGridDeclinationAsDeclinationLessConvergence)
{
    const CliRun csv =
        runWith({"point", "--lat", "51.5", "--lon", "-0.12", "--year", "2026.5", "--model", modelPath(), "--csv",
                 "--with", "grid"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const auto rows = lines(csv.out);
    ASSERT_EQ(rows.size(), 2u);
    const auto header = fieldsOf(rows[0]);
    const auto row = fieldsOf(rows[1]);
    EXPECT_EQ(column(header, row, "Grid system"), "EPSG:32630");
    EXPECT_EQ(column(header, row, "Grid convergence"), "2.254653");
    EXPECT_EQ(column(header, row, "Point scale factor"), "1.00009059");
    const double declination = std::stod(column(header, row, "Declination"));
    EXPECT_NEAR(std::stod(column(header, row, "Grid declination")), declination - 2.254653, 2e-6);
    EXPECT_EQ(column(header, row, "Grid declination variation"), column(header, row, "Declination Variation"));
    EXPECT_EQ(column(header, row, "Easting"), "699889.807");
    EXPECT_EQ(column(header, row, "Northing"), "5709362.293");

    const CliRun text = runWith({"point", "--lat", "51.5", "--lon", "-0.12", "--year", "2026.5", "--model",
                                 modelPath(), "--crs", "EPSG:32631"});
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("Grid system:            EPSG:32631 (WGS 84 / UTM zone 31N)\n"), std::string::npos);
    EXPECT_NE(text.out.find("Grid convergence:       -2.44268 deg (grid north east of true north positive)\n"),
              std::string::npos)
        << text.out;
    EXPECT_EQ(text.err, "tellurim-cli: warning: the point lies outside the area of use of EPSG:32631 (WGS 84 / UTM "
                        "zone 31N: 0 to 6 deg east, 0 to 84 deg north)\n");

    const CliRun json = runWith({"point", "--lat", "51.5", "--lon", "-0.12", "--year", "2026.5", "--model",
                                 modelPath(), "--json", "--crs", "EPSG:27700"});
    EXPECT_NE(json.out.find(R"("grid":{"system":"EPSG:27700","system_name":"OSGB36 / British National Grid")"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"("warning":null)"), std::string::npos);
}

TEST(CliGridNorth, ProjectedInputLandsWhereLatitudeAndLongitudeDo)
{
    const std::vector<std::string> common{"--year", "2026.5", "--model", modelPath(), "--csv"};
    auto byGrid = std::vector<std::string>{"point", "--crs", "EPSG:27700", "--easting", "530591.166", "--northing",
                                           "179571.066"};
    auto byDegrees = std::vector<std::string>{"point", "--lat", "51.5", "--lon", "-0.12"};
    byGrid.insert(byGrid.end(), common.begin(), common.end());
    byDegrees.insert(byDegrees.end(), common.begin(), common.end());
    const CliRun grid = runWith(byGrid);
    ASSERT_EQ(grid.status, 0) << grid.err;
    EXPECT_EQ(grid.out, runWith(byDegrees).out);

    byGrid.pop_back();  // readable: the latitude and longitude are echoed
    const CliRun text = runWith(byGrid);
    EXPECT_NE(text.out.find("Latitude:               51.5 deg (north positive)\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Longitude:              -0.12 deg (east positive)\n"), std::string::npos);
    EXPECT_NE(text.out.find("Easting, northing:      530591.166 m E   179571.066 m N\n"), std::string::npos);
}

TEST(CliGridNorth, BatchReadsGridPositionsAndGoesOnAfterABadLine)
{
    const CliRun run = runWith({"batch", "--crs", "EPSG:32630", "--year", "2026", "--model", modelPath(), "--with",
                                "zone,grid"},
                               "699889.807 5709362.293 100\n5e9 0\n500000 0 0 2027\n");
    EXPECT_EQ(run.status, 1);
    const auto rows = lines(run.out);
    ASSERT_EQ(rows.size(), 3u) << run.out;
    const auto header = fieldsOf(rows[0]);
    EXPECT_EQ(header.size(), 2u + 19u + 1u + 7u);
    EXPECT_EQ(header[21], "Compass zone");
    const auto first = fieldsOf(rows[1]);
    EXPECT_EQ(column(header, first, "Decimal Latitude"), "51.500000");
    EXPECT_EQ(column(header, first, "Elevation (m)"), "100.000000");
    EXPECT_EQ(column(header, first, "Easting"), "699889.807");
    const auto equator = fieldsOf(rows[2]);
    EXPECT_EQ(column(header, equator, "Decimal Longitude"), "-3.000000");
    EXPECT_EQ(column(header, equator, "Grid convergence"), "0.000000");
    EXPECT_EQ(run.err,
              "tellurim-cli: line 2: easting must be a number between -1000000000 and 1000000000 (got 5e9)\n");
}

TEST(CliGridNorth, GridColumnsFollowEachPointsZoneAndKeepTheirBytesWithThreads)
{
    const std::vector<std::string> args{"grid", "--lat", "51", "52", "1", "--lon", "-1", "1", "1", "--year",
                                        "2026", "--model", modelPath(), "--with", "grid"};
    auto one = args;
    one.insert(one.end(), {"--threads", "1"});
    auto two = args;
    two.insert(two.end(), {"--threads", "2"});
    const CliRun single = runWith(one);
    ASSERT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(single.out, runWith(two).out);
    const auto rows = lines(single.out);
    ASSERT_EQ(rows.size(), 7u);
    const auto header = fieldsOf(rows[0]);
    std::vector<std::string> systems;
    for (size_t i = 1; i < rows.size(); ++i)
        systems.push_back(column(header, fieldsOf(rows[i]), "Grid system"));
    EXPECT_EQ(systems, (std::vector<std::string>{"EPSG:32630", "EPSG:32631", "EPSG:32631", "EPSG:32630",
                                                 "EPSG:32631", "EPSG:32631"}));
}

TEST(CliGridNorth, RefusalsNameTheProblemAndPrintNothingElse)
{
    const auto refused = [](std::vector<std::string> args) {
        args.insert(args.end(), {"--year", "2026", "--model", modelPath()});
        const CliRun run = runWith(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        return run.err;
    };
    EXPECT_EQ(refused({"point", "--lat", "1", "--lon", "1", "--crs", "EPSG:99999"}),
              "tellurim-cli: EPSG:99999 is not a reference system PROJ knows\n");
    EXPECT_EQ(refused({"grid", "--lat", "1", "2", "1", "--lon", "1", "2", "1", "--crs", "EPSG:4326", "--with", "grid"}),
              "tellurim-cli: EPSG:4326 (WGS 84) is a geographic system of latitude and longitude, not a projected "
              "grid\n");
    EXPECT_EQ(refused({"point", "--easting", "500000", "--northing", "0"}),
              "tellurim-cli: --easting and --northing need --crs, the system they belong to\n");
    EXPECT_EQ(refused({"point", "--lat", "1", "--easting", "500000", "--northing", "0", "--crs", "EPSG:32630"}),
              "tellurim-cli: give either --lat/--lon or --easting/--northing, not both\n");
    EXPECT_EQ(refused({"point", "--easting", "500000", "--crs", "EPSG:32630"}),
              "tellurim-cli: point needs --northing with --easting\n");
    EXPECT_EQ(refused({"point", "--easting", "900000000", "--northing", "0", "--crs", "EPSG:32630"}),
              "tellurim-cli: easting 900000000 and northing 0 do not correspond to any latitude and longitude in "
              "EPSG:32630 (WGS 84 / UTM zone 30N)\n");
}

}  // namespace
}  // namespace tellurim::cli
