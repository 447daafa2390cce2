#pragma once

#include "engine/FieldResult.h"
#include "grid/GridCsv.h"
#include "record/GridSettings.h"

#include <cstddef>
#include <cstdint>
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
    /// extra: fields added to every line, none when empty.
    GridChunkPlan(const GridSettings& area, size_t pointsPerChunk, GridLineExtra extra = {});

    size_t rows() const { return m_latitudes.size(); }
    uint64_t chunksPerRow() const { return m_chunksPerRow; }
    uint64_t chunkCount() const { return m_chunksPerRow * m_latitudes.size(); }
    /// Points in one chunk.
    size_t pointsIn(uint64_t chunk) const;
    /// The progress position of a row, percent of the latitude span.
    int32_t position(size_t row) const;

    /// Appends the lines of one chunk.
    void appendChunk(const GridPointSource& points, uint64_t chunk, std::string& out) const;

    /// Room to reserve for one chunk's lines.
    size_t chunkCapacity() const;

private:
    float m_startLat;
    float m_endLat;
    size_t m_pointsPerChunk;
    std::vector<float> m_latitudes;
    std::vector<float> m_longitudes;
    uint64_t m_chunksPerRow;
    GridLineExtra m_extra;
};

}  // namespace tellurim
