#pragma once

#include "engine/FieldResult.h"
#include "engine/ModelEngine.h"
#include "files/CsvWriter.h"
#include "files/FileError.h"
#include "record/GridSettings.h"
#include "platform/Progress.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace tellurim {

/// The field at one grid point: latitude and longitude in degrees, north and
/// east positive.
using PointCalculation = std::function<FieldResult(float latitude, float longitude)>;

/// A grid point as the generator computes it: at the elevation (metres) and
/// date (decimal year) of the location being worked on, with both
/// coordinates passed as signed values (hemisphere indices North and East).
inline PointCalculation enginePointCalculation(ModelEngine& engine, float elevation, float date)
{
    return [&engine, elevation, date](float latitude, float longitude) {
        return engine.computePoint(elevation, latitude, longitude, date, 0, 1);
    };
}

/// Where grid lines go.
class LineSink {
public:
    virtual ~LineSink() = default;
    /// Writes whole lines; a failure names its cause.
    virtual std::optional<FileError> write(std::string_view bytes) = 0;
};

/// Lines straight into an open CSV file.
class CsvFileSink : public LineSink {
public:
    explicit CsvFileSink(CsvFile& file) : m_file(file) {}
    std::optional<FileError> write(std::string_view bytes) override { return m_file.write(bytes); }

private:
    CsvFile& m_file;
};

enum class GridOutcome { Completed, Cancelled, WriteFailed };

struct GridRunResult {
    GridOutcome outcome = GridOutcome::Completed;
    std::optional<FileError> error;  ///< set when outcome is WriteFailed
    int64_t rows = 0;                ///< latitude rows computed
    int64_t points = 0;              ///< points computed
};

/// Walks a grid rectangle, latitude outer and longitude inner, and writes
/// one line per point (the header is the caller's, written before the
/// progress window opens). Progress is reported once per latitude row, and
/// a cancel is polled right after it, before the row is computed; there is no
/// poll after the last row. Each row's lines are written before the next
/// poll, so a cancel keeps every completed row in the file.
class GridGenerator {
public:
    GridGenerator(PointCalculation calculate, LineSink& sink, Progress& progress);

    GridRunResult run(const GridSettings& area);

private:
    std::optional<FileError> flush();

    PointCalculation m_calculate;
    LineSink& m_sink;
    Progress& m_progress;
    std::string m_buffer;
};

}  // namespace tellurim
