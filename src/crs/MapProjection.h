#pragma once

#include <optional>
#include <span>
#include <string_view>

struct pj_ctx;
struct PJconsts;

namespace tellurim {

/// The map projections the maps are drawn in.
enum class ProjectionKind {
    PlateCarree,  ///< equidistant cylindrical, the whole world
    Mercator,     ///< conformal cylindrical, to about 80 degrees
    NorthPolar,   ///< polar stereographic centred on the North Pole
    SouthPolar,   ///< polar stereographic centred on the South Pole
};

/// "plate-carree", "mercator", "north-polar", "south-polar".
std::string_view projectionName(ProjectionKind kind);
/// The projection of one of those names, or nothing.
std::optional<ProjectionKind> projectionByName(std::string_view name);

/// A rectangle of projected coordinates, metres.
struct ProjectedExtent {
    double xMin = 0.0;
    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
    double width() const { return xMax - xMin; }
    double height() const { return yMax - yMin; }
};

/// A latitude/longitude rectangle, degrees. west may exceed east: the
/// rectangle then crosses the 180th meridian.
struct GeoRegion {
    double south = -90.0;
    double north = 90.0;
    double west = -180.0;
    double east = 180.0;
};

/// One projection from geodetic longitude and latitude on WGS 84 to plane
/// coordinates in metres, through PROJ. Not shared between threads: each
/// holds a PROJ context of its own.
class MapProjection {
public:
    /// centralLongitude: the meridian in the middle of a cylindrical map and
    /// the one pointing down (north polar) or up (south polar), degrees.
    explicit MapProjection(ProjectionKind kind, double centralLongitude = 0.0);
    ~MapProjection();
    MapProjection(const MapProjection&) = delete;
    MapProjection& operator=(const MapProjection&) = delete;

    ProjectionKind kind() const { return m_kind; }
    double centralLongitude() const { return m_centralLongitude; }
    bool isPolar() const { return m_kind == ProjectionKind::NorthPolar || m_kind == ProjectionKind::SouthPolar; }
    /// False when PROJ could not set the projection up (then nothing maps).
    bool valid() const { return m_pj != nullptr; }

    /// Degrees to metres; false where the projection has no image (Mercator
    /// at the poles, the far pole of a polar view).
    bool forward(double longitude, double latitude, double& x, double& y) const;
    /// Metres to degrees (longitude in -180..180); false outside the projection.
    bool inverse(double x, double y, double& longitude, double& latitude) const;
    /// forward for many points at once, in place (degrees in, metres out); a
    /// point without an image becomes NaN.
    void forwardInPlace(std::span<double> x, std::span<double> y) const;
    /// inverse for many points at once, in place: x becomes longitude and y
    /// latitude (degrees); a point without an image becomes NaN.
    void inverseInPlace(std::span<double> x, std::span<double> y) const;

    /// The view the projection opens with: the whole world in plate carree,
    /// to 80 degrees in Mercator, to 50 degrees around the pole in the polar views.
    ProjectedExtent defaultExtent() const;
    /// The smallest rectangle holding the region's outline (sampled along its
    /// edges), latitudes clamped to what the projection can show.
    ProjectedExtent extentOf(const GeoRegion& region) const;
    /// The latitudes beyond which the projection draws nothing, degrees.
    double minimumLatitude() const;
    double maximumLatitude() const;

private:
    void transform(int direction, std::span<double> x, std::span<double> y) const;

    ProjectionKind m_kind;
    double m_centralLongitude;
    pj_ctx* m_context = nullptr;
    PJconsts* m_pj = nullptr;
};

}  // namespace tellurim
