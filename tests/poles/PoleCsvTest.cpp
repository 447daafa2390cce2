#include "poles/PoleCsv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace tellurim {
namespace {

TEST(PoleCsvFormat, HeaderHasTwentyNamesNoTrailingCommaAndEndsInCrLf)
{
    const std::string& header = poleCsvHeader();
    // 443 characters with the line break counted once; CR LF makes 444 bytes.
    EXPECT_EQ(header.size(), 444U);
    EXPECT_EQ(header,
              "\"Day\",\"Month\",\"Year\",\"Julian Date\","
              "\"North Decimal Latitude\",\"North Degrees Latitude\",\"North Minutes Latitude\","
              "\"North Seconds Latitude\",\"North Decimal Longitude\",\"North Degrees Longitude\","
              "\"North Minutes Longitude\",\"North Seconds Longitude\","
              "\"South Decimal Latitude\",\"South Degrees Latitude\",\"South Minutes Latitude\","
              "\"South Seconds Latitude\",\"South Decimal Longitude\",\"South Degrees Longitude\","
              "\"South Minutes Longitude\",\"South Seconds Longitude\"\r\n");
    EXPECT_EQ(std::count(header.begin(), header.end(), ','), 19);
}

TEST(PoleCsvFormat, RowWritesDayFirstSignsAsHeldAndATrailingComma)
{
    MagneticPoles poles;
    poles.north = PolePosition{80.5f, 80, 30, 0.0f, -72.25f, -72, -15, 0.0f};
    poles.south = PolePosition{-64.125f, -64, -7, -30.0f, 137.5f, 137, 30, 0.25f};
    const std::string row = poleCsvRow(4, 7, 2003, 2003.5f, poles);
    EXPECT_EQ(row,
              "4,7,2003,2003.500000,"
              "80.500000,80,30,0.000000,-72.250000,-72,-15,0.000000,"
              "-64.125000,-64,-7,-30.000000,137.500000,137,30,0.250000,\r\n");
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 20);
}

}  // namespace
}  // namespace tellurim
