#include "grid/GridGenerator.h"

#include "files/TempFolder.h"
#include "grid/GridCsv.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace tellurim {
namespace {

/// Records every progress call; answers "cancel" at one chosen poll.
class ScriptedProgress : public Progress {
public:
    explicit ScriptedProgress(int cancelAtPoll = 0) : m_cancelAtPoll(cancelAtPoll) {}
    void setRange(int lower, int upper) override
    {
        events.push_back("range " + std::to_string(lower) + " " + std::to_string(upper));
    }
    void setPosition(int position) override { events.push_back("position " + std::to_string(position)); }
    bool pollCancel() override
    {
        events.push_back("poll");
        return ++m_polls == m_cancelAtPoll;
    }
    std::vector<std::string> events;

private:
    int m_cancelAtPoll;
    int m_polls = 0;
};

/// Keeps what is written; fails the chosen write with a full disk.
class RecordingSink : public LineSink {
public:
    explicit RecordingSink(int failAtWrite = 0) : m_failAtWrite(failAtWrite) {}
    std::optional<FileError> write(std::string_view bytes) override
    {
        if (++m_writes == m_failAtWrite) {
            return FileError{FileCause::DiskFull, ENOSPC, "grid.csv"};
        }
        writes.emplace_back(bytes);
        text.append(bytes);
        return std::nullopt;
    }
    std::vector<std::string> writes;
    std::string text;

private:
    int m_failAtWrite;
    int m_writes = 0;
};

/// A stand-in for the engine that records where it was asked.
struct FakeField {
    std::vector<std::pair<float, float>> calls;
    PointCalculation calculation()
    {
        return [this](float latitude, float longitude) {
            calls.emplace_back(latitude, longitude);
            FieldResult r;
            r.TI = latitude * 1000.0f + longitude;
            return r;
        };
    }
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        result.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "text ends inside a line";
    return result;
}

GridSettings area(float startLat, float endLat, float latInc, float startLong, float endLong,
                  float longInc)
{
    return GridSettings{0, startLat, endLat, latInc, startLong, endLong, longInc};
}

TEST(GridGeneratorRun, WalksLatitudeOuterLongitudeInnerAndPollsBeforeEachRow)
{
    FakeField field;
    RecordingSink sink;
    ScriptedProgress progress;
    GridGenerator generator(field.calculation(), sink, progress);
    const GridRunResult result = generator.run(area(10.0f, 12.0f, 1.0f, -1.0f, 0.0f, 0.5f));

    EXPECT_EQ(result.outcome, GridOutcome::Completed);
    EXPECT_EQ(result.rows, 3);
    EXPECT_EQ(result.points, 9);
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"range 0 100", "position 0", "position 0", "poll",
                                        "position 50", "poll", "position 100", "poll"}));
    const std::vector<std::pair<float, float>> expected = {
        {10.0f, -1.0f}, {10.0f, -0.5f}, {10.0f, 0.0f}, {11.0f, -1.0f}, {11.0f, -0.5f},
        {11.0f, 0.0f},  {12.0f, -1.0f}, {12.0f, -0.5f}, {12.0f, 0.0f}};
    EXPECT_EQ(field.calls, expected);
    const std::vector<std::string> written = lines(sink.text);
    ASSERT_EQ(written.size(), 9U);
    EXPECT_EQ(written[3].rfind("11.000000,-1.000000,10999.000000,", 0), 0U);
    // Each row reaches the file before the next cancel poll.
    EXPECT_EQ(sink.writes.size(), 3U);
}

TEST(GridGeneratorRun, CancelKeepsTheCompletedRowsOnly)
{
    FakeField field;
    RecordingSink sink;
    ScriptedProgress progress(2);
    GridGenerator generator(field.calculation(), sink, progress);
    const GridRunResult result = generator.run(area(0.0f, 1.0f, 0.3f, 5.0f, 6.0f, 1.0f));

    EXPECT_EQ(result.outcome, GridOutcome::Cancelled);
    EXPECT_EQ(result.rows, 1);
    EXPECT_EQ(lines(sink.text).size(), 2U);
    EXPECT_EQ(progress.events.back(), "poll");
    EXPECT_EQ(progress.events[progress.events.size() - 2], "position 30");
}

TEST(GridGeneratorRun, EmptyRectangleWritesNothingAndPollsNothing)
{
    FakeField field;
    RecordingSink sink;
    ScriptedProgress progress(1);
    GridGenerator generator(field.calculation(), sink, progress);
    GridRunResult result = generator.run(area(5.0f, 4.0f, 0.5f, 0.0f, 1.0f, 1.0f));
    EXPECT_EQ(result.outcome, GridOutcome::Completed);
    EXPECT_EQ(result.points, 0);
    EXPECT_TRUE(sink.text.empty());
    EXPECT_EQ(progress.events, (std::vector<std::string>{"range 0 100", "position 0"}));

    // Rows without columns still poll, but write nothing.
    ScriptedProgress rowsOnly;
    GridGenerator noColumns(field.calculation(), sink, rowsOnly);
    result = noColumns.run(area(0.0f, 1.0f, 1.0f, 3.0f, 1.0f, 1.0f));
    EXPECT_EQ(result.rows, 2);
    EXPECT_EQ(result.points, 0);
    EXPECT_TRUE(sink.text.empty());
    EXPECT_TRUE(field.calls.empty());
}

TEST(GridGeneratorRun, WriteFailureEndsTheRunAndKeepsEarlierRows)
{
    FakeField field;
    RecordingSink sink(2);
    ScriptedProgress progress;
    GridGenerator generator(field.calculation(), sink, progress);
    const GridRunResult result = generator.run(area(0.0f, 3.0f, 1.0f, 0.0f, 0.0f, 1.0f));

    EXPECT_EQ(result.outcome, GridOutcome::WriteFailed);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->cause, FileCause::DiskFull);
    EXPECT_EQ(csvWriteErrorText(*result.error), "Error writing CSV file. Code: 13.");
    EXPECT_EQ(lines(sink.text).size(), 1U);
    EXPECT_EQ(field.calls.size(), 2U);  // no row computed after the failure
    int polls = 0;
    for (const std::string& event : progress.events) {
        polls += event == "poll" ? 1 : 0;
    }
    EXPECT_EQ(polls, 2);
}

TEST(GridGeneratorRun, LongRowsAreWrittenInWholeLines)
{
    FakeField field;
    RecordingSink sink;
    ScriptedProgress progress;
    GridGenerator generator(field.calculation(), sink, progress);
    const GridRunResult result = generator.run(area(0.0f, 0.0f, 1.0f, -180.0f, 180.0f, 0.125f));

    EXPECT_EQ(result.points, 2881);
    EXPECT_GT(sink.writes.size(), 1U);
    for (const std::string& chunk : sink.writes) {
        EXPECT_TRUE(chunk.ends_with("\r\n"));
    }
    const std::vector<std::string> written = lines(sink.text);
    ASSERT_EQ(written.size(), 2881U);
    EXPECT_EQ(written.back().rfind("0.000000,180.000000,", 0), 0U);
}

TEST(GridGeneratorRun, FullDiskIsReportedFromARealFile)
{
    CsvFile file;
    ASSERT_FALSE(file.create("/dev/full").has_value());
    CsvFileSink sink(file);
    FakeField field;
    ScriptedProgress progress;
    GridGenerator generator(field.calculation(), sink, progress);
    const GridRunResult result = generator.run(area(0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_EQ(result.outcome, GridOutcome::WriteFailed);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->cause, FileCause::DiskFull);
}

TEST(GridGeneratorRun, RealModelFileHoldsHeaderAndOneLinePerPoint)
{
    class Quiet : public EngineMessageSink {
    public:
        void showPlainMessage(const std::string&) override {}
        void showInformationMessage(const std::string&) override {}
    } quiet;
    ModelEngine engine(quiet);
    std::string name = std::string(TELLURIM_MODELS_DIR) + "/WMM2025.COF";
    engine.readModelFile(12, name);
    ASSERT_TRUE(engine.isLoaded());

    test::TempFolder folder;
    CsvFile file;
    ASSERT_FALSE(file.create(folder.file("grid.csv")).has_value());
    ASSERT_FALSE(file.write(gridCsvHeader()).has_value());
    CsvFileSink sink(file);
    ScriptedProgress progress;
    GridGenerator generator(enginePointCalculation(engine, 100.0f, 2026.0f), sink, progress);
    const GridRunResult result = generator.run(area(50.0f, 70.0f, 10.0f, -20.0f, 20.0f, 20.0f));
    file.close();

    EXPECT_EQ(result.outcome, GridOutcome::Completed);
    const std::vector<std::string> written = lines(test::readBytes(folder.file("grid.csv")));
    ASSERT_EQ(written.size(), 10U);
    EXPECT_EQ(written[0] + "\r\n", gridCsvHeader());
    std::string expectedFirst;
    appendGridLine(expectedFirst, 50.0f, -20.0f, engine.computePoint(100.0f, 50.0f, -20.0f, 2026.0f, 0, 1));
    EXPECT_EQ(written[1] + "\r\n", expectedFirst);
    EXPECT_TRUE(written[1].ends_with(",\"OK\",\"N/A\",\"N/A\","));  // below 55 degrees
    EXPECT_EQ(written[9].rfind("70.000000,20.000000,", 0), 0U);
    EXPECT_EQ(written[9].find("N/A"), std::string::npos);
}

}  // namespace
}  // namespace tellurim
