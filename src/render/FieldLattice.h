#pragma once

#include <cstddef>
#include <vector>

namespace tellurim {

/// Values of one element on a latitude/longitude lattice, rows south to
/// north, columns west to east, and the horizontal intensity beside them
/// (for the compass zones). Longitudes may run past 180 (a view across the
/// date line); the lattice never wraps by itself.
struct FieldLattice {
    double south = 0.0;     ///< latitude of row 0, degrees
    double latStep = 1.0;   ///< degrees between rows
    double west = 0.0;      ///< longitude of column 0, degrees
    double lonStep = 1.0;   ///< degrees between columns
    std::size_t rows = 0;
    std::size_t columns = 0;
    bool wraps = false;     ///< the element is the declination, whose values wrap at +-180
    std::vector<float> values;      ///< rows * columns, in the element's unit
    std::vector<float> horizontal;  ///< rows * columns, H in nT

    double latitudeOf(std::size_t row) const { return south + latStep * static_cast<double>(row); }
    double longitudeOf(std::size_t column) const { return west + lonStep * static_cast<double>(column); }
    float at(std::size_t row, std::size_t column) const { return values[row * columns + column]; }

    /// The value at a point by bilinear interpolation (a declination across
    /// its +-180 seam the short way round); NaN outside the lattice.
    /// longitude is taken modulo 360 into the lattice's span.
    float sample(double latitude, double longitude) const { return interpolate(values, latitude, longitude, wraps); }
    float sampleHorizontal(double latitude, double longitude) const
    {
        return interpolate(horizontal, latitude, longitude, false);
    }

private:
    float interpolate(const std::vector<float>& grid, double latitude, double longitude, bool wrapping) const;
};

}  // namespace tellurim
