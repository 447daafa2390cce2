#pragma once

#include <string>

namespace tellurim {

/// The standard UTM/UPS system of a point, as an EPSG code of WGS 84:
/// "EPSG:326zz" north of the equator and "EPSG:327zz" south of it for the
/// UTM zone zz (with the Norway and Svalbard exceptions), "EPSG:32661"
/// (UPS North) from 84 degrees north and "EPSG:32761" (UPS South) south of
/// 80 degrees south. latitude and longitude in degrees, north and east
/// positive; any longitude is taken modulo 360.
std::string automaticGridSystem(double latitude, double longitude);

/// The UTM zone (1 to 60) that automaticGridSystem picks, 0 for UPS.
int utmZone(double latitude, double longitude);

}  // namespace tellurim
