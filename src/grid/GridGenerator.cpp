#include "grid/GridGenerator.h"

#include "grid/GridCsv.h"
#include "grid/GridWalk.h"

#include <utility>

namespace tellurim {

namespace {

// Lines are collected up to this size before they are written: one system
// call per line would cost more than formatting it.
constexpr size_t kFlushSize = 64 * 1024;

}  // namespace

GridGenerator::GridGenerator(PointCalculation calculate, LineSink& sink, Progress& progress)
    : m_calculate(std::move(calculate)), m_sink(sink), m_progress(progress)
{
    m_buffer.reserve(kFlushSize + 1024);
}

std::optional<FileError> GridGenerator::flush()
{
    if (m_buffer.empty()) {
        return std::nullopt;
    }
    auto error = m_sink.write(m_buffer);
    m_buffer.clear();
    return error;
}

GridRunResult GridGenerator::run(const GridSettings& area)
{
    GridRunResult result;
    m_buffer.clear();
    m_progress.setRange(0, 100);
    m_progress.setPosition(0);
    for (GridAxisWalk latitude(area.StartLat, area.EndLat, area.LatInc); latitude.valid();
         latitude.advance()) {
        m_progress.setPosition(progressPosition(latitude.value(), area.StartLat, area.EndLat));
        if (m_progress.pollCancel()) {
            result.outcome = GridOutcome::Cancelled;
            return result;
        }
        for (GridAxisWalk longitude(area.StartLong, area.EndLong, area.LongInc); longitude.valid();
             longitude.advance()) {
            const FieldResult point = m_calculate(latitude.value(), longitude.value());
            appendGridLine(m_buffer, latitude.value(), longitude.value(), point);
            ++result.points;
            if (m_buffer.size() >= kFlushSize) {
                if (auto error = flush()) {
                    result.outcome = GridOutcome::WriteFailed;
                    result.error = std::move(error);
                    return result;
                }
            }
        }
        ++result.rows;
        if (auto error = flush()) {
            result.outcome = GridOutcome::WriteFailed;
            result.error = std::move(error);
            return result;
        }
    }
    return result;
}

}  // namespace tellurim
