#include "grid/GridProducer.h"

#include "engine/FieldRow.h"
#include "grid/ChunkPipeline.h"
#include "grid/GridChunks.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tellurim {

namespace {

// Grid points of a model at one date and elevation, both coordinates
// signed; each chunk is evaluated on a row of its own, so threads share
// nothing but the model.
class ModelPoints final : public GridPointSource {
public:
    ModelPoints(const MagneticModel& model, float elevation, float date)
        : m_model(model), m_elevation(elevation), m_date(date)
    {
    }

    void computeRow(float latitude, std::span<const float> longitudes,
                    std::span<FieldResult> results) const override
    {
        m_model.row(m_date, latitude, m_elevation).evaluate(longitudes, results);
    }

private:
    const MagneticModel& m_model;
    float m_elevation;
    float m_date;
};

using Writer = GridProducer::Writer;
using ChunkFetch = std::function<void(uint64_t chunk, std::string& bytes)>;

void startProgress(Progress& progress)
{
    progress.setRange(0, 100);
    progress.setPosition(0);
    progress.setStep(10);
}

// The writing side of every walk: each row's position and cancel poll, then
// the row's chunks in order.
GridRunResult writeRows(const GridChunkPlan& plan, const ChunkFetch& fetch, const Writer& writer, Progress& progress)
{
    GridRunResult result;
    std::string bytes;
    uint64_t chunk = 0;
    for (size_t row = 0; row < plan.rows(); ++row) {
        progress.setPosition(plan.position(row));
        if (progress.pollCancel()) {
            result.outcome = GridOutcome::Cancelled;
            return result;
        }
        for (uint64_t part = 0; part < plan.chunksPerRow(); ++part, ++chunk) {
            bytes.clear();
            fetch(chunk, bytes);
            if (auto error = writer(bytes)) {
                result.outcome = GridOutcome::WriteFailed;
                result.error = std::move(error);
                return result;
            }
            result.points += static_cast<int64_t>(plan.pointsIn(chunk));
        }
        ++result.rows;
    }
    return result;
}

GridRunResult produceHere(const GridChunkPlan& plan, const GridPointSource& points, const Writer& writer,
                          Progress& progress)
{
    return writeRows(
        plan, [&](uint64_t chunk, std::string& bytes) { plan.appendChunk(points, chunk, bytes); }, writer, progress);
}

void computeChunks(const GridChunkPlan& plan, const GridPointSource& points, ChunkPipeline& pipeline)
{
    try {
        std::string bytes;
        bytes.reserve(plan.chunkCapacity());
        while (const auto chunk = pipeline.claim()) {
            plan.appendChunk(points, *chunk, bytes);
            pipeline.deliver(*chunk, bytes);
        }
    } catch (...) {
        pipeline.fail(std::current_exception());
    }
}

// Worker threads compute chunks; this thread writes them.
GridRunResult produceOnWorkers(const GridChunkPlan& plan, const GridPointSource& points, size_t workerCount,
                               const Writer& writer, Progress& progress)
{
    // Each worker computes one chunk while about one more waits per worker.
    ChunkPipeline pipeline(plan.chunkCount(), 2 * workerCount);
    std::vector<std::thread> workers;
    // Stops and joins the workers however this function is left, a throwing
    // writer or progress included.
    struct Joiner {
        ChunkPipeline& pipeline;
        std::vector<std::thread>& threads;
        ~Joiner()
        {
            pipeline.stop();
            for (auto& thread : threads) {
                thread.join();
            }
        }
    } joiner{pipeline, workers};
    try {
        for (size_t i = 0; i < workerCount; ++i) {
            workers.emplace_back(computeChunks, std::cref(plan), std::cref(points), std::ref(pipeline));
        }
    } catch (const std::system_error&) {
        // The system would not give every thread asked for: go on with the
        // ones started, or compute here when there are none.
    }
    if (workers.empty()) {
        return produceHere(plan, points, writer, progress);
    }
    const ChunkFetch fetch = [&pipeline](uint64_t chunk, std::string& bytes) {
        if (!pipeline.take(chunk, bytes)) {
            std::rethrow_exception(pipeline.failure());
        }
    };
    return writeRows(plan, fetch, writer, progress);
}

// On the walking thread alone, or with worker threads besides.
GridRunResult produce(const GridChunkPlan& plan, const GridPointSource& points, size_t workerCount,
                      const Writer& writer, Progress& progress)
{
    if (workerCount < 2) {
        return produceHere(plan, points, writer, progress);
    }
    return produceOnWorkers(plan, points, workerCount, writer, progress);
}

// The background walk's progress. A row's position is held until its cancel
// poll, which hands both to the calling thread and waits for the answer.
class ForwardedProgress final : public Progress {
public:
    void setRange(int, int) override {}
    void setPosition(int position) override { m_position = position; }
    bool pollCancel() override;
    /// The walk has ended, whatever its outcome.
    void finish();
    /// The calling thread's side: answers every poll on progress and keeps
    /// it responsive until finish(). When progress throws, later polls
    /// answer "cancel" at once and the exception goes on to the caller.
    void serve(Progress& progress);

private:
    void serveUntilFinished(Progress& progress);

    // Often enough for a window to repaint smoothly and take a click.
    static constexpr std::chrono::milliseconds kResponsiveInterval{10};

    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_position = 0;  // the walk's own, until handed over with a poll
    std::optional<int> m_request;
    std::optional<bool> m_answer;
    bool m_finished = false;
    bool m_abandoned = false;
};

bool ForwardedProgress::pollCancel()
{
    std::unique_lock lock(m_mutex);
    if (m_abandoned) {
        return true;
    }
    m_request = m_position;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_answer.has_value() || m_abandoned; });
    const bool cancel = m_answer.value_or(true);
    m_answer.reset();
    return cancel;
}

void ForwardedProgress::finish()
{
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
}

void ForwardedProgress::serve(Progress& progress)
{
    try {
        serveUntilFinished(progress);
    } catch (...) {
        {
            std::lock_guard lock(m_mutex);
            m_abandoned = true;
        }
        m_changed.notify_all();
        throw;
    }
}

void ForwardedProgress::serveUntilFinished(Progress& progress)
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(m_mutex);
    auto responsiveBy = Clock::now() + kResponsiveInterval;
    while (!m_finished) {
        if (m_request) {
            const int position = *m_request;
            m_request.reset();
            // Progress calls run unlocked: a window's may take its time.
            lock.unlock();
            progress.setPosition(position);
            const bool cancel = progress.pollCancel();
            lock.lock();
            m_answer = cancel;
            m_changed.notify_all();
            responsiveBy = Clock::now() + kResponsiveInterval;
        } else if (m_changed.wait_until(lock, responsiveBy) == std::cv_status::timeout && !m_request &&
                   !m_finished) {
            lock.unlock();
            progress.keepResponsive();
            lock.lock();
            responsiveBy = Clock::now() + kResponsiveInterval;
        }
    }
}

}  // namespace

size_t GridProducer::workerCount(const GridChunkPlan& plan) const
{
    return static_cast<size_t>(std::min<uint64_t>(m_threads, plan.chunkCount()));
}

GridProducer::GridProducer(unsigned threads, size_t pointsPerChunk)
    : m_threads(threads != 0 ? threads : std::max(1U, std::thread::hardware_concurrency())),
      m_pointsPerChunk(std::max<size_t>(1, pointsPerChunk))
{
}

GridRunResult GridProducer::run(const MagneticModel& model, const GridJob& job, const Writer& writer,
                                Progress& progress) const
{
    const ModelPoints points(model, job.elevation, job.date);
    return run(points, job.area, writer, progress);
}

GridRunResult GridProducer::runInBackground(const MagneticModel& model, const GridJob& job, const Writer& writer,
                                            Progress& progress) const
{
    const ModelPoints points(model, job.elevation, job.date);
    return runInBackground(points, job.area, writer, progress);
}

GridRunResult GridProducer::run(const GridPointSource& points, const GridSettings& area, const Writer& writer,
                                Progress& progress) const
{
    const GridChunkPlan plan(area, m_pointsPerChunk, m_lineExtra);
    startProgress(progress);
    return produce(plan, points, workerCount(plan), writer, progress);
}

GridRunResult GridProducer::runInBackground(const GridPointSource& points, const GridSettings& area,
                                            const Writer& writer, Progress& progress) const
{
    const GridChunkPlan plan(area, m_pointsPerChunk, m_lineExtra);
    startProgress(progress);
    const size_t workers = workerCount(plan);
    ForwardedProgress forwarded;
    GridRunResult result;
    std::exception_ptr walkFailure;
    std::thread background;
    try {
        background = std::thread([&] {
            try {
                result = produce(plan, points, workers, writer, forwarded);
            } catch (...) {
                walkFailure = std::current_exception();
            }
            forwarded.finish();
        });
    } catch (const std::system_error&) {
        // No thread to spare: walk here instead, the same bytes and outcome.
        return produce(plan, points, workers, writer, progress);
    }
    std::exception_ptr servingFailure;
    try {
        forwarded.serve(progress);
    } catch (...) {
        servingFailure = std::current_exception();
    }
    background.join();
    if (servingFailure) {
        std::rethrow_exception(servingFailure);
    }
    if (walkFailure) {
        std::rethrow_exception(walkFailure);
    }
    return result;
}

}  // namespace tellurim
