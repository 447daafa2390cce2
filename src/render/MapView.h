#pragma once

#include "crs/MapProjection.h"
#include "render/Coastlines.h"

#include <QPointF>
#include <QRect>
#include <QSize>

#include <memory>
#include <optional>
#include <vector>

namespace tellurim {

/// What part of the Earth a map shows and where on the picture: the
/// projection, the visible rectangle of projected metres and the picture's
/// size in pixels, with the map frame inside it (a title band above, the
/// colour bar and credit below, the map centred between them at its own
/// aspect). Converts between picture pixels and latitude/longitude.
class MapView {
public:
    /// region: nothing for the projection's opening view. A cylindrical map
    /// of a region is centred on the region's middle meridian.
    MapView(ProjectionKind kind, std::optional<GeoRegion> region, QSize page);

    ProjectionKind kind() const { return m_projection->kind(); }
    const MapProjection& projection() const { return *m_projection; }
    const ProjectedExtent& extent() const { return m_extent; }
    QSize page() const { return m_page; }
    /// Where the map is drawn on the picture, pixels.
    QRect mapRect() const { return m_mapRect; }
    /// The title band and the band holding the colour bar and the credit.
    QRect titleRect() const;
    QRect legendRect() const;

    /// The picture pixel of a place, or nothing where the projection has no
    /// image of it. May lie outside the map frame.
    std::optional<QPointF> toPixel(double longitude, double latitude) const;
    /// The place under a picture pixel; nothing off the map frame or off the Earth.
    std::optional<LonLat> toLonLat(QPointF pixel) const;
    /// The picture pixel of projected coordinates (metres).
    QPointF projectedToPixel(double x, double y) const;

    /// Zooms by factor (above 1 closer) keeping the place under anchor where
    /// it is; never out past the opening view.
    void zoom(double factor, QPointF anchor);
    /// Moves the view by a number of pixels (positive: the map follows the
    /// pointer to the right and down), never past the opening view's edges.
    void pan(double dx, double dy);
    /// The picture takes a new size; the visible rectangle keeps its middle and scale.
    void resize(QSize page);

    /// Latitude and longitude of every map pixel, row by row (NaN off the
    /// Earth); computed once for each view.
    struct Geography {
        int width = 0;
        int height = 0;
        std::vector<float> latitude;
        std::vector<float> longitude;
        double south = 0.0;  ///< the smallest latitude seen
        double north = 0.0;
        double west = 0.0;   ///< the longitudes seen, west..east (east may exceed 180)
        double east = 0.0;
    };
    const Geography& geography() const;

    /// Increments whenever the view changes (zoom, pan, size).
    unsigned revision() const { return m_revision; }

private:
    void place();
    void clampExtent();

    std::unique_ptr<MapProjection> m_projection;
    ProjectedExtent m_opening;
    ProjectedExtent m_extent;
    QSize m_page;
    QRect m_mapRect;
    unsigned m_revision = 0;
    mutable std::unique_ptr<Geography> m_geography;
};

}  // namespace tellurim
