#pragma once

#include "record/GridSettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tellurim {

/// A regular north-up lattice of nodes in WGS 84 latitude and longitude.
/// Node (row, column) lies exactly at latitude south + (height - 1 - row) *
/// latStep and longitude west + column * lonStep (each computed once in
/// double, not walked), latitudes clipped to -90..90. Row 0 is the northern
/// edge. The lattice is node-registered: a value belongs to its node's
/// point, not to a cell around it.
struct LatticeGeometry {
    double west = 0.0;     ///< longitude of column 0, degrees east
    double south = 0.0;    ///< latitude of the last row, degrees north
    double lonStep = 1.0;  ///< degrees, above zero
    double latStep = 1.0;  ///< degrees, above zero
    std::size_t width = 0;   ///< columns
    std::size_t height = 0;  ///< rows

    double longitude(std::size_t column) const;
    double latitude(std::size_t row) const;
    double north() const { return latitude(0); }
    double east() const { return longitude(width == 0 ? 0 : width - 1); }
    uint64_t nodeCount() const { return static_cast<uint64_t>(width) * height; }
};

/// The affine transform GDAL places pixels by (origin at the outer corner
/// of the first pixel, north-up), with each pixel centred on its node.
std::array<double, 6> pixelTransform(const LatticeGeometry& geometry);

/// Nodes on one axis from start to end (inclusive) at step: floor((end -
/// start) / step) + 1, none when end is below start. The three are taken as
/// the decimals they were typed as (the shortest decimal that reads back as
/// each single), so 0.1 means 0.1 and a whole-Earth 0.25-degree axis ends
/// exactly on 90 or 180.
struct LatticeAxis {
    double start = 0.0;
    double step = 1.0;
    std::size_t count = 0;
};
LatticeAxis latticeAxis(float start, float end, float step);

/// The lattice of a grid rectangle (its first-use flag ignored): latitudes
/// StartLat..EndLat by LatInc, longitudes StartLong..EndLong by LongInc.
LatticeGeometry latticeOf(const GridSettings& area);

/// The double a single was typed as: the shortest decimal that reads back
/// as value, read as a double (0.1f gives 0.1, not 0.10000000149).
double typedDecimal(float value);

/// Values at the nodes of a geometry, row by row from the north, NaN where
/// there is none (single precision, as the model gives them).
struct Lattice {
    LatticeGeometry geometry;
    std::vector<float> values;  ///< geometry.width * geometry.height

    float at(std::size_t row, std::size_t column) const { return values[row * geometry.width + column]; }
};

}  // namespace tellurim
