#include "render/FieldLattice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tellurim {

float FieldLattice::interpolate(const std::vector<float>& grid, double latitude, double longitude,
                                bool wrapping) const
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    if (rows < 2 || columns < 2 || grid.size() != rows * columns || std::isnan(latitude) || std::isnan(longitude)) {
        return nan;
    }
    const double r = (latitude - south) / latStep;
    double lonOffset = std::fmod(longitude - west, 360.0);
    if (lonOffset < 0.0) {
        lonOffset += 360.0;
    }
    const double c = lonOffset / lonStep;
    const auto lastRow = static_cast<double>(rows - 1);
    const auto lastColumn = static_cast<double>(columns - 1);
    constexpr double kSlack = 1e-6;
    if (r < -kSlack || r > lastRow + kSlack || c > lastColumn + kSlack) {
        return nan;
    }
    const auto r0 = static_cast<std::size_t>(std::clamp(std::floor(r), 0.0, lastRow - 1.0));
    const auto c0 = static_cast<std::size_t>(std::clamp(std::floor(c), 0.0, lastColumn - 1.0));
    const auto fr = static_cast<float>(std::clamp(r - static_cast<double>(r0), 0.0, 1.0));
    const auto fc = static_cast<float>(std::clamp(c - static_cast<double>(c0), 0.0, 1.0));
    float v00 = grid[r0 * columns + c0];
    float v01 = grid[r0 * columns + c0 + 1];
    float v10 = grid[(r0 + 1) * columns + c0];
    float v11 = grid[(r0 + 1) * columns + c0 + 1];
    bool shifted = false;
    if (wrapping) {
        // Near a dip pole the declination turns through +-180 between two
        // lattice points: take the negative ones round to the positive side.
        const float low = std::min({v00, v01, v10, v11});
        const float high = std::max({v00, v01, v10, v11});
        if (high - low > 180.0f) {
            for (float* v : {&v00, &v01, &v10, &v11}) {
                if (*v < 0.0f) {
                    *v += 360.0f;
                }
            }
            shifted = true;
        }
    }
    const float south0 = v00 + (v01 - v00) * fc;
    const float north0 = v10 + (v11 - v10) * fc;
    float value = south0 + (north0 - south0) * fr;
    if (shifted && value > 180.0f) {
        value -= 360.0f;
    }
    return value;
}

}  // namespace tellurim
