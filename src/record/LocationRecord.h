#pragma once

#include <cstdint>
#include <string>

namespace tellurim {

/// The one location the user works on. Angles are magnitudes; the hemisphere
/// indices carry the signs (IHEM_NS: 0 North, 1 South; JHEM_EW: 0 West, 1 East).
/// Field names are the ones the settings, location and CSV files use.
struct LocationRecord {
    float DLAT = 0.0f;     ///< latitude, decimal degrees (magnitude)
    int32_t ILATD = 0;     ///< latitude, whole degrees
    int32_t ILATM = 0;     ///< latitude, whole minutes
    float XLATS = 0.0f;    ///< latitude, seconds
    float DLON = 0.0f;     ///< longitude, decimal degrees (magnitude)
    int32_t ILONM = 0;     ///< longitude, whole minutes (stands before the degrees)
    int32_t ILOND = 0;     ///< longitude, whole degrees
    float XLONS = 0.0f;    ///< longitude, seconds
    float ALTF = 0.0f;     ///< elevation, feet
    float ALTM = 0.0f;     ///< elevation, metres
    int32_t IDAY = 1;      ///< day of the month
    int32_t IMONTH = 1;    ///< month
    int32_t IYR = 2000;    ///< year
    float DDATE = 0.0f;    ///< the date as a decimal year
    int32_t IHEM_NS = 0;   ///< 0 North, 1 South
    int32_t JHEM_EW = 1;   ///< 0 West, 1 East
    std::string FILENAME;  ///< model file in use (path or bare name)
    std::string Location;  ///< the location's name; base name of its .LOC file
};

/// The latitude signed, degrees, north positive: only IHEM_NS 1 means south.
inline float signedLatitude(const LocationRecord& location)
{
    return location.IHEM_NS == 1 ? -location.DLAT : location.DLAT;
}

/// The longitude signed, degrees, east positive: only JHEM_EW 0 means west.
inline float signedLongitude(const LocationRecord& location)
{
    return location.JHEM_EW == 0 ? -location.DLON : location.DLON;
}

}  // namespace tellurim
