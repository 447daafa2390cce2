#include "EngineTestSupport.h"

#include <sstream>
#include <unistd.h>

namespace tellurim::test {
namespace {

bool sameTables(const ModelFile& a, const ModelFile& b)
{
    return a.epoch == b.epoch && a.modelName == b.modelName && a.lifeSpan == b.lifeSpan
           && a.maxDegree == b.maxDegree && a.gh == b.gh && a.ghRate == b.ghRate
           && a.legendreFactor == b.legendreFactor && a.degreeFactor == b.degreeFactor
           && a.orderFactor == b.orderFactor;
}

const std::string kNotFound = "Last model selected was not found";

TEST(ModelLoading, CrLfFileLoadsLikeTheLfFile)
{
    const std::string lf = readWholeFile(shippedModel());
    std::string crlf;
    for (const char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ScratchModel fromLf, fromCrLf;
    ASSERT_TRUE(fromLf.load(lf));
    ASSERT_TRUE(fromCrLf.load(crlf));
    EXPECT_TRUE(sameTables(fromLf.content(), fromCrLf.content()));
    EXPECT_TRUE(fromLf.sink.entries.empty() && fromCrLf.sink.entries.empty());
}

TEST(ModelLoading, SameFileTwiceGivesIdenticalTables)
{
    ShippedEngine shipped;
    const ModelFile first = contentOf(shippedModel());
    shipped.engine.computePoint(0.0f, 40.0f, 40.0f, 2026.0f);
    loadShipped(shipped.engine);
    EXPECT_TRUE(sameTables(first, contentOf(shippedModel())));
    // A load starts afresh: its first calculation may warn again.
    shipped.engine.computePoint(0.0f, 40.0f, 40.0f, 2040.0f);
    ASSERT_EQ(shipped.sink.entries.size(), 1u);
    EXPECT_TRUE(shipped.sink.entries[0].information);
}

TEST(ModelLoading, SecondModelReplacesEveryCoefficient)
{
    // The second file lists only degree 1: nothing of the first may survive.
    ScratchModel scratch;
    loadShipped(scratch.engine);
    ASSERT_TRUE(scratch.load(modelText(headerRecord("2010.0"))));
    const ModelFile model = scratch.content();
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
    std::istringstream lines(readWholeFile(shippedModel()));
    std::string line, upToTen;
    while (std::getline(lines, line)) {
        if (!(line.size() > 3 && (line.substr(1, 2) == "11" || line.substr(1, 2) == "12")))
            upToTen += line + "\n";
    }
    ScratchModel ten;
    ASSERT_TRUE(ten.load(upToTen));
    EXPECT_EQ(ten.engine.model()->degree(), 12);
    for (std::size_t n = 11; n <= 12; ++n)
        for (std::size_t m = 0; m <= n; ++m)
            EXPECT_EQ(ten.content().gh[m][n], 0.0f);

    RecordingSink sink;
    ModelEngine truncated{sink};
    std::string path = shippedModel();
    truncated.readModelFile(10, path);
    ASSERT_TRUE(truncated.isLoaded());
    const FieldResult a = ten.engine.computePoint(100.0f, 47.5f, 8.25f, 2026.0f);
    const FieldResult b = truncated.computePoint(100.0f, 47.5f, 8.25f, 2026.0f);
    EXPECT_NEAR(a.TI, b.TI, 0.01f);
    EXPECT_NEAR(a.DEC, b.DEC, 1e-5f);
    EXPECT_NEAR(a.BZ, b.BZ, 0.01f);

    // A requested degree above twelve is lowered.
    std::string again = shippedModel();
    truncated.readModelFile(40, again);
    ASSERT_TRUE(truncated.isLoaded());
    EXPECT_EQ(truncated.model()->degree(), 12);
}

TEST(ModelLoading, NothingAfterTheEndRecordIsReadAndLongLinesLoad)
{
    ScratchModel scratch;
    ASSERT_TRUE(scratch.load(modelText(headerRecord("2000.0")) + "this is not a record\n"
                             + coefficientRecord(1, 0, 5.0, 0.0)));
    EXPECT_EQ(scratch.content().gh[0][1], -30000.0f);

    // An end record without a final line break, text beyond a record's columns.
    EXPECT_TRUE(scratch.load(headerRecord("2000.0") + std::string(400, '#') + "\n" + kAxialDipole
                             + "  comment beyond the record\n" + kEndRecord));
    EXPECT_TRUE(scratch.sink.entries.empty());
}

TEST(ModelLoading, FailedOpenRenamesAndLeavesNoModel)
{
    ScratchModel scratch;
    loadShipped(scratch.engine);
    const std::string missing = scratch.dir.file("gone;away.COF");
    std::string name = missing;
    scratch.engine.readModelFile(12, name);

    EXPECT_FALSE(scratch.engine.isLoaded());
    EXPECT_EQ(name, kNotFound);
    ASSERT_EQ(scratch.sink.entries.size(), 1u);
    EXPECT_FALSE(scratch.sink.entries[0].information);
    EXPECT_EQ(scratch.sink.entries[0].text, "ERROR OPENING FILE:;" + missing);
    // The ';' of the name becomes a line break as well.
    EXPECT_EQ(engineTextToLines(scratch.sink.entries[0].text),
              "ERROR OPENING FILE:\n" + scratch.dir.file("gone\naway.COF"));
    EXPECT_EQ(engineTextToLines("A;B;;C"), "A\nB\n\nC");
    EXPECT_EQ(engineTextToLines("plain"), "plain");
    // The model before is no longer used.
    EXPECT_EQ(scratch.engine.model(), nullptr);
    FieldAtTime out;
    out.totalIntensity = 456.0f;
    scratch.engine.synthesize(0.0f, 1.0f, 2.0f, 2025.0f, out);
    EXPECT_EQ(out.dateOutOfRange, -1);
    EXPECT_EQ(out.coordinatesOutOfRange, -1);
    EXPECT_EQ(out.totalIntensity, 456.0f);
    const FieldResult result = scratch.engine.computePoint(0.0f, 1.0f, 2.0f, 2025.0f);
    EXPECT_EQ(result.dateOutOfRange, -1);
    EXPECT_EQ(result.coordinatesOutOfRange, -1);
}

TEST(ModelLoading, DirectoriesOddNamesAndUnreadableFilesAreOpenFailures)
{
    TempDir dir;
    std::vector<std::string> odd{dir.path().string(), std::string{}, std::string{"a\0b", 3}, std::string{".."}};
    if (geteuid() != 0) {  // permissions do not apply to root
        odd.push_back(dir.write("locked.COF", readWholeFile(shippedModel())));
        std::filesystem::permissions(odd.back(), std::filesystem::perms::none);
    }
    for (const std::string& path : odd) {
        RecordingSink sink;
        ModelEngine engine{sink};
        std::string name = path;
        engine.readModelFile(12, name);
        EXPECT_FALSE(engine.isLoaded()) << path;
        EXPECT_EQ(name, kNotFound);
        ASSERT_EQ(sink.entries.size(), 1u);
        EXPECT_EQ(sink.entries[0].text.rfind("ERROR OPENING FILE:;", 0), 0u);
    }
}

}  // namespace
}  // namespace tellurim::test
