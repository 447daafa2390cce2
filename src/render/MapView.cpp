#include "render/MapView.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tellurim {

namespace {

int band(int size, double share, int low, int high)
{
    return std::clamp(static_cast<int>(std::lround(size * share)), low, high);
}

// A longitude written relative to a central meridian, in centre-180..centre+180.
double unwrapped(double longitude, double centre)
{
    double offset = std::fmod(longitude - centre, 360.0);
    if (offset < -180.0) {
        offset += 360.0;
    } else if (offset > 180.0) {
        offset -= 360.0;
    }
    return centre + offset;
}

double regionCentre(const std::optional<GeoRegion>& region)
{
    if (!region) {
        return 0.0;
    }
    double east = region->east;
    if (east <= region->west) {
        east += 360.0;
    }
    const double middle = (region->west + east) / 2.0;
    return unwrapped(middle, 0.0);
}

}  // namespace

MapView::MapView(ProjectionKind kind, std::optional<GeoRegion> region, QSize page)
    : m_projection(std::make_unique<MapProjection>(
          kind, kind == ProjectionKind::NorthPolar || kind == ProjectionKind::SouthPolar ? 0.0 : regionCentre(region))),
      m_page(page)
{
    m_opening = m_projection->defaultExtent();
    m_extent = region ? m_projection->extentOf(*region) : m_opening;
    if (region) {
        // A region may reach beyond the opening view (a polar map to 30 degrees).
        m_opening.xMin = std::min(m_opening.xMin, m_extent.xMin);
        m_opening.xMax = std::max(m_opening.xMax, m_extent.xMax);
        m_opening.yMin = std::min(m_opening.yMin, m_extent.yMin);
        m_opening.yMax = std::max(m_opening.yMax, m_extent.yMax);
    }
    place();
}

QRect MapView::titleRect() const
{
    return {0, 0, m_page.width(), band(m_page.height(), 0.06, 12, 36)};
}

QRect MapView::legendRect() const
{
    const int height = band(m_page.height(), 0.1, 24, 72);
    return {0, m_page.height() - height, m_page.width(), height};
}

void MapView::place()
{
    const int side = band(m_page.width(), 0.01, 2, 12);
    const QRect title = titleRect();
    const QRect legend = legendRect();
    const QRect area(side, title.bottom() + 1, std::max(1, m_page.width() - 2 * side),
                     std::max(1, legend.top() - title.bottom() - 2));
    const double aspect = m_extent.width() > 0.0 && m_extent.height() > 0.0 ? m_extent.width() / m_extent.height() : 1.0;
    int width = area.width();
    int height = static_cast<int>(std::lround(width / aspect));
    if (height > area.height()) {
        height = area.height();
        width = static_cast<int>(std::lround(height * aspect));
    }
    width = std::max(1, width);
    height = std::max(1, height);
    m_mapRect = QRect(area.left() + (area.width() - width) / 2, area.top() + (area.height() - height) / 2, width,
                      height);
    m_geography.reset();
    ++m_revision;
}

QPointF MapView::projectedToPixel(double x, double y) const
{
    const double px = m_mapRect.left() + (x - m_extent.xMin) / m_extent.width() * m_mapRect.width();
    const double py = m_mapRect.top() + (m_extent.yMax - y) / m_extent.height() * m_mapRect.height();
    return {px, py};
}

std::optional<QPointF> MapView::toPixel(double longitude, double latitude) const
{
    double x = 0.0;
    double y = 0.0;
    if (!m_projection->forward(longitude, latitude, x, y)) {
        return std::nullopt;
    }
    return projectedToPixel(x, y);
}

std::optional<LonLat> MapView::toLonLat(QPointF pixel) const
{
    if (pixel.x() < m_mapRect.left() || pixel.y() < m_mapRect.top() ||
        pixel.x() > m_mapRect.left() + m_mapRect.width() || pixel.y() > m_mapRect.top() + m_mapRect.height()) {
        return std::nullopt;
    }
    const double x = m_extent.xMin + (pixel.x() - m_mapRect.left()) / m_mapRect.width() * m_extent.width();
    const double y = m_extent.yMax - (pixel.y() - m_mapRect.top()) / m_mapRect.height() * m_extent.height();
    LonLat place;
    if (!m_projection->inverse(x, y, place.longitude, place.latitude) ||
        place.latitude < m_projection->minimumLatitude() - 1e-9 ||
        place.latitude > m_projection->maximumLatitude() + 1e-9) {
        return std::nullopt;
    }
    return place;
}

void MapView::clampExtent()
{
    const double width = std::min(m_extent.width(), m_opening.width());
    const double height = std::min(m_extent.height(), m_opening.height());
    const double cx = std::clamp((m_extent.xMin + m_extent.xMax) / 2.0, m_opening.xMin + width / 2.0,
                                 m_opening.xMax - width / 2.0);
    const double cy = std::clamp((m_extent.yMin + m_extent.yMax) / 2.0, m_opening.yMin + height / 2.0,
                                 m_opening.yMax - height / 2.0);
    m_extent = ProjectedExtent{cx - width / 2.0, cx + width / 2.0, cy - height / 2.0, cy + height / 2.0};
}

void MapView::zoom(double factor, QPointF anchor)
{
    if (!(factor > 0.0) || !std::isfinite(factor)) {
        return;
    }
    const double ax = m_extent.xMin + (anchor.x() - m_mapRect.left()) / m_mapRect.width() * m_extent.width();
    const double ay = m_extent.yMax - (anchor.y() - m_mapRect.top()) / m_mapRect.height() * m_extent.height();
    // Closer than a few hundred metres a pixel the model has nothing more to show.
    constexpr double kSmallestWidth = 50000.0;
    const double scale = std::max(1.0 / factor, kSmallestWidth / m_extent.width());
    m_extent = ProjectedExtent{ax - (ax - m_extent.xMin) * scale, ax + (m_extent.xMax - ax) * scale,
                               ay - (ay - m_extent.yMin) * scale, ay + (m_extent.yMax - ay) * scale};
    clampExtent();
    place();
}

void MapView::pan(double dx, double dy)
{
    const double mx = -dx / m_mapRect.width() * m_extent.width();
    const double my = dy / m_mapRect.height() * m_extent.height();
    m_extent = ProjectedExtent{m_extent.xMin + mx, m_extent.xMax + mx, m_extent.yMin + my, m_extent.yMax + my};
    clampExtent();
    place();
}

void MapView::resize(QSize page)
{
    m_page = page;
    place();
}

const MapView::Geography& MapView::geography() const
{
    if (m_geography) {
        return *m_geography;
    }
    auto geo = std::make_unique<Geography>();
    geo->width = m_mapRect.width();
    geo->height = m_mapRect.height();
    const auto count = static_cast<std::size_t>(geo->width) * static_cast<std::size_t>(geo->height);
    std::vector<double> xs(count);
    std::vector<double> ys(count);
    for (int row = 0; row < geo->height; ++row) {
        const double y = m_extent.yMax - (row + 0.5) / geo->height * m_extent.height();
        for (int column = 0; column < geo->width; ++column) {
            const auto i = static_cast<std::size_t>(row) * static_cast<std::size_t>(geo->width) +
                           static_cast<std::size_t>(column);
            xs[i] = m_extent.xMin + (column + 0.5) / geo->width * m_extent.width();
            ys[i] = y;
        }
    }
    m_projection->inverseInPlace(xs, ys);
    geo->latitude.resize(count);
    geo->longitude.resize(count);
    double south = 90.0;
    double north = -90.0;
    double west = std::numeric_limits<double>::max();
    double east = std::numeric_limits<double>::lowest();
    const double centre = m_projection->centralLongitude();
    for (std::size_t i = 0; i < count; ++i) {
        const double lat = ys[i];
        if (std::isnan(lat) || lat < m_projection->minimumLatitude() || lat > m_projection->maximumLatitude()) {
            geo->latitude[i] = std::numeric_limits<float>::quiet_NaN();
            geo->longitude[i] = std::numeric_limits<float>::quiet_NaN();
            continue;
        }
        const double lon = unwrapped(xs[i], centre);
        geo->latitude[i] = static_cast<float>(lat);
        geo->longitude[i] = static_cast<float>(lon);
        south = std::min(south, lat);
        north = std::max(north, lat);
        west = std::min(west, lon);
        east = std::max(east, lon);
    }
    if (m_projection->isPolar()) {
        const double pole = kind() == ProjectionKind::NorthPolar ? 90.0 : -90.0;
        const auto at = toPixel(0.0, pole);
        if (at && m_mapRect.contains(at->toPoint())) {
            west = centre - 180.0;
            east = centre + 180.0;
            (pole > 0.0 ? north : south) = pole;
        }
    }
    geo->south = south;
    geo->north = north;
    geo->west = west;
    geo->east = east;
    m_geography = std::move(geo);
    return *m_geography;
}

}  // namespace tellurim
