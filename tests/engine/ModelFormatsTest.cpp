// The readers of the free-column .COF and of the .shc layout, the choice
// between them by content, and IGRF's span of epochs.

#include "EngineTestSupport.h"

#include "engine/ModelFormats.h"

#include <algorithm>

namespace tellurim::test {
namespace {

const std::string kFreeHeader = "    2025.0           FREE-TEST        11/13/2024\n";
const std::string kFreeEnd = std::string(48, '9') + "\n";

std::string freeRecord(int n, int m, const char* values)
{
    char line[128];
    std::snprintf(line, sizeof line, "%5d%5d %s\n", n, m, values);
    return line;
}

const std::string kShcTop = "# TEST FIELD\n1 2 2 2 1 2000.0 2010.0\n  2000.0 2010.0\n";

/// A degree-2 .shc model; h written with negative orders or, with
/// secondRows, as the second row of the same order.
std::string shcModel(bool secondRows)
{
    const char* g[] = {" 1  0 -30000 -29000", " 1  1  -2000  -1800", " 2  0  -2500  -2600",
                       " 2  1   3000   2900", " 2  2   1600   1700"};
    const char* h[] = {"", "  5000   4800", "", "  -3000  -2900", "  -500   -600"};
    const int n[] = {1, 1, 2, 2, 2};
    const int m[] = {0, 1, 0, 1, 2};
    std::string text = kShcTop;
    for (int i = 0; i < 5; ++i) {
        text += std::string(g[i]) + "\n";
        if (m[i] != 0) {
            char row[64];
            std::snprintf(row, sizeof row, "%2d %2d%s\n", n[i], secondRows ? m[i] : -m[i], h[i]);
            text += row;
        }
    }
    return text;
}

TEST(ModelFormats, TheContentNotTheNameChoosesTheReader)
{
    ScratchModel scratch;
    // The high-resolution file under a .shc name, IGRF under a .COF name.
    ASSERT_TRUE(scratch.load(readWholeFile(shippedModel("WMMHR2025.COF")), "hr.shc"));
    EXPECT_EQ(scratch.engine.model()->degree(), 133);
    EXPECT_EQ(scratch.engine.model()->name(), "WMMHR-2025          ");
    EXPECT_EQ(scratch.engine.model()->lifeSpan(), 5.0f);
    ASSERT_TRUE(scratch.load(readWholeFile(shippedModel("IGRF14.shc")), "igrf.COF"));
    EXPECT_EQ(scratch.engine.model()->degree(), 13);
    EXPECT_EQ(scratch.engine.model()->name(), "IGRF 14             ");

    // A positive first g, which the fixed columns would read as other
    // numbers without a complaint, is read field by field.
    ASSERT_TRUE(scratch.load(kFreeHeader + freeRecord(1, 0, "29351.7976 0.0 11.9581 0.0")
                             + freeRecord(1, 1, "1410.7694 4545.3934 9.7476 -21.4933") + kFreeEnd));
    EXPECT_EQ(scratch.content().gh[0][1], 29351.7976f);
    EXPECT_EQ(scratch.content().ghRate[1][0], -21.4933f);
    EXPECT_EQ(scratch.engine.model()->degree(), 1);
    // Asked for less, the reader still keeps degree 1 and sums it.
    std::string name = scratch.name;
    scratch.engine.readModelFile(0, name);
    EXPECT_EQ(scratch.engine.model()->degree(), 1);
    EXPECT_GT(scratch.at(10.0f, 20.0f, 2025.0f).totalIntensity, 20000.0f);

    // The classic records stay classic, whatever their numbers.
    EXPECT_EQ(detectModelFormat(headerRecord("2025.0"), "  1  0  29351.8       0.0       12.0        0.0"),
              ModelFormat::FixedColumn);
    EXPECT_EQ(detectModelFormat(headerRecord("2025.0"), kEndRecord), ModelFormat::FixedColumn);
    EXPECT_EQ(detectModelFormat("1 13 27 2 1 1900.0 2030.0", ""), ModelFormat::Shc);
}

TEST(ModelFormats, BothWaysOfWritingHGiveTheSameModel)
{
    ScratchModel negative, second;
    ASSERT_TRUE(negative.load(shcModel(false), "a.shc"));
    ASSERT_TRUE(second.load(shcModel(true), "b.shc"));
    const ModelFile a = negative.content();
    const ModelFile b = second.content();
    EXPECT_TRUE(a.gh == b.gh && a.ghRate == b.ghRate);
    EXPECT_EQ(a.gh[1][0], 5000.0f);  // h(1,1), Schmidt factor 1
    EXPECT_EQ(a.ghRate[0][1], 100.0f);  // (-29000 - -30000) / 10 years
    EXPECT_EQ(a.epoch, 2000.0f);
    EXPECT_EQ(a.lifeSpan, 10.0f);
}

TEST(ModelFormats, DamagedFilesAreReadFailuresWithLineAndReason)
{
    const std::string two = freeRecord(1, 0, "-30000.0 0.0 0.0 0.0");
    const std::string shc = shcModel(false);
    const std::vector<std::pair<std::string, std::uint64_t>> broken{
        {kFreeHeader + two, 0},                                          // no end record
        {kFreeHeader + two + freeRecord(1, 1, "1.0 2.0 3.0") + kFreeEnd, 3},  // five fields
        {kFreeHeader + two + freeRecord(2, 3, "1.0 2.0 3.0 4.0") + kFreeEnd, 3},  // m > n
        {kFreeHeader + two + freeRecord(301, 0, "1.0 0.0 0.0 0.0") + kFreeEnd, 3},
        {kFreeHeader + two + freeRecord(2, 0, "1.0 x 0.0 0.0") + kFreeEnd, 3},
        {kFreeHeader + freeRecord(1, 0, "nan 0.0 0.0 0.0") + kFreeEnd, 2},
        {kFreeHeader + two + std::string(5000, '1') + "\n" + kFreeEnd, 3},
        {shc.substr(0, shc.rfind(" 2 ")), 0},                            // last row missing
        {kShcTop + " 1  0 -30000\n", 4},                                  // one value short
        {"1 2 2 2 1 2000.0 2010.0\n  2010.0 2000.0\n", 2},                 // epochs decrease
        {"1 2 2 3 1 2000.0 2010.0\n  2000.0 2010.0\n", 1},                 // spline order 3
        {shc + " 2  2   1600   1700\n", 12},                                // given three times
        {"#\n1 900 2 2 1 2000.0 2010.0\n", 2},                              // degree too high
    };
    for (const auto& [text, line] : broken) {
        ScratchModel scratch;
        loadShipped(scratch.engine, "WMM2020.COF");
        EXPECT_FALSE(scratch.load(text, "x.shc")) << text;
        ASSERT_EQ(scratch.sink.entries.size(), 1u) << text;
        EXPECT_EQ(scratch.sink.entries[0].text, "ERROR READING FILE:;" + scratch.name);
        EXPECT_EQ(scratch.engine.lastReadProblem().line, line) << text;
        EXPECT_FALSE(scratch.engine.lastReadProblem().reason.empty()) << text;
        EXPECT_EQ(scratch.engine.computePoint(0.0f, 10.0f, 10.0f, 2020.0f).dateOutOfRange, -1);
    }
}

TEST(ModelFormats, ReasonsNameTheTrueFault)
{
    const std::string dipole = freeRecord(1, 0, "-30000.0 0.0 0.0 0.0");
    const std::string degreeTwo = freeRecord(2, 0, "1.0 0.0 0.0 0.0") + freeRecord(2, 2, "1.0 1.0 0.0 0.0");
    std::string crOnly = readWholeFile(shippedModel("IGRF14.shc"));
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    std::string crOnlyFree = kFreeHeader + dipole + freeRecord(1, 1, "1.0 2.0 3.0 4.0") + kFreeEnd;
    std::replace(crOnlyFree.begin(), crOnlyFree.end(), '\n', '\r');
    struct Case {
        std::string text;
        std::uint64_t line;
        std::string reason;
    };
    const std::string crReason = "the lines end in a carriage return alone (CR); LF or CR LF is read";
    const Case cases[] = {
        {"    1e39           FREE-TEST        11/13/2024\n" + dipole + kFreeEnd, 1, "the epoch is outside -10000 to 10000"},
        {"# X\n1 1 2 2 1 2000 1e39\n2000 1e39\n 1 0 1 1\n 1 1 1 1\n 1 -1 1 1\n", 3,
         "an epoch is outside -10000 to 10000"},
        {modelText(headerRecord("99999.")), 1, "the epoch is outside -10000 to 10000"},
        {modelText(headerRecord("2000.0", "T", "20000.")), 1, "the life span is outside -10000 to 10000"},
        {kFreeHeader + dipole + freeRecord(1, 0, "1.0 0.0 0.0 0.0") + kFreeEnd, 3,
         "degree 1 order 0 is given twice (first on line 2)"},
        {kFreeHeader + dipole + degreeTwo + kFreeEnd, 5, "no record before the end gives degree 1 order 1"},
        {kFreeHeader + freeRecord(-1, 0, "1.0 0.0 0.0 0.0") + kFreeEnd, 2, "the degree or order is out of range"},
        {crOnly, 1, crReason},
        {crOnlyFree, 1, crReason},
    };
    for (const Case& c : cases) {
        ScratchModel scratch;
        EXPECT_FALSE(scratch.load(c.text)) << c.text;
        EXPECT_EQ(scratch.engine.lastReadProblem().line, c.line) << c.text;
        EXPECT_EQ(scratch.engine.lastReadProblem().reason, c.reason) << c.text;
    }
}

TEST(ModelFormats, IgrfIsValidFrom1900To2030AndWarnsOnceOutside)
{
    ShippedEngine igrf{"IGRF14.shc"};
    for (const auto& [date, flag] : {std::pair{1900.0f, 0}, {1955.5f, 0}, {2030.0f, 0}}) {
        EXPECT_EQ(igrf.engine.computePoint(0.0f, 10.0f, 10.0f, date).dateOutOfRange, flag) << date;
    }
    EXPECT_TRUE(igrf.sink.entries.empty());
    ShippedEngine late{"IGRF14.shc"};
    EXPECT_EQ(late.engine.computePoint(0.0f, 10.0f, 10.0f, 2030.1f).dateOutOfRange, 1);
    EXPECT_EQ(late.engine.computePoint(0.0f, 10.0f, 10.0f, 1899.9f).dateOutOfRange, 1);
    ASSERT_EQ(late.sink.entries.size(), 1u);
    EXPECT_EQ(late.sink.entries[0].text, std::string{kLifeSpanWarning});

    // The annual change across an epoch is the difference of the two dates.
    const FieldResult before = igrf.engine.computePoint(0.0f, 40.0f, -100.0f, 1999.5f);
    const FieldResult after = igrf.engine.computePoint(0.0f, 40.0f, -100.0f, 2000.5f);
    EXPECT_NEAR(before.BZ2, after.BZ - before.BZ, 0.01);
}

}  // namespace
}  // namespace tellurim::test
