#pragma once

#include "engine/FieldResult.h"
#include "record/GridSettings.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tellurim {

class GridPointSource;

/// A grid cut into chunks of points: rows in walk order, each row cut into
/// chunks of at most pointsPerChunk columns, so no chunk spans two rows.
/// Chunks are numbered row by row.
class GridChunkPlan {
public:
    GridChunkPlan(const GridSettings& area, size_t pointsPerChunk);

    size_t rows() const { return m_latitudes.size(); }
    uint64_t chunksPerRow() const { return m_chunksPerRow; }
    uint64_t chunkCount() const { return m_chunksPerRow * m_latitudes.size(); }
    /// Points in one chunk.
    size_t pointsIn(uint64_t chunk) const;
    /// The progress position of a row, percent of the latitude span.
    int32_t position(size_t row) const;

    /// The grid's first point, or nothing when the grid has no point.
    std::optional<FieldResult> firstPoint(GridPointSource& points) const;
    /// Appends the lines of one chunk. first, when given, is the grid's first
    /// point already computed, used instead of computing it again.
    void appendChunk(GridPointSource& points, uint64_t chunk, const FieldResult* first, std::string& out) const;

    /// Room to reserve for one chunk's lines.
    size_t chunkCapacity() const;

private:
    float m_startLat;
    float m_endLat;
    size_t m_pointsPerChunk;
    std::vector<float> m_latitudes;
    std::vector<float> m_longitudes;
    uint64_t m_chunksPerRow;
};

/// Hands computed chunks from worker threads to the writing thread in chunk
/// order. At most `window` chunks are claimed and not yet taken, which bounds
/// the memory held however large the grid.
class ChunkPipeline {
public:
    ChunkPipeline(uint64_t chunkCount, size_t window);

    /// The next chunk for a worker; waits while the window is full. Nothing
    /// once every chunk is claimed or the run has stopped.
    std::optional<uint64_t> claim();
    /// Stores a computed chunk; bytes receives an emptied buffer to reuse.
    void deliver(uint64_t chunk, std::string& bytes);
    /// The writer's side: waits for the chunk and swaps its lines into bytes.
    /// False when the run stopped first (a worker failed).
    bool take(uint64_t chunk, std::string& bytes);
    /// A worker's failure: keeps the first, then stops the run.
    void fail(std::exception_ptr error);
    /// Ends the run: waiting workers and writer wake up, nothing more is claimed.
    void stop();
    std::exception_ptr failure();

private:
    std::mutex m_mutex;
    std::condition_variable m_space;
    std::condition_variable m_filled;
    std::vector<std::string> m_slots;
    std::vector<bool> m_ready;
    uint64_t m_chunkCount;
    uint64_t m_next = 0;
    uint64_t m_taken = 0;
    bool m_stopped = false;
    std::exception_ptr m_failure;
};

}  // namespace tellurim
