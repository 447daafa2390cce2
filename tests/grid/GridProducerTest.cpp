#include "grid/GridProducer.h"

#include "workspace/ModelEngine.h"
#include "files/CsvWriter.h"
#include "grid/GridCsv.h"
#include "support/GridRunRecorders.h"
#include "support/EngineSupport.h"
#include "support/TestEnvironment.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tellurim {
namespace {

using gridtest::LineRecorder;
using gridtest::ScriptedProgress;

/// A stand-in for the model that records where it was asked. The walks
/// here run on one thread, so the record needs no lock.
struct FakeField final : GridPointSource {
    mutable std::vector<std::pair<float, float>> calls;
    void computeRow(float latitude, std::span<const float> longitudes,
                    std::span<FieldResult> results) const override
    {
        for (std::size_t i = 0; i < longitudes.size(); ++i) {
            calls.emplace_back(latitude, longitudes[i]);
            results[i] = FieldResult{};
            results[i].TI = latitude * 1000.0f + longitudes[i];
        }
    }
};

// Chunks of 1000 points: rows longer than that reach the writer in pieces.
constexpr size_t kPointsPerChunk = 1000;

std::vector<std::string> lines(const std::string& text)
{
    EXPECT_TRUE(text.empty() || text.ends_with("\r\n")) << "text ends inside a line";
    return crlfLines(text);
}

/// One run of the producer on the fake field, recording sink and progress.
struct GridRun {
    GridRun(const GridSettings& grid, int cancelAtPoll = 0, int failAtWrite = 0)
        : sink(failAtWrite), progress(cancelAtPoll),
          result(GridProducer(1, kPointsPerChunk).run(field, grid, sink.writer(), progress))
    {
    }
    FakeField field;
    LineRecorder sink;
    ScriptedProgress progress;
    GridRunResult result;
};

GridSettings area(float startLat, float endLat, float latInc, float startLong, float endLong,
                  float longInc)
{
    return GridSettings{0, startLat, endLat, latInc, startLong, endLong, longInc};
}

TEST(GridProducerRun, WalksLatitudeOuterLongitudeInnerAndPollsBeforeEachRow)
{
    const GridRun run(area(10.0f, 12.0f, 1.0f, -1.0f, 0.0f, 0.5f));
    const auto& [field, sink, progress, result] = run;
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

TEST(GridProducerRun, CancelKeepsTheCompletedRowsOnly)
{
    const GridRun run(area(0.0f, 1.0f, 0.3f, 5.0f, 6.0f, 1.0f), 2);
    const auto& [field, sink, progress, result] = run;
    EXPECT_EQ(result.outcome, GridOutcome::Cancelled);
    EXPECT_EQ(result.rows, 1);
    EXPECT_EQ(lines(sink.text).size(), 2U);
    EXPECT_EQ(progress.events.back(), "poll");
    EXPECT_EQ(progress.events[progress.events.size() - 2], "position 30");
}

TEST(GridProducerRun, EmptyRectangleWritesNothingAndPollsNothing)
{
    const GridRun empty(area(5.0f, 4.0f, 0.5f, 0.0f, 1.0f, 1.0f), 1);
    EXPECT_EQ(empty.result.outcome, GridOutcome::Completed);
    EXPECT_EQ(empty.result.points, 0);
    EXPECT_TRUE(empty.sink.text.empty());
    EXPECT_EQ(empty.progress.events, (std::vector<std::string>{"range 0 100", "position 0"}));

    // Rows without columns still poll, but write nothing.
    const GridRun noColumns(area(0.0f, 1.0f, 1.0f, 3.0f, 1.0f, 1.0f));
    EXPECT_EQ(noColumns.result.rows, 2);
    EXPECT_EQ(noColumns.result.points, 0);
    EXPECT_EQ(std::count(noColumns.progress.events.begin(), noColumns.progress.events.end(), "poll"), 2);
    EXPECT_TRUE(noColumns.sink.text.empty());
    EXPECT_TRUE(noColumns.field.calls.empty());
}

TEST(GridProducerRun, WriteFailureEndsTheRunAndKeepsEarlierRows)
{
    const GridRun run(area(0.0f, 3.0f, 1.0f, 0.0f, 0.0f, 1.0f), 0, 2);
    const auto& [field, sink, progress, result] = run;
    EXPECT_EQ(result.outcome, GridOutcome::WriteFailed);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->cause, FileCause::DiskFull);
    EXPECT_EQ(csvWriteErrorText(*result.error), "Error writing CSV file. Code: 13.");
    EXPECT_EQ(lines(sink.text).size(), 1U);
    EXPECT_EQ(field.calls.size(), 2U);  // no row computed after the failure
    EXPECT_EQ(std::count(progress.events.begin(), progress.events.end(), "poll"), 2);
}

TEST(GridProducerRun, LongRowsAreWrittenInWholeLines)
{
    const GridRun run(area(0.0f, 0.0f, 1.0f, -180.0f, 180.0f, 0.125f));
    const auto& [field, sink, progress, result] = run;
    EXPECT_EQ(result.points, 2881);
    EXPECT_GT(sink.writes.size(), 1U);
    for (const std::string& chunk : sink.writes)
        EXPECT_TRUE(chunk.ends_with("\r\n"));
    const std::vector<std::string> written = lines(sink.text);
    ASSERT_EQ(written.size(), 2881U);
    EXPECT_EQ(written.back().rfind("0.000000,180.000000,", 0), 0U);
}

TEST(GridProducerRun, FullDiskIsReportedFromARealFile)
{
    CsvFile file;
    ASSERT_FALSE(file.create("/dev/full").has_value());
    FakeField field;
    ScriptedProgress progress;
    const GridRunResult result = GridProducer(1).run(
        field, area(0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f),
        [&file](std::string_view bytes) { return file.write(bytes); }, progress);
    EXPECT_EQ(result.outcome, GridOutcome::WriteFailed);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->cause, FileCause::DiskFull);
}

TEST(GridProducerRun, RealModelFileHoldsHeaderAndOneLinePerPoint)
{
    ShippedEngine shipped;
    ModelEngine& engine = shipped.engine;
    TempDir folder;
    CsvFile file;
    ASSERT_FALSE(file.create(folder.file("grid.csv")).has_value());
    ASSERT_FALSE(file.write(gridCsvHeader()).has_value());
    ScriptedProgress progress;
    const GridJob job{area(50.0f, 70.0f, 10.0f, -20.0f, 20.0f, 20.0f), 100.0f, 2026.0f};
    const GridRunResult result = GridProducer(2).run(
        *engine.model(), job, [&file](std::string_view bytes) { return file.write(bytes); }, progress);
    file.close();

    EXPECT_EQ(result.outcome, GridOutcome::Completed);
    const std::vector<std::string> written = lines(readWholeFile(folder.file("grid.csv")));
    ASSERT_EQ(written.size(), 10U);
    EXPECT_EQ(written[0] + "\r\n", gridCsvHeader());
    std::string expectedFirst;
    appendGridLine(expectedFirst, 50.0f, -20.0f, engine.computePoint(100.0f, 50.0f, -20.0f, 2026.0f));
    EXPECT_EQ(written[1] + "\r\n", expectedFirst);
    EXPECT_TRUE(written[1].ends_with(",\"OK\",\"N/A\",\"N/A\","));  // below 55 degrees
    EXPECT_EQ(written[9].rfind("70.000000,20.000000,", 0), 0U);
    EXPECT_EQ(written[9].find("N/A"), std::string::npos);
}

}  // namespace
}  // namespace tellurim
