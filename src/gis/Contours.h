#pragma once

#include "gis/GdalSession.h"
#include "gis/Lattice.h"
#include "record/FieldAccuracy.h"

#include <cstddef>
#include <vector>

namespace tellurim {

/// A point on the WGS 84 ellipsoid, degrees north and east.
struct GeoPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};

/// One traced isoline: a line of constant value, its vertices in order.
struct Isoline {
    double level = 0.0;  ///< the value along the line, in the lattice's unit
    std::vector<GeoPoint> vertices;
};

/// The levels to trace: every base + k * interval (k whole) within the
/// lattice's values.
struct IsolineLevels {
    double interval = 1.0;  ///< above zero, in the lattice's unit
    double base = 0.0;
};

/// Isolines more than this are refused: an interval that small is a typing
/// slip, and tracing them would take unbounded time.
inline constexpr std::size_t kMaxIsolineLevels = 20000;

/// The isolines of a lattice, traced by GDAL's contour generator; NaN nodes
/// are holes the lines stop at. A vertex lies on a lattice edge, at the
/// level interpolated linearly between the edge's two nodes.
///
/// wrapsAt180: the values are an angle that jumps from +180 to -180 (the
/// declination, whose every value meets at the dip poles). Tracing across
/// that jump would draw a false line of every level along it, so levels
/// within +-90 are traced with the jump masked, and the others on the
/// values taken to 0..360, where the jump lies along the agonic line
/// instead. The agonic line (level 0) is always traced then, whatever the
/// base, and +180 and -180 are one line, reported as 180.
///
/// Fails (with the reason) for an interval that is not above zero, for more
/// than kMaxIsolineLevels levels, or when GDAL fails.
Outcome<std::vector<Isoline>> traceIsolines(const Lattice& lattice, IsolineLevels levels, bool wrapsAt180);

/// One compass zone area: an outer ring, then the rings of its holes, each
/// closed (its last vertex repeats its first).
struct ZonePolygon {
    CompassZone zone = CompassZone::None;
    std::vector<std::vector<GeoPoint>> rings;
};

/// The caution (2000 <= H < 6000 nT) and blackout (H < 2000 nT) areas of a
/// lattice of the horizontal intensity H, as polygons bounded by the
/// isolines of 2000 and 6000 nT.
Outcome<std::vector<ZonePolygon>> compassZonePolygons(const Lattice& horizontalIntensity);

}  // namespace tellurim
