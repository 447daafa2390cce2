#include "grid/ParallelGridWriter.h"

#include "engine/ModelEngine.h"
#include "grid/GridCsv.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace tellurim {

namespace {

// Worker copies stay quiet: anything the engine has to say once was said by
// the caller's engine before the copies were made.
class SilentSink final : public EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

// Roughly the longest grid line, to reserve chunk buffers once.
constexpr size_t kBytesPerLine = 256;

// Point index -> position in the walk, row-major.
struct Cursor {
    size_t row;
    size_t column;
};

void computeChunk(ModelEngine& engine, const GridJob& job, uint64_t first, uint64_t last, std::string& out)
{
    const size_t columns = job.longitudes.size();
    Cursor at{static_cast<size_t>(first / columns), static_cast<size_t>(first % columns)};
    for (uint64_t index = first; index < last; ++index) {
        const float latitude = job.latitudes[at.row];
        const float longitude = job.longitudes[at.column];
        // Signed coordinates: north and east positive, nothing negated.
        const FieldResult result = engine.computePoint(job.elevation, latitude, longitude, job.date, 0, 1);
        appendGridLine(out, latitude, longitude, result);
        if (++at.column == columns) {
            at.column = 0;
            ++at.row;
        }
    }
}

// Hands finished chunks from the workers to the writer in chunk order.
class ChunkPipeline {
public:
    ChunkPipeline(uint64_t chunkCount, size_t window) : m_slots(window), m_ready(window, false), m_chunkCount(chunkCount) {}

    // Next chunk for a worker, or nothing when all are taken or the run stopped.
    std::optional<uint64_t> claim()
    {
        std::unique_lock lock(m_mutex);
        m_space.wait(lock, [&] {
            return m_stopped || m_next >= m_chunkCount || m_next < m_consumed + m_slots.size();
        });
        if (m_stopped || m_next >= m_chunkCount) {
            return std::nullopt;
        }
        return m_next++;
    }

    // Stores a computed chunk; bytes receives an emptied buffer to reuse.
    void deliver(uint64_t chunk, std::string& bytes)
    {
        {
            std::lock_guard lock(m_mutex);
            const size_t slot = static_cast<size_t>(chunk % m_slots.size());
            m_slots[slot].swap(bytes);
            m_ready[slot] = true;
        }
        m_filled.notify_all();
        bytes.clear();
    }

    // The writer's side: waits for the chunk, swapping its bytes into bytes.
    void take(uint64_t chunk, std::string& bytes)
    {
        {
            std::unique_lock lock(m_mutex);
            const size_t slot = static_cast<size_t>(chunk % m_slots.size());
            m_filled.wait(lock, [&] { return m_ready[slot]; });
            bytes.clear();
            m_slots[slot].swap(bytes);
            m_ready[slot] = false;
            ++m_consumed;
        }
        m_space.notify_all();
    }

    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_space.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_space;
    std::condition_variable m_filled;
    std::vector<std::string> m_slots;
    std::vector<bool> m_ready;
    uint64_t m_chunkCount;
    uint64_t m_next = 0;
    uint64_t m_consumed = 0;
    bool m_stopped = false;
};

}  // namespace

ParallelGridWriter::ParallelGridWriter(unsigned threads, size_t pointsPerChunk)
    : m_threads(threads != 0 ? threads : std::max(1U, std::thread::hardware_concurrency())),
      m_pointsPerChunk(std::max<size_t>(1, pointsPerChunk))
{
}

std::optional<FileError> ParallelGridWriter::run(ModelEngine& engine, const GridJob& job, const Writer& writer,
                                                 const Progress& progress) const
{
    if (auto error = writer(gridCsvHeader())) {
        return error;
    }
    const uint64_t pointCount = static_cast<uint64_t>(job.latitudes.size()) * job.longitudes.size();
    if (pointCount == 0) {
        if (progress) {
            progress(0, 0);
        }
        return std::nullopt;
    }
    engine.computePoint(job.elevation, job.latitudes.front(), job.longitudes.front(), job.date, 0, 1);

    SilentSink silent;
    const uint64_t chunkCount = (pointCount + m_pointsPerChunk - 1) / m_pointsPerChunk;
    const unsigned workerCount = static_cast<unsigned>(std::min<uint64_t>(m_threads, chunkCount));
    // Workers may run a couple of chunks ahead of the writer, no more, so memory
    // stays bounded however large the grid.
    ChunkPipeline pipeline(chunkCount, size_t{workerCount} + 2);

    auto work = [&] {
        ModelEngine local(engine);
        local.setMessageSink(silent);
        std::string bytes;
        bytes.reserve(m_pointsPerChunk * kBytesPerLine);
        while (const auto chunk = pipeline.claim()) {
            const uint64_t first = *chunk * m_pointsPerChunk;
            const uint64_t last = std::min(pointCount, first + m_pointsPerChunk);
            computeChunk(local, job, first, last, bytes);
            pipeline.deliver(*chunk, bytes);
        }
    };

    std::vector<std::thread> workers;
    workers.reserve(workerCount);
    try {
        for (unsigned i = 0; i < workerCount; ++i) {
            workers.emplace_back(work);
        }
    } catch (const std::system_error&) {
        // The system would not give us every thread asked for: go on with
        // the ones started, or compute here when there are none.
    }

    std::optional<FileError> failure;
    std::string bytes;
    if (workers.empty()) {
        ModelEngine local(engine);
        local.setMessageSink(silent);
        for (uint64_t chunk = 0; chunk < chunkCount && !failure; ++chunk) {
            const uint64_t first = chunk * m_pointsPerChunk;
            const uint64_t last = std::min(pointCount, first + m_pointsPerChunk);
            bytes.clear();
            computeChunk(local, job, first, last, bytes);
            failure = writer(bytes);
            if (!failure && progress) {
                progress(last, pointCount);
            }
        }
        return failure;
    }

    // Stops and joins the workers however this function is left, a throwing
    // writer included.
    struct Joiner {
        ChunkPipeline& pipeline;
        std::vector<std::thread>& workers;
        ~Joiner()
        {
            pipeline.stop();
            for (auto& worker : workers) {
                worker.join();
            }
        }
    } joiner{pipeline, workers};

    for (uint64_t chunk = 0; chunk < chunkCount; ++chunk) {
        pipeline.take(chunk, bytes);
        failure = writer(bytes);
        if (failure) {
            break;
        }
        if (progress) {
            progress(std::min(pointCount, (chunk + 1) * m_pointsPerChunk), pointCount);
        }
    }
    return failure;
}

}  // namespace tellurim
