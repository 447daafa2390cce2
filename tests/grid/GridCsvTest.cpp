#include "grid/GridCsv.h"

#include "support/EngineSupport.h"
#include "support/TestText.h"
#include "record/ResultTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tellurim {
namespace {

FieldResult sampleResult()
{
    return {.BH = 10000.0f, .BX = 9000.25f, .BY = -4000.75f, .BZ = 53000.0f, .DIP = 78.75f, .DEC = -20.125f,
            .TI = 55000.5f, .BH2 = 1.0f, .BX2 = -2.0f, .BY2 = 0.125f, .BZ2 = 30.0f, .DIP2 = -0.5f, .DEC2 = 3.5f,
            .TI2 = -12.25f, .gridVariation = 12.34f, .gridVariationNextYear = 12.5f};
}

TEST(GridCsvFormat, HeaderHasNineteenQuotedNamesAndATrailingComma)
{
    EXPECT_EQ(gridCsvHeader(),
              "\"Decimal Latitude\",\"Decimal Longitude\",\"Incident Field\",\"Incident variation\","
              "\"Declination\",\"Declination Variation\",\"Dip\",\"Dip Variation\","
              "\"Horizontal Field\",\"Horizontal Variation\",\"X-field\",\"X-variation\","
              "\"Y-field\",\"Y-variation\",\"Vertical Field\",\"Vertical Variation\","
              "\"Validity\",\"Polar Grid variation\",\"Polar Grid variation\",\r\n");
}

TEST(GridCsvFormat, PointLineHoldsValuesInColumnOrderRateBeforeVariation)
{
    std::string line;
    appendGridLine(line, 60.5f, -45.25f, sampleResult());
    EXPECT_EQ(line,
              "60.500000,-45.250000,55000.500000,-12.250000,-20.125000,3.500000,78.750000,"
              "-0.500000,10000.000000,1.000000,9000.250000,-2.000000,-4000.750000,0.125000,"
              "53000.000000,30.000000,\"OK\",\"    9.60\",\"   12.34\",\r\n");
}

TEST(GridCsvFormat, LinesAppendAndCarryValidityAndNotApplicable)
{
    FieldResult r = sampleResult();
    r.gridVariation = kNoGridVariation;
    r.coordinatesOutOfRange = 1;
    std::string text = "previous\r\n";
    appendGridLine(text, 0.0f, 0.0f, r);
    EXPECT_EQ(text.rfind("previous\r\n0.000000,0.000000,", 0), 0U);
    EXPECT_TRUE(text.ends_with(
        ",\"The coordinates are out of range for the selected model\",\"N/A\",\"N/A\",\r\n"));
}

TEST(GridCsvFormat, RealModelPointMatchesPrintfOfEveryValue)
{
    ShippedEngine shipped;
    struct Case {
        float lat, lon, date;
        const char* validity;
        bool gridVariation;
    };
    const Case cases[] = {
        {80.25f, -100.5f, 2026.5f, "OK", true},
        {-70.0f, 140.0f, 2027.25f, "OK", true},
        {39.75f, -105.25f, 2025.0f, "OK", false},
        {60.0f, 10.0f, 2035.0f, "The year is out of range for the selected model", true},
    };
    for (const Case& c : cases) {
        const FieldResult r = shipped.engine.computePoint(1609.344f, c.lat, c.lon, c.date);
        std::string line;
        appendGridLine(line, c.lat, c.lon, r);
        ASSERT_TRUE(line.ends_with(",\r\n"));
        const std::vector<std::string> fields = splitFields(line.substr(0, line.size() - 2));
        ASSERT_EQ(fields.size(), 20U) << line;
        EXPECT_EQ(fields[19], "");
        const float numbers[] = {c.lat, c.lon,  r.TI,  r.TI2, r.DEC, r.DEC2, r.DIP, r.DIP2,
                                 r.BH,  r.BH2,  r.BX,  r.BX2, r.BY,  r.BY2,  r.BZ,  r.BZ2};
        for (size_t i = 0; i < 16; ++i)
            EXPECT_EQ(fields[i], cFormat("%f", static_cast<double>(numbers[i]))) << "column " << i + 1;
        EXPECT_EQ(fields[16], std::string("\"") + c.validity + "\"");
        if (c.gridVariation) {
            const double change =
                (static_cast<double>(r.gridVariationNextYear) - static_cast<double>(r.gridVariation)) * 60.0;
            EXPECT_EQ(fields[17], cFormat("\"%8.2f\"", change));
            EXPECT_EQ(fields[18], cFormat("\"%8.2f\"", static_cast<double>(r.gridVariation)));
        } else {
            EXPECT_EQ(fields[17], "\"N/A\"");
            EXPECT_EQ(fields[18], "\"N/A\"");
        }
    }
}

}  // namespace
}  // namespace tellurim
