#include "files/LocationExport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tellurim {
namespace {

LocationRecord denver()
{
    return {.DLAT = 39.75f, .ILATD = 39, .ILATM = 45, .XLATS = 0.0f, .DLON = 105.25f, .ILONM = 15, .ILOND = 105,
            .XLONS = 0.0f, .ALTF = 5280.0f, .ALTM = 1609.344f, .IDAY = 1, .IMONTH = 7, .IYR = 2003,
            .DDATE = static_cast<float>(2003.0 + 182.0 / 365.0), .IHEM_NS = 0, .JHEM_EW = 1,
            .FILENAME = "WMM-95.COF", .Location = "Denver"};
}

FieldResult results()
{
    return {.BH = 20000.0f, .BX = 19000.0f, .BY = 3000.0f, .BZ = 48000.0f, .DIP = 66.75f, .DEC = 10.125f,
            .TI = 52000.5f, .BH2 = -1.0f, .BX2 = 2.0f, .BY2 = -3.0f, .BZ2 = -90.0f, .DIP2 = 0.5f, .DEC2 = -6.5f,
            .TI2 = -100.25f};
}

TEST(LocationExport, HeaderIsTheFixedThreeHundredSeventySevenCharacters)
{
    const std::string expected =
        "\"Location\",\"Model\",\"Decimal Latitude\",\"Degrees Latitude\",\"Minutes Latitude\","
        "\"Seconds Latitude\",\"Decimal Longitude\",\"Degrees Longitude\",\"Minutes Longitude\","
        "\"Seconds Longitude\",\"Elevation (ft)\",\"Elevation (m)\",\"Day\",\"Month\",\"Year\","
        "\"Julian Date\",\"IHEM_NS\",\"JHEM_EW\",\"TI\",\"TI2\",\"DEC\",\"DEC2\",\"DIP\",\"DIP2\","
        "\"BH\",\"BH2\",\"BX\",\"BX2\",\"BY\",\"BY2\",\"BZ\",\"BZ2\",\"CVALIDITY\",\"CPOLAR2\","
        "\"CPOLAR1\",\r\n";
    // 377 characters with the line break counted once; CR LF makes 378 bytes.
    EXPECT_EQ(expected.size(), 378u);
    EXPECT_EQ(locationExportHeader(), expected);
}

TEST(LocationExport, RowCarriesTheCurrentValuesInColumnOrder)
{
    const std::string row = locationExportRow(denver(), results(), ResultTexts{"OK", "N/A", "N/A", false});
    const std::string expected =
        "\"Denver\",\"WMM-95.COF\",39.750000,39,45,0.000000,105.250000,105,15,0.000000,"
        "5280.000000,1609.343994,1,7,2003,2003.498657,\"NORTH\",\"EAST\","
        "52000.500000,-100.250000,10.125000,-6.500000,66.750000,0.500000,"
        "20000.000000,-1.000000,19000.000000,2.000000,3000.000000,-3.000000,"
        "48000.000000,-90.000000,\"OK\",\"N/A\",\"N/A\",\r\n";
    EXPECT_EQ(row, expected);
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 35);
}

TEST(LocationExport, SouthAndWestAreWordsAndDecimalsStayMagnitudes)
{
    LocationRecord record = denver();
    record.IHEM_NS = 1;
    record.JHEM_EW = 0;
    const std::string row =
        locationExportRow(record, results(), ResultTexts{"OK", "   12.34", "   -1.50", true});
    EXPECT_NE(row.find(",39.750000,39,45,0.000000,105.250000,"), std::string::npos);
    EXPECT_NE(row.find(",\"SOUTH\",\"WEST\","), std::string::npos);
    // The annual change comes before the grid variation, leading blanks kept.
    EXPECT_EQ(row.substr(row.size() - 29), "\"OK\",\"   -1.50\",\"   12.34\",\r\n");
}

TEST(LocationExport, QuotesAreDoubledAndLongTextsWrittenWhole)
{
    LocationRecord record = denver();
    record.Location = "Pike's \"Peak\", CO";
    record.FILENAME = std::string(1500, 'p');
    const std::string row = locationExportRow(record, results(), ResultTexts{"OK", "N/A", "N/A", false});
    const std::string start = "\"Pike's \"\"Peak\"\", CO\",\"" + std::string(1500, 'p') + "\",39.750000,";
    EXPECT_EQ(row.substr(0, start.size()), start);
    EXPECT_GT(row.size(), 1500u);
    EXPECT_EQ(row.substr(row.size() - 3), ",\r\n");
}

}  // namespace
}  // namespace tellurim
