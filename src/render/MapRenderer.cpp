#include "render/MapRenderer.h"

#include "record/CalendarDate.h"
#include "record/Conversions.h"
#include "record/FieldAccuracy.h"
#include "gis/Contours.h"
#include "render/LatticeSampling.h"
#include "render/MapOverlays.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <map>

namespace tellurim {

namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr double kLabelSpacing = 350.0;  // pixels of isoline between two labels
constexpr int kHatchSpacing = 7;         // pixels between hatching lines

double pathLength(const QPolygonF& piece)
{
    double length = 0.0;
    for (int i = 1; i < piece.size(); ++i) {
        length += std::hypot(piece[i].x() - piece[i - 1].x(), piece[i].y() - piece[i - 1].y());
    }
    return length;
}

// Labels along a piece of isoline, one every kLabelSpacing pixels, inside the frame.
void labelPiece(const QPolygonF& piece, const QString& text, const QRectF& frame, std::vector<MapLabel>& labels)
{
    const double length = pathLength(piece);
    if (length < kLabelSpacing / 3.0) {
        return;
    }
    const int count = std::max(1, static_cast<int>(length / kLabelSpacing));
    double next = length / (count + 1);
    double walked = 0.0;
    for (int i = 1; i < piece.size() && static_cast<int>(labels.size()) < 10000; ++i) {
        walked += std::hypot(piece[i].x() - piece[i - 1].x(), piece[i].y() - piece[i - 1].y());
        if (walked >= next) {
            if (frame.contains(piece[i])) {
                labels.push_back(MapLabel{piece[i], text, static_cast<int>(Qt::AlignCenter)});
            }
            next += length / (count + 1);
        }
    }
}

std::vector<LayoutIsoline> placeIsolines(const MapView& view, const Lattice& lattice, const ColourScale& scale,
                                         FieldElement element)
{
    const bool wraps = elementInfo(element).wrapsAt180;
    const auto traced = traceIsolines(lattice, IsolineLevels{scale.interval, 0.0}, wraps);
    if (!traced) {
        return {};  // a map without isolines is still a map
    }
    std::map<double, LayoutIsoline> byLevel;
    const QRectF frame(view.mapRect());
    std::vector<LonLat> points;
    for (const Isoline& line : *traced.value) {
        LayoutIsoline& placed = byLevel[line.level];
        placed.level = line.level;
        placed.agonic = element == FieldElement::D && line.level == 0.0;
        points.clear();
        for (const GeoPoint& vertex : line.vertices) {
            points.push_back(LonLat{vertex.longitude, vertex.latitude});
        }
        for (auto& piece : projectPath(view, points)) {
            if (piece.boundingRect().adjusted(-1.0, -1.0, 1.0, 1.0).intersects(frame)) {
                labelPiece(piece, levelText(line.level), frame, placed.labels);
                placed.pieces.push_back(std::move(piece));
            }
        }
    }
    std::vector<LayoutIsoline> placed;
    for (auto& [level, isoline] : byLevel) {
        placed.push_back(std::move(isoline));
    }
    return placed;
}

// The field's colours in the map's pixels, and the zones' hatching.
void fillField(const MapView& view, const MapLattices& lattices, bool wraps, const ColourScale& scale, bool zones,
               MapLayout& layout)
{
    const MapView::Geography& geo = view.geography();
    layout.field = QImage(geo.width, geo.height, QImage::Format_ARGB32_Premultiplied);
    if (layout.field.isNull()) {
        return;
    }
    if (zones) {
        layout.zones = QImage(geo.width, geo.height, QImage::Format_ARGB32_Premultiplied);
        layout.zones.fill(Qt::transparent);
    }
    const uint32_t hatch = 0xC0000000U;  // black at three quarters, premultiplied
    for (int row = 0; row < geo.height; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(layout.field.scanLine(row));
        auto* hatched = zones ? reinterpret_cast<uint32_t*>(layout.zones.scanLine(row)) : nullptr;
        const std::size_t base = static_cast<std::size_t>(row) * static_cast<std::size_t>(geo.width);
        for (int column = 0; column < geo.width; ++column) {
            const double lat = static_cast<double>(geo.latitude[base + static_cast<std::size_t>(column)]);
            const double lon = static_cast<double>(geo.longitude[base + static_cast<std::size_t>(column)]);
            line[column] = scale.colourOf(static_cast<double>(sampleLattice(lattices.element, lat, lon, wraps)));
            if (hatched == nullptr || std::isnan(lat)) {
                continue;
            }
            const CompassZone zone = compassZone(sampleLattice(lattices.horizontal, lat, lon, false));
            const bool forward = (column + row) % kHatchSpacing == 0;
            const bool backward = (column - row + 4096 * kHatchSpacing) % kHatchSpacing == 0;
            if ((zone == CompassZone::Caution && forward) || (zone == CompassZone::Blackout && (forward || backward))) {
                hatched[column] = hatch;
            }
        }
    }
}

QString dateText(float date)
{
    const CalendarDate day = decimalYearToDate(date, 1, 1);
    return QStringLiteral("%1-%2-%3 (%4)")
        .arg(day.year, 4, 10, QLatin1Char('0'))
        .arg(day.month, 2, 10, QLatin1Char('0'))
        .arg(day.day, 2, 10, QLatin1Char('0'))
        .arg(static_cast<double>(date), 0, 'f', 2);
}

void placeColourBar(const MapView& view, const ColourScale& scale, FieldElement element, MapLayout& layout)
{
    const QRect band = view.legendRect();
    const double font = layout.fontPixels;
    const double width = band.width() * 0.5;
    const QRectF bar(band.left() + (band.width() - width) / 2.0, band.top() + font * 0.6, width,
                     std::max(4.0, band.height() * 0.3));
    layout.colourBar.bar = bar;
    layout.colourBar.scale = scale;
    const std::vector<double> levels = scale.levels();
    const std::size_t stride = std::max<std::size_t>(1, (levels.size() + 10) / 11);
    for (std::size_t i = 0; i < levels.size(); i += stride) {
        const double x = bar.left() + (levels[i] - scale.low) / (scale.high - scale.low) * bar.width();
        layout.colourBar.ticks.push_back(
            MapLabel{QPointF(x, bar.bottom() + 2.0), levelText(levels[i]), static_cast<int>(Qt::AlignHCenter | Qt::AlignTop)});
    }
    layout.colourBar.unit = MapLabel{QPointF(bar.right() + font * 0.6, bar.center().y()), qs(elementInfo(element).unit),
                                     static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter)};
    layout.credit = MapLabel{QPointF(band.right() - font * 0.5, band.bottom() - 2.0),
                             QString::fromLatin1(kCoastlineCredit), static_cast<int>(Qt::AlignRight | Qt::AlignBottom)};
}

// The lattice's values with each place counted by the area it stands for,
// so that the crowded rows near the poles do not set the colours of the world.
std::vector<float> areaSample(const Lattice& lattice)
{
    std::vector<float> sample;
    for (std::size_t r = 0; r < lattice.geometry.height; ++r) {
        const double weight = std::cos(lattice.geometry.latitude(r) * M_PI / 180.0);
        const auto stride = static_cast<std::size_t>(std::lround(1.0 / std::max(weight, 0.02)));
        for (std::size_t c = 0; c < lattice.geometry.width; c += stride) {
            sample.push_back(lattice.at(r, c));
        }
    }
    return sample;
}

}  // namespace

QString mapTitle(FieldElement element, const std::string& model, float date, float elevation)
{
    return QStringLiteral("%1 \u00B7 %2 \u00B7 %3 \u00B7 elevation %4 m")
        .arg(elementTitle(element), QString::fromStdString(model), dateText(date))
        .arg(static_cast<double>(elevation), 0, 'f', 0);
}

MapRenderer::MapRenderer(std::shared_ptr<const MagneticModel> model)
    : m_source(std::make_unique<MapFieldSource>(std::move(model)))
{
}

void MapRenderer::setModel(std::shared_ptr<const MagneticModel> model)
{
    m_source = std::make_unique<MapFieldSource>(std::move(model));
}

MapLattices MapRenderer::evaluate(const MapView& view, const MapRequest& request) const
{
    const MapView::Geography& geo = view.geography();
    const double density = std::max(0.25, request.pixelsPerSample);
    const double rows = std::max(2.0, geo.height / density);
    // A polar view's parallels are circles: its longitudes are spread round
    // the outermost one.
    const double columns =
        std::max(2.0, view.projection().isPolar() ? geo.width * 3.2 / density : geo.width / density);
    LatticeGeometry geometry;
    geometry.latStep = std::max(geo.north - geo.south, 1e-3) / rows;
    geometry.lonStep = std::max(geo.east - geo.west, 1e-3) / columns;
    // One step beyond each edge, so that every pixel has nodes around it.
    geometry.south = std::max(-90.0, geo.south - geometry.latStep);
    const double north = std::min(90.0, geo.north + geometry.latStep);
    geometry.west = geo.west - geometry.lonStep;
    geometry.height = static_cast<std::size_t>(std::ceil((north - geometry.south) / geometry.latStep - 1e-9)) + 1;
    geometry.width = static_cast<std::size_t>(std::ceil((geo.east - geo.west) / geometry.lonStep - 1e-9)) + 3;
    return m_source->lattices(geometry, request.element, request.elevation, request.date);
}

void MapRenderer::placeViewItems(const MapView& view, MapLayout& layout)
{
    if (m_cachedView != &view || m_cachedRevision != view.revision()) {
        m_coastlines = placeCoastlines(view, shippedCoastlines());
        m_graticule.clear();
        m_graticuleLabels.clear();
        placeGraticule(view, layout.fontPixels, m_graticule, m_graticuleLabels);
        m_cachedView = &view;
        m_cachedRevision = view.revision();
    }
    layout.coastlines = m_coastlines;
    layout.graticule = m_graticule;
    layout.graticuleLabels = m_graticuleLabels;
}

MapLayout MapRenderer::layout(const MapView& view, const MapRequest& request)
{
    MapLayout layout;
    layout.page = view.page();
    layout.mapRect = view.mapRect();
    layout.fontPixels = std::clamp(view.page().height() / 50.0, 7.0, 14.0);
    placeViewItems(view, layout);

    m_lattice = evaluate(view, request);
    m_scale = request.scale ? *request.scale
                            : scaleFor(areaSample(m_lattice.element), elementIsSigned(request.element));
    fillField(view, m_lattice, elementInfo(request.element).wrapsAt180, m_scale, request.zones, layout);
    if (request.isolines) {
        layout.isolines = placeIsolines(view, m_lattice.element, m_scale, request.element);
    }
    if (m_source->hasModel()) {
        const MagneticPoles poles = m_source->poles(request.date);
        for (const auto& [kind, pole, name] :
             {std::tuple{MarkerKind::NorthDipPole, poles.north, "North dip pole"},
              std::tuple{MarkerKind::SouthDipPole, poles.south, "South dip pole"}}) {
            const auto at = view.toPixel(static_cast<double>(pole.decimalLongitude),
                                         static_cast<double>(pole.decimalLatitude));
            if (at && layout.mapRect.contains(at->toPoint())) {
                layout.markers.push_back(MapMarker{kind, *at, QString::fromLatin1(name)});
            }
        }
    }
    if (request.location) {
        const auto at = view.toPixel(request.location->longitude, request.location->latitude);
        if (at && layout.mapRect.contains(at->toPoint())) {
            layout.markers.push_back(MapMarker{MarkerKind::Location, *at, QStringLiteral("Location")});
        }
    }
    placeColourBar(view, m_scale, request.element, layout);
    const QRect title = view.titleRect();
    layout.title = MapLabel{QPointF(title.center().x(), title.center().y()),
                            mapTitle(request.element, m_source->modelName(), request.date, request.elevation),
                            static_cast<int>(Qt::AlignCenter)};
    if (request.zones) {
        const QRect band = view.legendRect();
        const double x = band.left() + layout.fontPixels * 2.2;
        const double y = band.top() + layout.fontPixels * 1.2;
        layout.zoneKeys = {
            MapLabel{QPointF(x, y), QStringLiteral("Caution: H < 6000 nT"), static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter)},
            MapLabel{QPointF(x, y + layout.fontPixels * 1.5), QStringLiteral("Blackout: H < 2000 nT"),
                     static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter)},
        };
    }
    layout.description = QStringLiteral("Map of %1 from %2 on %3, %4 projection, colours from %5 to %6 %7")
                             .arg(elementTitle(request.element), qs(m_source->modelName()),
                                  dateText(request.date), qs(projectionName(view.kind())), levelText(m_scale.low),
                                  levelText(m_scale.high), qs(elementInfo(request.element).unit));
    return layout;
}

}  // namespace tellurim
