#include "grid/GridChunks.h"

#include "grid/GridCsv.h"
#include "grid/GridProducer.h"
#include "grid/GridWalk.h"

#include <algorithm>
#include <span>
#include <utility>

namespace tellurim {

namespace {

// Roughly the longest grid line, to reserve chunk buffers once.
constexpr size_t kBytesPerLine = 256;

}  // namespace

GridChunkPlan::GridChunkPlan(const GridSettings& area, size_t pointsPerChunk, GridLineExtra extra)
    : m_startLat(area.StartLat),
      m_endLat(area.EndLat),
      m_pointsPerChunk(std::max<size_t>(1, pointsPerChunk)),
      m_latitudes(gridLatitudes(area.StartLat, area.EndLat, area.LatInc)),
      m_longitudes(gridAxis(area.StartLong, area.EndLong, area.LongInc)),
      m_chunksPerRow((m_longitudes.size() + m_pointsPerChunk - 1) / m_pointsPerChunk),
      m_extra(std::move(extra))
{
}

size_t GridChunkPlan::pointsIn(uint64_t chunk) const
{
    const size_t begin = static_cast<size_t>(chunk % m_chunksPerRow) * m_pointsPerChunk;
    return std::min(m_longitudes.size(), begin + m_pointsPerChunk) - begin;
}

int32_t GridChunkPlan::position(size_t row) const
{
    return progressPosition(m_latitudes[row], m_startLat, m_endLat);
}

void GridChunkPlan::appendChunk(const GridPointSource& points, uint64_t chunk, std::string& out) const
{
    const float latitude = m_latitudes[static_cast<size_t>(chunk / m_chunksPerRow)];
    const size_t column = static_cast<size_t>(chunk % m_chunksPerRow) * m_pointsPerChunk;
    const size_t end = column + pointsIn(chunk);
    if (column == end)
        return;
    // The chunk's points in one go, then their lines.
    const std::span<const float> longitudes{m_longitudes.data() + column, end - column};
    // Each thread keeps its buffer from chunk to chunk; every entry used is
    // written by computeRow.
    thread_local std::vector<FieldResult> buffer;
    if (buffer.size() < longitudes.size())
        buffer.resize(longitudes.size());
    const std::span<FieldResult> results{buffer.data(), longitudes.size()};
    points.computeRow(latitude, longitudes, results);
    for (size_t i = 0; i < results.size(); ++i)
        appendGridLine(out, latitude, longitudes[i], results[i], m_extra);
}

size_t GridChunkPlan::chunkCapacity() const
{
    return std::min(m_pointsPerChunk, m_longitudes.size()) * kBytesPerLine;
}

}  // namespace tellurim
