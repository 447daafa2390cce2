#include "gis/Lattice.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace tellurim {

double LatticeGeometry::longitude(std::size_t column) const
{
    return west + static_cast<double>(column) * lonStep;
}

double LatticeGeometry::latitude(std::size_t row) const
{
    const std::size_t k = height - 1 - row;
    return std::clamp(south + static_cast<double>(k) * latStep, -90.0, 90.0);
}

std::array<double, 6> pixelTransform(const LatticeGeometry& geometry)
{
    return {geometry.west - geometry.lonStep / 2, geometry.lonStep, 0.0,
            geometry.north() + geometry.latStep / 2, 0.0, -geometry.latStep};
}

double typedDecimal(float value)
{
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text - 1, value);
    *written.ptr = '\0';
    return std::strtod(text, nullptr);
}

LatticeAxis latticeAxis(float start, float end, float step)
{
    LatticeAxis axis{typedDecimal(start), typedDecimal(step), 0};
    const double last = typedDecimal(end);
    if (!(axis.step > 0.0) || !(last >= axis.start) || !std::isfinite(last - axis.start)) {
        return axis;
    }
    // A quotient that lands a rounding below a whole number (180 / 0.1)
    // still counts that node: the nodes are meant to reach the end.
    const double steps = std::floor((last - axis.start) / axis.step * (1.0 + 1e-12) + 1e-9);
    axis.count = steps >= static_cast<double>(std::numeric_limits<std::size_t>::max() / 2)
                     ? std::numeric_limits<std::size_t>::max() / 2
                     : static_cast<std::size_t>(steps) + 1;
    return axis;
}

LatticeGeometry latticeOf(const GridSettings& area)
{
    const LatticeAxis lat = latticeAxis(area.StartLat, area.EndLat, area.LatInc);
    const LatticeAxis lon = latticeAxis(area.StartLong, area.EndLong, area.LongInc);
    LatticeGeometry geometry;
    geometry.west = lon.start;
    geometry.lonStep = lon.step;
    geometry.width = lon.count;
    geometry.south = lat.start;
    geometry.latStep = lat.step;
    geometry.height = lat.count;
    return geometry;
}

}  // namespace tellurim
