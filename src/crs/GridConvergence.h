#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

struct pj_ctx;

namespace tellurim {

class ProjectedCrs;

/// A point on a map grid and how the grid lies there.
struct GridNorth {
    std::string system;      ///< the definition used ("EPSG:32630")
    std::string systemName;  ///< "WGS 84 / UTM zone 30N"
    std::string unit;        ///< unit of easting and northing ("metre")
    double easting = 0.0;    ///< in unit
    double northing = 0.0;   ///< in unit
    /// Meridian convergence, degrees: the bearing of grid north clockwise
    /// from true north (positive when grid north lies east of true north).
    double convergence = 0.0;
    double scale = 1.0;      ///< point scale factor
};

/// Latitude and longitude (WGS 84) found from easting and northing.
struct GridInverse {
    double latitude = 0.0;   ///< degrees, north positive
    double longitude = 0.0;  ///< degrees, east positive, -180 to 180
};

/// A result, or the problem that stopped it; a warning may come with a
/// result (a point outside the system's area of use).
template <class T>
struct CrsOutcome {
    std::optional<T> value;
    std::string problem;
    std::string warning;
};

/// Grid declination (grid magnetic angle), degrees: the bearing of magnetic
/// north clockwise from grid north, declination (east positive) minus
/// convergence, brought into (-180, 180]. Its annual change is the
/// declination's: the grid does not move.
double gridDeclination(double declination, double convergence);

/// Converts between WGS 84 latitude/longitude and projected grids, and
/// gives the meridian convergence and scale. A system is named by its
/// definition (see ProjectedCrs); an empty definition is the point's own
/// UTM zone (UPS near the poles). Systems are resolved once and kept.
///
/// Each object has its own PROJ context: use one object per thread.
class GridConvergence {
public:
    GridConvergence();
    ~GridConvergence();
    GridConvergence(const GridConvergence&) = delete;
    GridConvergence& operator=(const GridConvergence&) = delete;

    /// Easting, northing, convergence and scale of a point (degrees).
    CrsOutcome<GridNorth> at(const std::string& definition, double latitude, double longitude);
    /// Latitude and longitude of easting and northing in the system (which
    /// cannot be the automatic one: a grid position needs its zone).
    CrsOutcome<GridInverse> fromGrid(const std::string& definition, double easting, double northing);
    /// Why the definition cannot serve as a map grid; empty when it can.
    std::string problemOf(const std::string& definition);
    /// The system's name ("OSGB36 / British National Grid"), empty when unknown.
    std::string nameOf(const std::string& definition);

private:
    const ProjectedCrs* resolve(const std::string& definition, std::string& problem);
    std::string areaWarning(const ProjectedCrs& crs, double latitude, double longitude) const;

    pj_ctx* m_context = nullptr;
    std::map<std::string, std::unique_ptr<ProjectedCrs>> m_systems;
    std::map<std::string, std::string> m_refused;  ///< definition -> problem
};

}  // namespace tellurim
