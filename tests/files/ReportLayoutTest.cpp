#include "files/ReportLayout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tellurim {
namespace {

LocationRecord hobart()
{
    return {.DLAT = 42.875f, .ILATD = 42, .ILATM = 52, .XLATS = 30.0f, .DLON = 147.25f, .ILONM = 15, .ILOND = 147,
            .XLONS = 0.0f, .ALTF = 100.5f, .ALTM = 30.625f, .IDAY = 4, .IMONTH = 7, .IYR = 2003,
            .DDATE = static_cast<float>(2003.0 + 185.0 / 365.0), .IHEM_NS = 1, .JHEM_EW = 0,
            .FILENAME = "/models/WMM2025.COF", .Location = "Hobart"};
}

FieldResult sampleResults()
{
    // TI2 is a tie: printf rounds it to the even -35.2.
    return {.BH = 16492.4f, .BX = 16000.0f, .BY = 4000.25f, .BZ = -55000.75f, .DIP = -72.1234f, .DEC = 14.5f,
            .TI = 58213.4f, .BH2 = 9.0f, .BX2 = 10.0f, .BY2 = -3.5f, .BZ2 = 0.0f, .DIP2 = 1.0f, .DEC2 = -2.5f,
            .TI2 = -35.25f};
}

std::vector<std::string> textsOf(const std::vector<ReportLine>& lines)
{
    std::vector<std::string> texts;
    for (const ReportLine& line : lines)
        texts.push_back(line.text);
    return texts;
}

TEST(LocationReport, SouthWestLocationWithoutGridVariationHasThirteenLines)
{
    const ResultTexts texts{"OK", "N/A", "N/A", false};
    const auto lines = reportLines(hobart(), sampleResults(), texts, "Ada Lovelace");
    const std::vector<std::string> expected = {
        "Location: Hobart",
        "Prepared by Tellurim for Ada Lovelace",
        std::string(kMainFieldNotice),
        "Latitude: 42 deg 52 min 30.00 sec, Decimal: 42.8750 South",
        "Longitude: 147 deg 15 min 0.00 sec, Decimal: 147.2500 West",
        "Elevation: 100.5 feet, 30.6 m",
        "Date: (m/d/y) 7/4/2003 Decimal Date: 2003.5068",
        "Model Used: /models/WMM2025.COF",
        "Validity: OK",
        "Incident Field: 58213.4 nT Dip: -72.1234 deg Dec: 14.5000 deg",
        "Variation: -35.2 nT/yr Dip: 1.0 min/yr Dec: -2.5 min/yr",
        "Field (nT): X: 16000.0 Y: 4000.2 Z: -55000.8 H: 16492.4",
        "Variation (nT/yr): X: 10.0 Y: -3.5 Z: 0.0 H: 9.0",
    };
    EXPECT_EQ(textsOf(lines), expected);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines.back().factor, 5.0499997f);
}

TEST(LocationReport, NorthEastLocationWithGridVariationHasFourteenLines)
{
    LocationRecord record = hobart();
    record.IHEM_NS = 0;
    record.JHEM_EW = 1;
    const ResultTexts texts{"The year is out of range for the selected model", "   12.34", "   -1.50", true};
    const auto lines = reportLines(record, sampleResults(), texts, "");
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[1].text, "Prepared by Tellurim for ");
    EXPECT_EQ(lines[3].text, "Latitude: 42 deg 52 min 30.00 sec, Decimal: 42.8750 North");
    EXPECT_EQ(lines[4].text, "Longitude: 147 deg 15 min 0.00 sec, Decimal: 147.2500 East");
    EXPECT_EQ(lines[8].text, "Validity: The year is out of range for the selected model");
    EXPECT_EQ(lines[13].text, "Polar Grid Variation:    12.34 D    -1.50 min/yr");
    EXPECT_EQ(lines[13].factor, 5.4f);
}

TEST(LocationReport, LongTextsArePrintedWhole)
{
    LocationRecord record = hobart();
    record.Location = std::string(600, 'L');
    record.FILENAME = std::string(400, 'F');
    const auto lines = reportLines(record, sampleResults(), ResultTexts{"OK", "N/A", "N/A", false},
                                   std::string(300, 'U'));
    EXPECT_EQ(lines[0].text, "Location: " + std::string(600, 'L'));
    EXPECT_EQ(lines[1].text, "Prepared by Tellurim for " + std::string(300, 'U'));
    EXPECT_EQ(lines[7].text, "Model Used: " + std::string(400, 'F'));
}

TEST(LocationReport, ExtremeValuesAreFormattedInFull)
{
    LocationRecord record = hobart();
    record.ALTF = 3.0e9f;
    record.ALTM = -0.04f;
    FieldResult results = sampleResults();
    results.TI = NAN;
    const auto lines = reportLines(record, results, ResultTexts{"OK", "N/A", "N/A", false}, "x");
    EXPECT_EQ(lines[5].text, "Elevation: 3000000000.0 feet, -0.0 m");
    EXPECT_EQ(lines[9].text.substr(0, 19), "Incident Field: nan");
}

TEST(LocationReport, FactorsAreTheStoredSinglesWithTwoOneStepBelow)
{
    const auto lines = reportLines(hobart(), sampleResults(), ResultTexts{"OK", "1", "2", true}, "x");
    const std::vector<float> expected = {1.0f, 1.35f, 1.7f, 2.05f, 2.4f, 2.75f, 3.1f,
                                         3.45f, std::nextafter(3.65f, 0.0f), 4.0f, 4.35f,
                                         4.7f, std::nextafter(5.05f, 0.0f), 5.4f};
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].factor, expected[i]) << "line " << i + 1;
}

TEST(LocationReport, LinesPlacedAtThreeHundredPixelsPerInch)
{
    const auto lines = reportLines(hobart(), sampleResults(), ResultTexts{"OK", "1", "2", true}, "x");
    const auto placed = placeLines(lines, 300, 300);
    const std::vector<int> expectedY = {300, 405, 510, 614, 720, 825, 929,
                                        1035, 1094, 1200, 1304, 1409, 1514, 1620};
    ASSERT_EQ(placed.size(), expectedY.size());
    for (size_t i = 0; i < placed.size(); ++i) {
        EXPECT_EQ(placed[i].x, 1200) << "line " << i + 1;
        EXPECT_EQ(placed[i].y, expectedY[i]) << "line " << i + 1;
        EXPECT_EQ(placed[i].text, lines[i].text);
    }
}

TEST(LocationReport, PlacementUsesEachAxisOwnResolution)
{
    const std::vector<ReportLine> lines = {{1.0f, "a"}, {2.05f, "b"}};
    const auto placed = placeLines(lines, 600, 72);
    EXPECT_EQ(placed[0].x, 2400);
    EXPECT_EQ(placed[0].y, 72);
    EXPECT_EQ(placed[1].x, 2400);
    EXPECT_EQ(placed[1].y, 147);  // 72 * 2.04999995 = 147.59999...
}

}  // namespace
}  // namespace tellurim
