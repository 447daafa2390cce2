#include "grid/GridProducer.h"

#include "workspace/ModelEngine.h"
#include "grid/GridCsv.h"
#include "grid/GridWalk.h"
#include "support/EngineSupport.h"
#include "support/GridRunRecorders.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tellurim {
namespace {

using gridtest::LineRecorder;
using gridtest::ScriptedProgress;

GridJob job(float startLat, float endLat, float latInc, float startLong, float endLong, float longInc,
            float elevation = 0.0f, float date = 2026.0f)
{
    return GridJob{GridSettings{0, startLat, endLat, latInc, startLong, endLong, longInc}, elevation, date};
}

// The plain walk: one engine, one point after another.
std::vector<std::string> sequentialLines(const GridJob& j)
{
    ShippedEngine shipped;
    std::string text;
    const GridSettings& a = j.area;
    for (const float lat : gridAxis(a.StartLat, a.EndLat, a.LatInc))
        for (const float lon : gridAxis(a.StartLong, a.EndLong, a.LongInc))
            appendGridLine(text, lat, lon, shipped.engine.computePoint(j.elevation, lat, lon, j.date));
    return crlfLines(text);
}

std::string firstLines(const std::vector<std::string>& lines, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += lines[i] + "\r\n";
    return text;
}

enum class Mode { Run, Background };

// One run on a freshly loaded engine, recording writes and progress.
struct EngineRun {
    EngineRun(const GridJob& j, unsigned threads, size_t chunk, Mode mode, int cancelAtPoll = 0,
              int failAtWrite = 0)
        : sink(failAtWrite), progress(cancelAtPoll)
    {
        const GridProducer producer(threads, chunk);
        result = mode == Mode::Run ? producer.run(*shipped.engine.model(), j, sink.writer(), progress)
                                   : producer.runInBackground(*shipped.engine.model(), j, sink.writer(), progress);
    }
    ShippedEngine shipped;
    LineRecorder sink;
    ScriptedProgress progress;
    GridRunResult result;
};

std::string label(unsigned threads, size_t chunk, Mode mode)
{
    return std::to_string(threads) + " threads, chunks of " + std::to_string(chunk) +
           (mode == Mode::Run ? ", run" : ", in background");
}

std::vector<std::string> positions(const std::vector<std::string>& events)
{
    std::vector<std::string> found;
    std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                 [](const std::string& e) { return e.starts_with("position "); });
    return found;
}

TEST(GridProducerThreads, BytesAndProgressNeverDependOnThreadsChunksOrBackground)
{
    // Crosses 55 degrees, so lines with and without grid variation mix.
    const GridJob j = job(54.0f, 56.0f, 0.25f, -3.0f, 3.0f, 0.75f, 1500.0f);
    const std::string expected = firstLines(sequentialLines(j), 81);
    const EngineRun reference(j, 1, 4096, Mode::Run);
    ASSERT_EQ(reference.sink.text, expected);
    for (const unsigned threads : {1U, 2U, 4U, 8U})
        for (const size_t chunk : {size_t{1}, size_t{4}, size_t{4096}})
            for (const Mode mode : {Mode::Run, Mode::Background}) {
                const EngineRun run(j, threads, chunk, mode);
                EXPECT_TRUE(run.sink.text == expected) << label(threads, chunk, mode);
                EXPECT_EQ(run.progress.events, reference.progress.events) << label(threads, chunk, mode);
                EXPECT_EQ(run.progress.callsOffThread, 0);
                EXPECT_EQ(run.result.rows, 9);
                EXPECT_EQ(run.result.points, 81);
                for (const std::string& write : run.sink.writes)
                    EXPECT_TRUE(write.ends_with("\r\n"));
            }
}

TEST(GridProducerThreads, RowPositionsFollowTheAccumulatedLatitudes)
{
    for (const Mode mode : {Mode::Run, Mode::Background}) {
        const EngineRun short_(job(0.0f, 1.0f, 0.3f, 0.0f, 0.0f, 1.0f), 2, 4096, mode);
        EXPECT_EQ(positions(short_.progress.events),
                  (std::vector<std::string>{"position 0", "position 0", "position 30", "position 60",
                                            "position 90", "position 120"}));

        const EngineRun drifting(job(-40.75f, -38.75f, 0.1f, 10.0f, 10.0f, 1.0f), 2, 4096, mode);
        EXPECT_EQ(drifting.result.rows, 22);
        const std::vector<std::string> found = positions(drifting.progress.events);
        ASSERT_EQ(found.size(), 23U);  // the opening 0, then one per row
        EXPECT_EQ(found[1], "position 0");
        EXPECT_EQ(found[21], "position 99");
        EXPECT_EQ(found[22], "position 104");
        EXPECT_EQ(std::count(drifting.progress.events.begin(), drifting.progress.events.end(), "poll"), 22);
    }
}

TEST(GridProducerThreads, CancelBeforeARowKeepsExactlyTheRowsBeforeIt)
{
    // Six rows of 21 points, three chunks a row.
    const GridJob j = job(0.0f, 5.0f, 1.0f, 0.0f, 20.0f, 1.0f);
    const std::vector<std::string> expected = sequentialLines(j);
    for (const unsigned threads : {1U, 3U})
        for (const Mode mode : {Mode::Run, Mode::Background})
            for (int rows = 0; rows < 6; ++rows) {
                const EngineRun run(j, threads, 10, mode, rows + 1);
                EXPECT_EQ(run.result.outcome, GridOutcome::Cancelled);
                EXPECT_EQ(run.result.rows, rows);
                EXPECT_TRUE(run.sink.text == firstLines(expected, static_cast<size_t>(rows) * 21))
                    << label(threads, 10, mode) << ", cancel before row " << rows;
            }

    // A cancel asked for while the last row is being written is never polled.
    for (const Mode mode : {Mode::Run, Mode::Background}) {
        ShippedEngine shipped;
        ScriptedProgress progress;
        LineRecorder sink;
        const auto writer = [&](std::string_view bytes) {
            if (bytes.starts_with("5.000000,"))
                progress.cancelRequested = true;
            return sink.write(bytes);
        };
        const GridProducer producer(2, 10);
        const GridRunResult result = mode == Mode::Run ? producer.run(*shipped.engine.model(), j, writer, progress)
                                                       : producer.runInBackground(*shipped.engine.model(), j, writer, progress);
        EXPECT_EQ(result.outcome, GridOutcome::Completed);
        EXPECT_TRUE(progress.cancelRequested);
        EXPECT_TRUE(sink.text == firstLines(expected, 6 * 21));
    }
}

TEST(GridProducerThreads, FirstWriteErrorEndsTheRunWithNothingWrittenAfterIt)
{
    // Rows of 21 points in chunks of 10, 10 and 1: the fifth write is the
    // second row's second chunk.
    const GridJob j = job(0.0f, 20.0f, 1.0f, 0.0f, 20.0f, 1.0f);
    const std::vector<std::string> expected = sequentialLines(j);
    for (const unsigned threads : {1U, 2U, 4U})
        for (const Mode mode : {Mode::Run, Mode::Background}) {
            const EngineRun run(j, threads, 10, mode, 0, 5);
            EXPECT_EQ(run.result.outcome, GridOutcome::WriteFailed);
            ASSERT_TRUE(run.result.error.has_value());
            EXPECT_EQ(run.result.error->cause, FileCause::DiskFull);
            EXPECT_EQ(run.sink.calls, 5) << label(threads, 10, mode);
            EXPECT_EQ(run.result.rows, 1);
            EXPECT_EQ(run.result.points, 31);
            EXPECT_TRUE(run.sink.text == firstLines(expected, 31));
            EXPECT_EQ(std::count(run.progress.events.begin(), run.progress.events.end(), "poll"), 2);
        }
}

TEST(GridProducerThreads, BackgroundRunKeepsTheCallingThreadResponsiveDuringALongRow)
{
    // One row whose writes are slow, like a file on a slow disk.
    const GridJob j = job(0.0f, 0.0f, 1.0f, 0.0f, 10.0f, 0.5f);
    for (const unsigned threads : {1U, 2U}) {
        ShippedEngine shipped;
        ScriptedProgress progress;
        const std::thread::id callingThread = std::this_thread::get_id();
        int writesHere = 0;
        const auto slowWriter = [&](std::string_view) {
            writesHere += std::this_thread::get_id() == callingThread ? 1 : 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            return std::optional<FileError>();
        };
        const GridRunResult result = GridProducer(threads, 5).runInBackground(*shipped.engine.model(), j, slowWriter, progress);
        EXPECT_EQ(result.outcome, GridOutcome::Completed);
        EXPECT_EQ(result.points, 21);
        EXPECT_GE(progress.keptResponsive, 2) << threads << " threads";
        EXPECT_EQ(progress.callsOffThread, 0);
        EXPECT_EQ(writesHere, 0);
    }
}

TEST(GridProducerThreads, DatesOutsideTheSpanAreFlaggedInEveryLineAndZeroThreadsMeansAllCores)
{
    // 1990 lies before the model's life span: the producer tells nobody,
    // every line carries the flag.
    const GridJob j = job(0.0f, 5.0f, 1.0f, 0.0f, 5.0f, 1.0f, 0.0f, 1990.0f);
    EXPECT_GE(GridProducer(0).threads(), 1U);
    for (const Mode mode : {Mode::Run, Mode::Background}) {
        const EngineRun run(j, 0, 2, mode);
        EXPECT_TRUE(run.shipped.sink.entries.empty());
        const std::vector<std::string> lines = crlfLines(run.sink.text);
        EXPECT_EQ(lines.size(), 36U);
        for (const std::string& line : lines)
            EXPECT_NE(line.find("\"The year is out of range for the selected model\""), std::string::npos) << line;
    }
}

TEST(GridProducerThreads, FailuresOfWriterOrProgressReachTheCallerOnceEveryThreadHasEnded)
{
    const GridJob j = job(0.0f, 10.0f, 1.0f, 0.0f, 10.0f, 1.0f);
    for (const Mode mode : {Mode::Run, Mode::Background}) {
        ShippedEngine shipped;
        const GridProducer producer(3, 2);
        const auto run = [&](const GridProducer::Writer& writer, Progress& progress) {
            return mode == Mode::Run ? producer.run(*shipped.engine.model(), j, writer, progress)
                                     : producer.runInBackground(*shipped.engine.model(), j, writer, progress);
        };
        int writes = 0;
        const auto throwingWriter = [&writes](std::string_view) -> std::optional<FileError> {
            if (++writes == 4)
                throw std::runtime_error("writer");
            return std::nullopt;
        };
        ScriptedProgress quiet;
        EXPECT_THROW(run(throwingWriter, quiet), std::runtime_error);
        EXPECT_EQ(writes, 4);

        struct ThrowingProgress final : ScriptedProgress {
            bool pollCancel() override
            {
                if (++polls == 3)
                    throw std::runtime_error("progress");
                return false;
            }
            int polls = 0;
        } throwing;
        LineRecorder sink;
        EXPECT_THROW(run(sink.writer(), throwing), std::runtime_error);
        EXPECT_EQ(crlfLines(sink.text).size(), 22U);  // the two rows polled before
    }
}

}  // namespace
}  // namespace tellurim
