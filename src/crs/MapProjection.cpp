#include "crs/MapProjection.h"

#include <proj.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tellurim {

namespace {

constexpr double kMercatorLimit = 85.0;    // degrees: beyond it Mercator stretches without end
constexpr double kMercatorOpening = 80.0;  // degrees: the latitude a Mercator world map reaches
constexpr double kPolarOpening = 50.0;     // degrees from the equator a polar view reaches
constexpr double kPolarLimit = 0.0;        // a polar view never draws the other hemisphere

struct NamedProjection {
    ProjectionKind kind;
    std::string_view name;
};

constexpr std::array kNames{
    NamedProjection{ProjectionKind::PlateCarree, "plate-carree"},
    NamedProjection{ProjectionKind::Mercator, "mercator"},
    NamedProjection{ProjectionKind::NorthPolar, "north-polar"},
    NamedProjection{ProjectionKind::SouthPolar, "south-polar"},
};

std::string definition(ProjectionKind kind, double centralLongitude)
{
    const std::string lon0 = " +lon_0=" + std::to_string(centralLongitude);
    switch (kind) {
    case ProjectionKind::PlateCarree:
        return "+proj=eqc +ellps=WGS84" + lon0;
    case ProjectionKind::Mercator:
        return "+proj=merc +ellps=WGS84" + lon0;
    case ProjectionKind::NorthPolar:
        return "+proj=stere +lat_0=90 +lat_ts=90 +ellps=WGS84" + lon0;
    case ProjectionKind::SouthPolar:
        return "+proj=stere +lat_0=-90 +lat_ts=-90 +ellps=WGS84" + lon0;
    }
    return {};
}

}  // namespace

std::string_view projectionName(ProjectionKind kind)
{
    for (const auto& named : kNames) {
        if (named.kind == kind) {
            return named.name;
        }
    }
    return {};
}

std::optional<ProjectionKind> projectionByName(std::string_view name)
{
    for (const auto& named : kNames) {
        if (named.name == name) {
            return named.kind;
        }
    }
    return std::nullopt;
}

MapProjection::MapProjection(ProjectionKind kind, double centralLongitude)
    : m_kind(kind), m_centralLongitude(centralLongitude), m_context(proj_context_create())
{
    if (m_context == nullptr) {
        return;
    }
    // Plane projections need no grids or database; the network stays off.
    proj_log_level(m_context, PJ_LOG_NONE);
    m_pj = proj_create(m_context, definition(kind, centralLongitude).c_str());
}

MapProjection::~MapProjection()
{
    if (m_pj != nullptr) {
        proj_destroy(m_pj);
    }
    if (m_context != nullptr) {
        proj_context_destroy(m_context);
    }
}

double MapProjection::minimumLatitude() const
{
    switch (m_kind) {
    case ProjectionKind::PlateCarree:
        return -90.0;
    case ProjectionKind::Mercator:
        return -kMercatorLimit;
    case ProjectionKind::NorthPolar:
        return kPolarLimit;
    case ProjectionKind::SouthPolar:
        return -90.0;
    }
    return -90.0;
}

double MapProjection::maximumLatitude() const
{
    switch (m_kind) {
    case ProjectionKind::Mercator:
        return kMercatorLimit;
    case ProjectionKind::SouthPolar:
        return -kPolarLimit;
    default:
        return 90.0;
    }
}

void MapProjection::transform(int direction, std::span<double> x, std::span<double> y) const
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    if (m_pj == nullptr) {
        std::fill(x.begin(), x.end(), nan);
        std::fill(y.begin(), y.end(), nan);
        return;
    }
    const auto count = std::min(x.size(), y.size());
    if (direction == PJ_FWD) {
        for (std::size_t i = 0; i < count; ++i) {
            x[i] = proj_torad(x[i]);
            y[i] = proj_torad(y[i]);
        }
    }
    proj_trans_generic(m_pj, static_cast<PJ_DIRECTION>(direction), x.data(), sizeof(double), count, y.data(),
                       sizeof(double), count, nullptr, 0, 0, nullptr, 0, 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || x[i] == HUGE_VAL || y[i] == HUGE_VAL) {
            x[i] = nan;
            y[i] = nan;
        } else if (direction == PJ_INV) {
            x[i] = proj_todeg(x[i]);
            y[i] = proj_todeg(y[i]);
        }
    }
}

void MapProjection::forwardInPlace(std::span<double> x, std::span<double> y) const
{
    transform(PJ_FWD, x, y);
}

void MapProjection::inverseInPlace(std::span<double> x, std::span<double> y) const
{
    transform(PJ_INV, x, y);
}

bool MapProjection::forward(double longitude, double latitude, double& x, double& y) const
{
    if (latitude < minimumLatitude() || latitude > maximumLatitude()) {
        return false;
    }
    double px = longitude;
    double py = latitude;
    transform(PJ_FWD, {&px, 1}, {&py, 1});
    if (std::isnan(px)) {
        return false;
    }
    x = px;
    y = py;
    return true;
}

bool MapProjection::inverse(double x, double y, double& longitude, double& latitude) const
{
    double lon = x;
    double lat = y;
    transform(PJ_INV, {&lon, 1}, {&lat, 1});
    if (std::isnan(lon)) {
        return false;
    }
    longitude = lon;
    latitude = lat;
    return true;
}

ProjectedExtent MapProjection::defaultExtent() const
{
    const double west = m_centralLongitude - 180.0;
    const double east = m_centralLongitude + 180.0;
    switch (m_kind) {
    case ProjectionKind::PlateCarree:
        return extentOf(GeoRegion{-90.0, 90.0, west, east});
    case ProjectionKind::Mercator:
        return extentOf(GeoRegion{-kMercatorOpening, kMercatorOpening, west, east});
    case ProjectionKind::NorthPolar:
        return extentOf(GeoRegion{kPolarOpening, 90.0, west, east});
    case ProjectionKind::SouthPolar:
        return extentOf(GeoRegion{-90.0, -kPolarOpening, west, east});
    }
    return {};
}

ProjectedExtent MapProjection::extentOf(const GeoRegion& region) const
{
    const double south = std::clamp(region.south, minimumLatitude(), maximumLatitude());
    const double north = std::clamp(region.north, minimumLatitude(), maximumLatitude());
    double east = region.east;
    if (east <= region.west) {
        east += 360.0;
    }
    // The outline, sampled finely enough that a polar view's curved edges
    // and a cylindrical map's straight ones are both held.
    constexpr int kSteps = 180;
    std::vector<double> xs;
    std::vector<double> ys;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        const double lon = region.west + (east - region.west) * t;
        const double lat = south + (north - south) * t;
        for (const auto& [px, py] : {std::pair{lon, south}, std::pair{lon, north}, std::pair{region.west, lat},
                                     std::pair{east, lat}}) {
            xs.push_back(px);
            ys.push_back(py);
        }
    }
    // A cylindrical map must not fold a longitude past the seam back onto
    // the other side: keep longitudes relative to the central meridian.
    if (!isPolar()) {
        for (double& lon : xs) {
            lon = std::clamp(lon, m_centralLongitude - 180.0, m_centralLongitude + 180.0);
        }
    }
    forwardInPlace(xs, ys);
    ProjectedExtent extent{std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                           std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
    for (std::size_t i = 0; i < xs.size(); ++i) {
        if (std::isnan(xs[i])) {
            continue;
        }
        extent.xMin = std::min(extent.xMin, xs[i]);
        extent.xMax = std::max(extent.xMax, xs[i]);
        extent.yMin = std::min(extent.yMin, ys[i]);
        extent.yMax = std::max(extent.yMax, ys[i]);
    }
    if (extent.xMin > extent.xMax) {
        return {};
    }
    return extent;
}

}  // namespace tellurim
