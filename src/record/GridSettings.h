#pragma once

#include <cstdint>

namespace tellurim {

/// The last grid rectangle and steps, kept between runs in the settings
/// file. Angles in degrees, north and east positive.
struct GridSettings {
    int32_t lNeverGrid = 1;   ///< nonzero until the grid dialog has been set up once
    float StartLat = 1.0f;    ///< first latitude, degrees
    float EndLat = 1.0f;      ///< last latitude, degrees
    float LatInc = 1.0f;      ///< latitude step, degrees (at least 0.001)
    float StartLong = 1.0f;   ///< first longitude, degrees
    float EndLong = 1.0f;     ///< last longitude, degrees
    float LongInc = 1.0f;     ///< longitude step, degrees (at least 0.001)

    bool operator==(const GridSettings&) const = default;
};

}  // namespace tellurim
