#pragma once

#include <memory>
#include <optional>
#include <string>

struct pj_ctx;
struct PJconsts;

namespace tellurim {

/// Where a projected reference system may be used, degrees (west may exceed
/// east when the area crosses the antimeridian).
struct AreaOfUse {
    double west = -180.0;
    double south = -90.0;
    double east = 180.0;
    double north = 90.0;
    bool contains(double latitude, double longitude) const;
};

/// A projected reference system resolved from its definition (an EPSG code
/// such as "EPSG:27700", a PROJ string with +type=crs, or WKT), with the
/// transformations from and to WGS 84 latitude and longitude. It belongs to
/// the PROJ context it was made in, so it is used on one thread at a time.
class ProjectedCrs {
public:
    /// The system, or the reason it cannot serve as a map grid: unknown to
    /// PROJ, geographic rather than projected, or no transformation to it.
    struct Resolved;
    static Resolved resolve(pj_ctx* context, const std::string& definition);

    ProjectedCrs(const ProjectedCrs&) = delete;
    ProjectedCrs& operator=(const ProjectedCrs&) = delete;
    ~ProjectedCrs();

    const std::string& definition() const { return m_definition; }
    /// "WGS 84 / UTM zone 30N"
    const std::string& name() const { return m_name; }
    /// The unit of easting and northing as PROJ names it ("metre", "US survey foot").
    const std::string& unit() const { return m_unit; }
    const std::optional<AreaOfUse>& areaOfUse() const { return m_area; }

    /// Easting and northing (the system's unit) of a WGS 84 point (degrees);
    /// nothing where the projection is not defined.
    std::optional<std::pair<double, double>> forward(double latitude, double longitude) const;
    /// WGS 84 latitude and longitude (degrees) of easting and northing;
    /// nothing when they do not invert.
    std::optional<std::pair<double, double>> inverse(double easting, double northing) const;

    /// Meridian convergence (degrees, the bearing of grid north clockwise
    /// from true north) and point scale factor at a WGS 84 point (degrees).
    std::optional<std::pair<double, double>> convergenceAndScale(double latitude, double longitude) const;

private:
    ProjectedCrs() = default;

    pj_ctx* m_context = nullptr;
    std::string m_definition;
    std::string m_name;
    std::string m_unit;
    std::optional<AreaOfUse> m_area;
    PJconsts* m_crs = nullptr;
    PJconsts* m_fromWgs84 = nullptr;    ///< WGS 84 (lon, lat) to (easting, northing)
    PJconsts* m_toGeodetic = nullptr;   ///< WGS 84 (lon, lat) to the system's own datum
    PJconsts* m_projection = nullptr;   ///< the bare projection, for the factors; may be null
};

struct ProjectedCrs::Resolved {
    std::unique_ptr<ProjectedCrs> crs;
    std::string problem;  ///< why there is none
};

}  // namespace tellurim
