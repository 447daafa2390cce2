#include "EngineTestSupport.h"

#include "engine/ModelFileReader.h"

#include <cmath>

namespace tellurim::test {
namespace {

// ---- fixed-column fields --------------------------------------------------

TEST(ModelFields, RealFieldsReadTheirColumnsOnly)
{
    struct Case {
        const char* record;
        int column, width;
        float value;
    };
    const Case cases[] = {
        // Without a decimal point the last digit is tenths.
        {"    1995", 5, 6, 199.5f}, {"  1995.0", 3, 6, 1995.0f}, {"     -5", 2, 6, -0.5f},
        {"  -.25", 1, 6, -0.25f}, {"   12.", 1, 6, 12.0f},
        // Blank or missing fields read zero; a short record is padded with blanks.
        {"      ", 1, 6, 0.0f}, {"abc", 10, 6, 0.0f}, {"       12.5", 8, 9, 12.5f},
        // Neighbouring columns must not leak in; blanks inside a number are ignored.
        {"xx  7.5yy", 3, 5, 7.5f}, {" 1 2.5", 1, 6, 12.5f}, {"12.5  ", 1, 6, 12.5f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readRealField(c.record, c.column, c.width), c.value) << '"' << c.record << '"';
    EXPECT_EQ(readIntegerField("", 2, 2), 0);
    EXPECT_EQ(readIntegerField("9-3 12", 2, 2), -3);
    EXPECT_EQ(readIntegerField("  12345", 2, 2), 1);
    EXPECT_EQ(readIntegerField("1 ", 1, 2), 1);

    const std::optional<float> negativeZero = readRealField("  -0.0", 1, 6);
    ASSERT_TRUE(negativeZero);
    EXPECT_EQ(*negativeZero, 0.0f);
    EXPECT_FALSE(std::signbit(*negativeZero));
}

TEST(ModelFields, UnreadableFieldsAreRejected)
{
    for (const char* text : {"  abc", " 1.2.3", "   -", "    .", " 1-2", "  +-1", " 1e3", "\t12.0",
                             " 1,5"}) {
        EXPECT_FALSE(readRealField(text, 1, 6)) << '"' << text << '"';
    }
    for (const char* text : {"a1", "1.", " -", "--", "1+"})
        EXPECT_FALSE(readIntegerField(text, 1, 2)) << '"' << text << '"';
}

TEST(ModelFields, RecordsReadTheirFieldsAndTheHeaderKeepsATwentyCharacterName)
{
    const std::optional<CoefficientRecord> record =
        parseCoefficientRecord("  2  1    2951.1   -3133.6       -5.2      -27.7");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->n, 2);
    EXPECT_EQ(record->m, 1);
    EXPECT_EQ(record->g, 2951.1f);
    EXPECT_EQ(record->h, -3133.6f);
    EXPECT_EQ(record->gRate, -5.2f);
    EXPECT_EQ(record->hRate, -27.7f);

    const std::optional<HeaderRecord> header =
        parseHeaderRecord(headerRecord("1995.0", "NAME", "50.0", "-10.0", "80.0", "350.0", "20.0"));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->epoch, 1995.0f);
    EXPECT_EQ(header->modelName, "NAME                ");
    EXPECT_EQ(header->lifeSpan, 50.0f);
    EXPECT_EQ(header->latMin, -10.0f);
    EXPECT_EQ(header->latMax, 80.0f);
    EXPECT_EQ(header->lonMin, 350.0f);  // the loader, not the parser, shifts it
    EXPECT_EQ(header->lonMax, 20.0f);
}

// ---- loading whole files --------------------------------------------------

std::string tinyModel(const std::string& header)
{
    return modelText(header, {coefficientRecord(1, 0, -30000.0, 0.0, 10.0, 0.0),
                              coefficientRecord(1, 1, -2000.0, 5000.0, 5.0, -20.0)});
}

TEST(ModelFile, HeaderFieldsAndTheirDefaults)
{
    ScratchModel loaded;
    ASSERT_TRUE(loaded.load(tinyModel("    2020.0     SHORT")));  // blank tail
    const auto model = [&loaded] { return loaded.engine.model(); };
    EXPECT_EQ(model()->epoch(), 2020.0f);
    EXPECT_EQ(model()->name(), "SHORT               ");
    EXPECT_EQ(model()->lifeSpan(), 5.0f);
    EXPECT_EQ(model()->bounds().latMin, 0.0f);
    EXPECT_EQ(model()->bounds().lonMax, 0.0f);
    EXPECT_TRUE(loaded.sink.entries.empty());

    // A life span of zero or less becomes five years.
    for (const auto& [written, expected] :
         {std::pair{"-1.0", 5.0f}, {"0.0", 5.0f}, {"50.0", 50.0f}, {"2.5", 2.5f}}) {
        ASSERT_TRUE(loaded.load(tinyModel(headerRecord("2000.0", "X", written)))) << written;
        EXPECT_EQ(loaded.engine.model()->lifeSpan(), expected) << written;
    }

    // Bounds above 180 are shifted into signed degrees.
    ASSERT_TRUE(loaded.load(tinyModel(headerRecord("2000.0", "R", "5.0", "190.0", "180.0", "350.0", "180.0"))));
    EXPECT_EQ(model()->bounds().latMin, -170.0f);
    EXPECT_EQ(model()->bounds().latMax, 180.0f);
    EXPECT_EQ(model()->bounds().lonMin, -10.0f);
    EXPECT_EQ(model()->bounds().lonMax, 180.0f);

    // An epoch without a decimal point reads tenths.
    ASSERT_TRUE(loaded.load(tinyModel(headerRecord("1995"))));
    EXPECT_EQ(model()->epoch(), 199.5f);
}

TEST(ModelFile, CoefficientsAreStoredPackedAndUnnormalised)
{
    ScratchModel loaded;
    ASSERT_TRUE(loaded.load(modelText(headerRecord("2000.0"),
                                      {coefficientRecord(1, 0, -30000.0, 777.0, 10.0, 99.0),
                                       coefficientRecord(1, 1, -2000.0, 5000.0, 5.0, -20.0),
                                       coefficientRecord(2, 1, 3000.0, -3000.0, -4.0, 2.0),
                                       coefficientRecord(1, 2, 1234.0, 4321.0, 1.0, 1.0)})));
    const ModelFile model = loaded.content();
    // Degree 1 has Schmidt factors 1: stored as read.
    EXPECT_EQ(model.gh[0][1], -30000.0f);
    EXPECT_EQ(model.ghRate[0][1], 10.0f);
    EXPECT_EQ(model.gh[1][1], -2000.0f);
    EXPECT_EQ(model.gh[1][0], 5000.0f);
    EXPECT_EQ(model.ghRate[1][0], -20.0f);
    // S(2,0) = 3/2; S(2,1) = S(2,0) * sqrt(2 * 2 / 3) = sqrt(3).
    EXPECT_FLOAT_EQ(model.gh[1][2], 3000.0f * std::sqrt(3.0f));
    EXPECT_FLOAT_EQ(model.gh[2][0], -3000.0f * std::sqrt(3.0f));
    EXPECT_FLOAT_EQ(model.ghRate[2][0], 2.0f * std::sqrt(3.0f));
    // m = 0 has no h: the 777 and 99 went nowhere; m > n was skipped.
    for (std::size_t row = 0; row < kTableSize; ++row) {
        for (std::size_t column = 0; column < kTableSize; ++column) {
            if ((row == 0 && column == 1) || (row == 1 && column <= 2) || (row == 2 && column == 0))
                continue;
            EXPECT_EQ(model.gh[row][column], 0.0f) << row << "," << column;
            EXPECT_EQ(model.ghRate[row][column], 0.0f) << row << "," << column;
        }
    }
    EXPECT_EQ(model.legendreFactor[1][1], 0.0f);
    EXPECT_FLOAT_EQ(model.legendreFactor[3][1], (4.0f - 1.0f) / 15.0f);
    EXPECT_EQ(model.degreeFactor[12], 13.0f);
    EXPECT_EQ(model.orderFactor[12], 12.0f);
    EXPECT_TRUE(loaded.sink.entries.empty());
}

TEST(ModelFile, RecordsInAnyOrderButEachDegreeAndOrderOnce)
{
    ScratchModel loaded;
    ASSERT_TRUE(loaded.load(modelText(headerRecord("2000.0"), {coefficientRecord(1, 1, 4.0, 5.0),
                                                               coefficientRecord(1, 0, -3.0, 0.0)})));
    EXPECT_EQ(loaded.content().gh[1][1], 4.0f);
    EXPECT_EQ(loaded.content().gh[1][0], 5.0f);
    EXPECT_EQ(loaded.content().gh[0][1], -3.0f);
    // A second record for (1,1) used to override the first without a word.
    EXPECT_FALSE(loaded.load(modelText(headerRecord("2000.0"), {coefficientRecord(1, 1, 1.0, 2.0),
                                                                coefficientRecord(1, 0, -3.0, 0.0),
                                                                coefficientRecord(1, 1, 4.0, 5.0)})));
    EXPECT_EQ(loaded.engine.lastReadProblem().line, 4u);
    EXPECT_EQ(loaded.engine.lastReadProblem().reason, "degree 1 order 1 is given twice (first on line 2)");
    // Records the reader skips (m > n) are no duplicates of anything.
    EXPECT_TRUE(loaded.load(modelText(headerRecord("2000.0"), {kAxialDipole, coefficientRecord(1, 2, 1.0, 1.0),
                                                               coefficientRecord(1, 2, 1.0, 1.0)})));
}

TEST(ModelFile, ReadFailuresReportTheNameAndLeaveNoModel)
{
    const std::string header = headerRecord("2000.0") + "\n";
    const std::vector<std::pair<const char*, std::string>> broken{
        {"empty file", ""},
        {"no end record", header + kAxialDipole + "\n"},
        {"letters in a coefficient", header + "  1  0  -2935x.8\n" + kEndRecord},
        {"letters in the epoch", "    20a0.0\n" + kAxialDipole + "\n" + kEndRecord},
        {"degree 13", header + coefficientRecord(13, 0, 1.0, 0.0) + "\n" + kEndRecord},
        {"negative order", header + coefficientRecord(3, -1, 1.0, 0.0) + "\n" + kEndRecord},
        {"negative degree", header + coefficientRecord(-2, 0, 1.0, 0.0) + "\n" + kEndRecord},
    };
    for (const auto& [what, text] : broken) {
        ScratchModel loaded;
        // Start from a good model so that "no model afterwards" means something.
        loadShipped(loaded.engine, "WMM2020.COF");
        EXPECT_FALSE(loaded.load(text)) << what;
        ASSERT_EQ(loaded.sink.entries.size(), 1u) << what;
        EXPECT_FALSE(loaded.sink.entries[0].information);
        EXPECT_EQ(loaded.sink.entries[0].text, "ERROR READING FILE:;" + loaded.name) << what;
        EXPECT_EQ(loaded.name, loaded.dir.file("m.COF")) << what;  // unchanged
        // Nothing beyond the tables was touched and no model is used.
        EXPECT_EQ(loaded.engine.computePoint(0.0f, 10.0f, 10.0f, 2020.0f).dateOutOfRange, -1) << what;
    }
}

}  // namespace
}  // namespace tellurim::test
