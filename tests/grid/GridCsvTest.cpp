#include "grid/GridCsv.h"

#include "engine/ModelEngine.h"
#include "workspace/ResultTexts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tellurim {
namespace {

std::vector<std::string> splitFields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t comma = line.find(','); comma != std::string::npos; comma = line.find(',', start)) {
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

std::string printfFixed(float value)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value));
    return buffer;
}

std::string printf82(double value)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%8.2f", value);
    return buffer;
}

class SilentSink : public EngineMessageSink {
public:
    void showPlainMessage(const std::string& text) override { messages.push_back(text); }
    void showInformationMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

FieldResult sampleResult()
{
    FieldResult r;
    r.TI = 55000.5f;
    r.TI2 = -12.25f;
    r.DEC = -20.125f;
    r.DEC2 = 3.5f;
    r.DIP = 78.75f;
    r.DIP2 = -0.5f;
    r.BH = 10000.0f;
    r.BH2 = 1.0f;
    r.BX = 9000.25f;
    r.BX2 = -2.0f;
    r.BY = -4000.75f;
    r.BY2 = 0.125f;
    r.BZ = 53000.0f;
    r.BZ2 = 30.0f;
    r.gridVariation = 12.34f;
    r.gridVariationNextYear = 12.5f;
    return r;
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
    SilentSink sink;
    ModelEngine engine(sink);
    std::string name = std::string(TELLURIM_MODELS_DIR) + "/WMM2025.COF";
    engine.readModelFile(12, name);
    ASSERT_TRUE(engine.isLoaded());

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
        const FieldResult r = engine.computePoint(1609.344f, c.lat, c.lon, c.date, 0, 1);
        std::string line;
        appendGridLine(line, c.lat, c.lon, r);
        ASSERT_TRUE(line.ends_with(",\r\n"));
        const std::vector<std::string> fields = splitFields(line.substr(0, line.size() - 2));
        ASSERT_EQ(fields.size(), 20U) << line;
        EXPECT_EQ(fields[19], "");
        const float numbers[] = {c.lat, c.lon,  r.TI,  r.TI2, r.DEC, r.DEC2, r.DIP, r.DIP2,
                                 r.BH,  r.BH2,  r.BX,  r.BX2, r.BY,  r.BY2,  r.BZ,  r.BZ2};
        for (size_t i = 0; i < 16; ++i) {
            EXPECT_EQ(fields[i], printfFixed(numbers[i])) << "column " << i + 1;
        }
        EXPECT_EQ(fields[16], std::string("\"") + c.validity + "\"");
        if (c.gridVariation) {
            EXPECT_EQ(fields[17], "\"" + printf82((static_cast<double>(r.gridVariationNextYear) -
                                                   static_cast<double>(r.gridVariation)) * 60.0) + "\"");
            EXPECT_EQ(fields[18], "\"" + printf82(static_cast<double>(r.gridVariation)) + "\"");
        } else {
            EXPECT_EQ(fields[17], "\"N/A\"");
            EXPECT_EQ(fields[18], "\"N/A\"");
        }
    }
}

}  // namespace
}  // namespace tellurim
