#pragma once

#include "engine/FieldResult.h"
#include "files/FileError.h"
#include "grid/GridCsv.h"
#include "platform/Progress.h"
#include "record/GridSettings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <optional>
#include <string_view>

namespace tellurim {

class GridChunkPlan;
class MagneticModel;

/// One grid to produce.
struct GridJob {
    GridSettings area;        ///< the rectangle and steps, signed degrees (north and east positive)
    float elevation = 0.0f;   ///< metres above the ellipsoid, shared by every point
    float date = 0.0f;        ///< decimal year, shared by every point
};

enum class GridOutcome { Completed, Cancelled, WriteFailed };

struct GridRunResult {
    GridOutcome outcome = GridOutcome::Completed;
    std::optional<FileError> error;  ///< set when outcome is WriteFailed
    int64_t rows = 0;                ///< latitude rows written whole
    int64_t points = 0;              ///< points handed to the writer
};

/// What computes the points of a grid: a model in the program, a stand-in
/// in tests. One source serves every thread of a run at once.
class GridPointSource {
public:
    virtual ~GridPointSource() = default;
    /// The field at each longitude of one latitude row, degrees north and
    /// east positive; results has longitudes.size() entries. Called from
    /// several threads at once.
    virtual void computeRow(float latitude, std::span<const float> longitudes,
                            std::span<FieldResult> results) const = 0;
};

/// Produces the point lines of a grid file (the header is the caller's,
/// written before the run): latitude rows outer, longitude columns inner,
/// values accumulated in single precision as stored grid files expect.
///
/// Before each latitude row is written the row's progress position (percent
/// of the latitude span, truncated, past 100 for a row beyond the end) goes to
/// setPosition and then pollCancel is asked; a cancel keeps every completed
/// row and nothing of the later ones. No poll follows the last row. The first
/// write error ends the run; nothing is written after it.
///
/// Points are computed in chunks that never span two rows. With more than
/// one thread, worker threads compute the chunks on the one shared source, a
/// few chunks per thread ahead of the writer at most (so memory stays
/// bounded however long a row), and the chunks reach the writer strictly in
/// walk order: the bytes never depend on the thread count. With one thread
/// every point is computed on the walking thread, and nothing is computed
/// beyond the row being written. Nothing here talks to the user.
class GridProducer {
public:
    /// Receives the lines in order, whole lines at a time; a returned error
    /// stops the run.
    using Writer = std::function<std::optional<FileError>(std::string_view bytes)>;

    /// threads: threads computing points, 0 for one per core.
    /// pointsPerChunk: points computed and written at a time (at least 1).
    explicit GridProducer(unsigned threads = 0, size_t pointsPerChunk = kDefaultPointsPerChunk);

    /// Walks on the calling thread's schedule: every call on progress and
    /// writer is made on the calling thread. Points are the model's at
    /// job.date and job.elevation.
    GridRunResult run(const MagneticModel& model, const GridJob& job, const Writer& writer, Progress& progress) const;

    /// The same walk, the same bytes and the same outcome, with the writing
    /// on a background thread while the calling thread (a window's) serves
    /// progress only: each row's setPosition and pollCancel are made on the
    /// calling thread while the walk waits for the answer, and between rows
    /// the calling thread calls keepResponsive at least every 20 ms. The
    /// writer is called on the background thread. Returns once every thread
    /// has ended; an exception from writer or progress is rethrown here.
    GridRunResult runInBackground(const MagneticModel& model, const GridJob& job, const Writer& writer,
                                  Progress& progress) const;

    /// The two walks over any source of points.
    GridRunResult run(const GridPointSource& points, const GridSettings& area, const Writer& writer,
                      Progress& progress) const;
    GridRunResult runInBackground(const GridPointSource& points, const GridSettings& area, const Writer& writer,
                                  Progress& progress) const;

    unsigned threads() const { return m_threads; }

    /// Fields added to every point's line after the grid file's own; none
    /// unless set. See GridLineExtra for the threads it runs on.
    void setLineExtra(GridLineExtra extra) { m_lineExtra = std::move(extra); }

    static constexpr size_t kDefaultPointsPerChunk = 4096;

private:
    /// Threads computing points of a run: never more than its chunks.
    size_t workerCount(const GridChunkPlan& plan) const;

    unsigned m_threads;
    size_t m_pointsPerChunk;
    GridLineExtra m_lineExtra;
};

}  // namespace tellurim
