#include "crs/GridConvergence.h"
#include "crs/UtmZone.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>

namespace tellurim {
namespace {

// Independent reference values from GeographicLib's GeoConvert
// (-u -c -p 4: easting, northing, convergence, scale), and for the British
// grid its TransverseMercatorProj with the grid's projection parameters.
struct Reference {
    double latitude;
    double longitude;
    const char* system;
    double easting;
    double northing;
    double convergence;  // degrees, grid north clockwise from true north
    double scale;
};

constexpr Reference kReferences[] = {
    {51.5, -0.12, "EPSG:32630", 699889.8070, 5709362.2928, 2.254652944, 1.00009058943},
    {51.5, -0.12, "EPSG:32631", 283456.2685, 5710045.3521, -2.442680153, 1.00017574972},
    {-41.0, 174.0, "EPSG:32760", 247679.1521, 5456907.0456, 1.969213789, 1.00038365838},
    {85.0, -0.12, "EPSG:32661", 1998836.6536, 1444543.8269, -0.120000000, 0.99589479167},
    {-85.0, 45.0, "EPSG:32761", 2392767.6881, 2392767.6881, -45.000000000, 0.99589479167},
    {60.0, 5.0, "EPSG:32632", 276979.9264, 6658157.2024, -3.465515341, 1.00020957645},
};

TEST(GridConvergence, MatchesPublishedUtmAndUpsValuesWithTheirSign)
{
    GridConvergence grids;
    for (const Reference& ref : kReferences) {
        SCOPED_TRACE(ref.system);
        const bool automatic = automaticGridSystem(ref.latitude, ref.longitude) == ref.system;
        const auto outcome = grids.at(automatic ? "" : ref.system, ref.latitude, ref.longitude);
        ASSERT_TRUE(outcome.value) << outcome.problem;
        EXPECT_EQ(outcome.value->system, ref.system);
        EXPECT_NEAR(outcome.value->easting, ref.easting, 0.001);
        EXPECT_NEAR(outcome.value->northing, ref.northing, 0.001);
        EXPECT_NEAR(outcome.value->convergence, ref.convergence, 5e-9);
        EXPECT_NEAR(outcome.value->scale, ref.scale, 1e-9);  // PROJ differentiates numerically
        EXPECT_EQ(outcome.value->unit, "metre");
    }
    // The published figures of the UTM example, to the digits published.
    const auto london = grids.at("", 51.5, -0.12);
    ASSERT_TRUE(london.value);
    EXPECT_EQ(london.value->systemName, "WGS 84 / UTM zone 30N");
    EXPECT_NEAR(london.value->convergence, 2.25465, 5e-6);
    EXPECT_NEAR(london.value->scale, 1.0000906, 5e-8);
    EXPECT_TRUE(london.warning.empty());
    const auto forced = grids.at("EPSG:32631", 51.5, -0.12);
    ASSERT_TRUE(forced.value);
    EXPECT_NEAR(forced.value->convergence, -2.44268, 5e-6);
    // West of zone 31, so outside its area of use: still computed, with a warning.
    EXPECT_NE(forced.warning.find("outside the area of use of EPSG:32631"), std::string::npos) << forced.warning;
}

TEST(GridConvergence, BritishNationalGridAtTheSamePoint)
{
    GridConvergence grids;
    const auto outcome = grids.at("EPSG:27700", 51.5, -0.12);
    ASSERT_TRUE(outcome.value) << outcome.problem;
    EXPECT_EQ(outcome.value->systemName, "OSGB36 / British National Grid");
    // The factors belong to the grid's own datum: the point is 51.499488620 N,
    // 0.118392952 W in OSGB36 by the Ordnance Survey's seven-parameter shift,
    // about 110 m from its WGS 84 place, which alone moves the convergence by
    // 0.0012 degrees. Reference: TransverseMercatorProj there (the northing
    // less that of the grid's origin at 49 N). A finer shift (OSTN15, when
    // its grid file is installed) moves the point by up to a few metres.
    EXPECT_NEAR(outcome.value->convergence, 1.472757330, 5e-5);
    EXPECT_NEAR(outcome.value->scale, 0.999810695, 1e-8);
    EXPECT_NEAR(outcome.value->easting, 400000.0 + 130591.166, 3.0);
    EXPECT_NEAR(outcome.value->northing, 5706634.881 - 5427063.815 - 100000.0, 3.0);
}

TEST(GridConvergence, RoundTripsWithinAMillimetre)
{
    GridConvergence grids;
    const struct {
        const char* system;
        double latitude;
        double longitude;
    } points[] = {{"", 51.5, -0.12},       {"EPSG:27700", 51.5, -0.12}, {"EPSG:27700", 57.3, -4.4},
                  {"", -33.9, 18.4},       {"", 89.9, 120.0},          {"", -89.0, -60.0},
                  {"EPSG:2193", -41.3, 174.8}, {"EPSG:3857", 40.0, -105.0}, {"EPSG:32633", 78.0, 15.0}};
    for (const auto& p : points) {
        SCOPED_TRACE(std::string(p.system) + " " + std::to_string(p.latitude));
        const auto grid = grids.at(p.system, p.latitude, p.longitude);
        ASSERT_TRUE(grid.value) << grid.problem;
        const auto back = grids.fromGrid(grid.value->system, grid.value->easting, grid.value->northing);
        ASSERT_TRUE(back.value) << back.problem;
        // 1 mm is about 9e-9 degrees of latitude.
        const double metresPerDegree = 111320.0;
        EXPECT_NEAR(back.value->latitude, p.latitude, 0.001 / metresPerDegree);
        EXPECT_NEAR((back.value->longitude - p.longitude) * std::cos(p.latitude * M_PI / 180.0), 0.0,
                    0.001 / metresPerDegree);
    }
}

TEST(GridConvergence, RefusesWhatIsNoProjectedGridAndNamesTheProblem)
{
    GridConvergence grids;
    EXPECT_EQ(grids.at("EPSG:99999", 51.5, 0.0).problem, "EPSG:99999 is not a reference system PROJ knows");
    EXPECT_EQ(grids.problemOf("EPSG:4326"),
              "EPSG:4326 (WGS 84) is a geographic system of latitude and longitude, not a projected grid");
    EXPECT_EQ(grids.problemOf("+proj=utm +zone=30"),
              "+proj=utm +zone=30 is a projection, not a reference system (a PROJ string needs +type=crs)");
    EXPECT_EQ(grids.problemOf("+proj=utm +zone=30 +type=crs"), "");
    EXPECT_EQ(grids.problemOf(" "), "no reference system given");
    EXPECT_FALSE(grids.fromGrid("", 500000.0, 0.0).value);  // a grid position needs its zone
    const auto wild = grids.fromGrid("EPSG:32630", 1.0e9, 5.0);
    EXPECT_FALSE(wild.value);
    EXPECT_EQ(wild.problem, "easting 1000000000 and northing 5 do not correspond to any latitude and longitude in "
                            "EPSG:32630 (WGS 84 / UTM zone 30N)");
    EXPECT_FALSE(grids.fromGrid("EPSG:32630", NAN, 5.0).value);

    // A grid file that is a pipe would hold PROJ (and the program) for ever.
    const TempDir folder;
    const std::string pipe = (folder.path() / "grid.gsb").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string definition = "+proj=utm +zone=30 +nadgrids=@" + pipe + ",null +type=crs";
    EXPECT_EQ(grids.at(definition, 51.0, 0.0).problem, definition + " names " + pipe + ", which is not a regular file");
}

TEST(GridConvergence, AutomaticZonesFollowTheUtmExceptions)
{
    EXPECT_EQ(automaticGridSystem(51.5, -0.12), "EPSG:32630");
    EXPECT_EQ(automaticGridSystem(51.5, 0.0), "EPSG:32631");
    EXPECT_EQ(automaticGridSystem(-0.5, 180.0), "EPSG:32701");  // 180 E is 180 W
    EXPECT_EQ(automaticGridSystem(0.0, 179.99), "EPSG:32660");
    EXPECT_EQ(automaticGridSystem(60.0, 5.0), "EPSG:32632");    // south-west Norway
    EXPECT_EQ(automaticGridSystem(78.0, 8.9), "EPSG:32631");    // Svalbard
    EXPECT_EQ(automaticGridSystem(78.0, 21.0), "EPSG:32635");
    EXPECT_EQ(automaticGridSystem(83.99, 0.0), "EPSG:32631");
    EXPECT_EQ(automaticGridSystem(84.0, 0.0), "EPSG:32661");
    EXPECT_EQ(automaticGridSystem(-80.0, 0.0), "EPSG:32731");
    EXPECT_EQ(automaticGridSystem(-80.01, 0.0), "EPSG:32761");
}

TEST(GridConvergence, GridDeclinationIsDeclinationMinusConvergenceWithinAHalfTurn)
{
    EXPECT_DOUBLE_EQ(gridDeclination(1.0, 2.25), -1.25);
    EXPECT_DOUBLE_EQ(gridDeclination(170.0, -20.0), -170.0);
    EXPECT_DOUBLE_EQ(gridDeclination(-170.0, 10.0), 180.0);
    EXPECT_DOUBLE_EQ(gridDeclination(-100.0, 45.0), -145.0);
}

}  // namespace
}  // namespace tellurim
