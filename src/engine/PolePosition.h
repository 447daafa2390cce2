#pragma once

#include <cstdint>

namespace tellurim {

/// One magnetic dip pole. The degree, minute and second parts carry the sign
/// of the decimal value; latitude seconds are not rounded, longitude seconds
/// are rounded to a tenth (and may read 60.0, with no carry).
struct PolePosition {
    float decimalLatitude = 0.0f;   ///< degrees, north positive
    int32_t latitudeDegrees = 0;
    int32_t latitudeMinutes = 0;
    float latitudeSeconds = 0.0f;
    float decimalLongitude = 0.0f;  ///< degrees, east positive (not wrapped into -180..180)
    int32_t longitudeDegrees = 0;
    int32_t longitudeMinutes = 0;
    float longitudeSeconds = 0.0f;
};

/// Both dip poles for one date.
struct MagneticPoles {
    PolePosition north;
    PolePosition south;
};

}  // namespace tellurim
