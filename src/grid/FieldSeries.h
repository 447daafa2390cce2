#pragma once

#include "engine/FieldResult.h"

#include <cstdint>
#include <string>

namespace tellurim {

class MagneticModel;

/// The dates of a series: from, from + step, ... up to and including to
/// (decimal years); a negative step runs from a later year back to an
/// earlier one. Each date is from + i * step, so no rounding accumulates.
struct SeriesDates {
    double from = 0.0;
    double to = 0.0;
    double step = 1.0;

    /// Most dates one series may have.
    static constexpr std::uint64_t kMaxCount = 100'000'000;

    /// Why the dates cannot be walked (a zero step, a step that runs away
    /// from to, too many dates), or empty.
    std::string problem() const;
    std::uint64_t count() const;
    float at(std::uint64_t index) const;
};

/// The field at one place over time: every caller of a series (the command
/// line, the history window) evaluates through this one place.
class FieldSeries {
public:
    /// elevation in metres above the ellipsoid; latitude and longitude in
    /// degrees, north and east positive. The model must outlive the series.
    FieldSeries(const MagneticModel& model, float elevation, float latitude, float longitude);

    /// Every element and its change over the following year, at a decimal year.
    FieldResult at(float year) const;

private:
    const MagneticModel& m_model;
    float m_elevation;
    float m_latitude;
    float m_longitude;
};

}  // namespace tellurim
