#include "EngineTestSupport.h"

#include <unistd.h>

namespace tellurim::test {
namespace {

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool sameTables(const MagneticModel& a, const MagneticModel& b)
{
    return a.epoch == b.epoch && a.modelName == b.modelName && a.lifeSpan == b.lifeSpan
           && a.maxDegree == b.maxDegree && a.gh == b.gh && a.ghRate == b.ghRate
           && a.legendreFactor == b.legendreFactor && a.degreeFactor == b.degreeFactor
           && a.orderFactor == b.orderFactor;
}

TEST(ModelLoading, CrLfFileLoadsLikeTheLfFile)
{
    const std::string lf = readText(shippedModel("WMM2025.COF"));
    std::string crlf;
    for (const char c : lf) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    TempDir dir;
    RecordingSink sink;
    ModelEngine fromLf{sink};
    ModelEngine fromCrLf{sink};
    std::string lfName = dir.write("lf.COF", lf);
    std::string crlfName = dir.write("crlf.COF", crlf);
    fromLf.readModelFile(12, lfName);
    fromCrLf.readModelFile(12, crlfName);
    ASSERT_TRUE(fromCrLf.isLoaded());
    EXPECT_TRUE(sameTables(fromLf.model(), fromCrLf.model()));
    EXPECT_TRUE(sink.entries.empty());
}

TEST(ModelLoading, SameFileTwiceGivesIdenticalTables)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    const MagneticModel first = engine.model();
    engine.computePoint(0.0f, 40.0f, 40.0f, 2026.0f, 0, 1);
    loadShipped(engine, "WMM2025.COF");
    EXPECT_TRUE(sameTables(first, engine.model()));
    EXPECT_EQ(engine.cache().lastTime, SynthesisCache::kUnset);
}

TEST(ModelLoading, SecondModelReplacesEveryCoefficient)
{
    // The second file lists only degree 1: nothing of the first may survive.
    TempDir dir;
    std::string small = dir.write("small.COF", headerRecord("2010.0") + "\n"
                                                   + coefficientRecord(1, 0, -30000.0, 0.0, 0.0, 0.0)
                                                   + "\n" + kEndRecord + "\n");
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    engine.readModelFile(12, small);
    ASSERT_TRUE(engine.isLoaded());
    const MagneticModel& model = engine.model();
    for (std::size_t row = 0; row < kTableSize; ++row) {
        for (std::size_t column = 0; column < kTableSize; ++column) {
            if (row == 0 && column == 1)
                continue;
            EXPECT_EQ(model.gh[row][column], 0.0f) << row << "," << column;
            EXPECT_EQ(model.ghRate[row][column], 0.0f) << row << "," << column;
        }
    }
    EXPECT_EQ(model.epoch, 2010.0f);
}

TEST(ModelLoading, DegreesUpToTenLoadAndHigherDegreesAddNothing)
{
    // Drop every record of degree 11 and 12 from the shipped model; then
    // compare against the full model evaluated at degree 10 only.
    const std::string full = readText(shippedModel("WMM2025.COF"));
    std::istringstream lines(full);
    std::string line;
    std::string upToTen;
    while (std::getline(lines, line)) {
        const bool degree11or12 = line.size() > 3 && (line.substr(1, 2) == "11" || line.substr(1, 2) == "12");
        if (!degree11or12)
            upToTen += line + "\n";
    }
    TempDir dir;
    std::string name = dir.write("ten.COF", upToTen);
    RecordingSink sink;
    ModelEngine ten{sink};
    ten.readModelFile(12, name);
    ASSERT_TRUE(ten.isLoaded());
    EXPECT_EQ(ten.model().maxDegree, 12);
    for (std::size_t n = 11; n <= 12; ++n)
        for (std::size_t m = 0; m <= n; ++m)
            EXPECT_EQ(ten.model().gh[m][n], 0.0f);

    ModelEngine truncated{sink};
    std::string path = shippedModel("WMM2025.COF");
    truncated.readModelFile(10, path);
    ASSERT_TRUE(truncated.isLoaded());
    const FieldResult a = ten.computePoint(100.0f, 47.5f, 8.25f, 2026.0f, 0, 1);
    const FieldResult b = truncated.computePoint(100.0f, 47.5f, 8.25f, 2026.0f, 0, 1);
    EXPECT_NEAR(a.TI, b.TI, 0.01f);
    EXPECT_NEAR(a.DEC, b.DEC, 1e-5f);
    EXPECT_NEAR(a.BZ, b.BZ, 0.01f);
}

TEST(ModelLoading, RequestedDegreeAboveTwelveIsLowered)
{
    RecordingSink sink;
    ModelEngine engine{sink};
    std::string path = shippedModel("WMM2025.COF");
    engine.readModelFile(40, path);
    ASSERT_TRUE(engine.isLoaded());
    EXPECT_EQ(engine.model().maxDegree, 12);
}

TEST(ModelLoading, NothingAfterTheEndRecordIsRead)
{
    TempDir dir;
    std::string name = dir.write("tail.COF", headerRecord("2000.0") + "\n"
                                                 + coefficientRecord(1, 0, -30000.0, 0.0, 0.0, 0.0)
                                                 + "\n" + kEndRecord + "\nthis is not a record\n"
                                                 + coefficientRecord(1, 0, 5.0, 0.0, 0.0, 0.0));
    RecordingSink sink;
    ModelEngine engine{sink};
    engine.readModelFile(12, name);
    ASSERT_TRUE(engine.isLoaded());
    EXPECT_EQ(engine.model().gh[0][1], -30000.0f);
}

TEST(ModelLoading, EndRecordWithoutFinalNewlineAndLongLinesLoad)
{
    TempDir dir;
    std::string name = dir.write("long.COF", headerRecord("2000.0") + std::string(5000, '#') + "\n"
                                                 + coefficientRecord(1, 0, -30000.0, 0.0, 0.0, 0.0)
                                                 + "  comment beyond the record\n" + kEndRecord);
    RecordingSink sink;
    ModelEngine engine{sink};
    engine.readModelFile(12, name);
    EXPECT_TRUE(engine.isLoaded());
    EXPECT_TRUE(sink.entries.empty());
}

TEST(ModelLoading, FailedOpenRenamesAndLeavesNoModel)
{
    TempDir dir;
    RecordingSink sink;
    ModelEngine engine{sink};
    loadShipped(engine, "WMM2025.COF");
    const MagneticModel before = engine.model();
    const std::string missing = (dir.path() / "gone;away.COF").string();
    std::string name = missing;
    engine.readModelFile(12, name);

    EXPECT_FALSE(engine.isLoaded());
    EXPECT_EQ(name, "Last model selected was not found");
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_FALSE(sink.entries[0].information);
    EXPECT_EQ(sink.entries[0].text, "ERROR OPENING FILE:;" + missing);
    // The ';' of the name becomes a line break as well.
    EXPECT_EQ(engineTextToLines(sink.entries[0].text),
              "ERROR OPENING FILE:\n" + (dir.path() / "gone\naway.COF").string());
    // Tables untouched, but no longer used.
    EXPECT_TRUE(sameTables(before, engine.model()));
    FieldResult result;
    result.TI = 123.0f;
    SynthesisOutput out;
    out.totalIntensity = 456.0f;
    engine.synthesize(0.0f, 1.0f, 2.0f, 2025.0f, out);
    EXPECT_EQ(out.dateOutOfRange, -1);
    EXPECT_EQ(out.coordinatesOutOfRange, -1);
    EXPECT_EQ(out.totalIntensity, 456.0f);
    result = engine.computePoint(0.0f, 1.0f, 2.0f, 2025.0f, 0, 1);
    EXPECT_EQ(result.dateOutOfRange, -1);
    EXPECT_EQ(result.coordinatesOutOfRange, -1);
}

TEST(ModelLoading, DirectoriesAndOddNamesAreOpenFailures)
{
    TempDir dir;
    for (const std::string& odd : {dir.path().string(), std::string{}, std::string{"a\0b", 3},
                                   std::string{".."}}) {
        RecordingSink sink;
        ModelEngine engine{sink};
        std::string name = odd;
        engine.readModelFile(12, name);
        EXPECT_FALSE(engine.isLoaded());
        EXPECT_EQ(name, "Last model selected was not found");
        ASSERT_EQ(sink.entries.size(), 1u);
        EXPECT_EQ(sink.entries[0].text.rfind("ERROR OPENING FILE:;", 0), 0u);
    }
}

TEST(ModelLoading, UnreadableFileIsAnOpenFailure)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    TempDir dir;
    std::string name = dir.write("locked.COF", readText(shippedModel("WMM2025.COF")));
    std::filesystem::permissions(name, std::filesystem::perms::none);
    RecordingSink sink;
    ModelEngine engine{sink};
    engine.readModelFile(12, name);
    EXPECT_FALSE(engine.isLoaded());
    EXPECT_EQ(name, "Last model selected was not found");
}

TEST(MessageText, SemicolonsBecomeLineBreaks)
{
    EXPECT_EQ(engineTextToLines("A;B;;C"), "A\nB\n\nC");
    EXPECT_EQ(engineTextToLines("plain"), "plain");
}

}  // namespace
}  // namespace tellurim::test
