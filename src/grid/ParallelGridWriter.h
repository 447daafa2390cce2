#pragma once

#include "files/FileError.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace tellurim {

class ModelEngine;

/// One grid file to produce: the walk's axes as they accumulate in single
/// precision (latitude rows outer, longitude columns inner), and the
/// elevation and date shared by every point.
struct GridJob {
    std::vector<float> latitudes;   ///< degrees, north positive, in walk order
    std::vector<float> longitudes;  ///< degrees, east positive, in walk order
    float elevation = 0.0f;         ///< metres above the ellipsoid
    float date = 0.0f;              ///< decimal year
};

/// Produces the bytes of a grid CSV file (header, then one line per point in
/// walk order) on several threads. Points are computed in chunks, each
/// worker on its own copy of the engine, and the chunks are handed to the
/// writer strictly in order, so the bytes never depend on the thread count.
/// At most a few chunks per thread are held in memory, however large the grid.
class ParallelGridWriter {
public:
    /// Receives the file's bytes in order, a chunk at a time; a returned
    /// error stops the run.
    using Writer = std::function<std::optional<FileError>(std::string_view bytes)>;
    /// Told after each chunk is written: points written so far, points in all.
    using Progress = std::function<void(uint64_t pointsDone, uint64_t pointCount)>;

    /// threads: worker threads to compute on; 0 means one per core.
    explicit ParallelGridWriter(unsigned threads, size_t pointsPerChunk = kDefaultPointsPerChunk);

    /// Writes the whole file through writer. The first point is computed once
    /// on engine itself, so that a one-time engine warning reaches the user
    /// through engine's own sink exactly once; the workers' copies are silent.
    /// Returns the first write error, after which nothing more is written.
    std::optional<FileError> run(ModelEngine& engine, const GridJob& job, const Writer& writer,
                                 const Progress& progress = {}) const;

    unsigned threads() const { return m_threads; }

    static constexpr size_t kDefaultPointsPerChunk = 4096;

private:
    unsigned m_threads;
    size_t m_pointsPerChunk;
};

}  // namespace tellurim
