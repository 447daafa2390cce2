#include "crs/UtmZone.h"

#include <cmath>

namespace tellurim {

namespace {

constexpr double kUtmNorthLimit = 84.0;  // degrees; UPS from here
constexpr double kUtmSouthLimit = -80.0; // degrees; UPS south of here

// Longitude in [-180, 180).
double wrapped(double longitude)
{
    const double reduced = std::fmod(longitude + 180.0, 360.0);
    return (reduced < 0.0 ? reduced + 360.0 : reduced) - 180.0;
}

}  // namespace

int utmZone(double latitude, double longitude)
{
    if (!(latitude < kUtmNorthLimit && latitude >= kUtmSouthLimit)) {
        return 0;
    }
    const double lon = wrapped(longitude);
    int zone = static_cast<int>(std::floor((lon + 180.0) / 6.0)) + 1;
    zone = zone > 60 ? 60 : zone;
    // Band V (56N to 64N): zone 32 widened over south-west Norway.
    if (latitude >= 56.0 && latitude < 64.0 && lon >= 3.0 && lon < 12.0) {
        return 32;
    }
    // Band X (72N to 84N) around Svalbard: zones 31, 33, 35 and 37 only.
    if (latitude >= 72.0 && lon >= 0.0 && lon < 42.0) {
        if (lon < 9.0) {
            return 31;
        }
        if (lon < 21.0) {
            return 33;
        }
        return lon < 33.0 ? 35 : 37;
    }
    return zone;
}

std::string automaticGridSystem(double latitude, double longitude)
{
    const int zone = utmZone(latitude, longitude);
    if (zone == 0) {
        return latitude >= kUtmNorthLimit ? "EPSG:32661" : "EPSG:32761";
    }
    const int base = latitude >= 0.0 ? 32600 : 32700;
    return "EPSG:" + std::to_string(base + zone);
}

}  // namespace tellurim
