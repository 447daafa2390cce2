#include "render/MapOverlays.h"

#include "render/MapView.h"

#include <algorithm>
#include <cmath>

namespace tellurim {

namespace {

bool touches(const QPolygonF& piece, const QRectF& frame)
{
    // A parallel of a cylindrical map is a rectangle of no height, which
    // intersects nothing: widen it by a pixel.
    return piece.size() >= 2 && piece.boundingRect().adjusted(-1.0, -1.0, 1.0, 1.0).intersects(frame);
}

// A round graticule interval giving at most maxLines lines over span degrees.
double graticuleStep(double span, int maxLines)
{
    for (const double step : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 45.0, 90.0}) {
        if (span / step <= maxLines) {
            return step;
        }
    }
    return 90.0;
}

std::vector<LonLat> sampled(double lon0, double lat0, double lon1, double lat1, int steps)
{
    std::vector<LonLat> points;
    points.reserve(static_cast<std::size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        points.push_back(LonLat{lon0 + (lon1 - lon0) * t, lat0 + (lat1 - lat0) * t});
    }
    return points;
}

QString degreesText(double value, char positive, char negative)
{
    const QString number = levelText(std::abs(value));
    if (value == 0.0) {
        return number + QChar(0x00B0);
    }
    return number + QChar(0x00B0) + QChar::fromLatin1(value > 0.0 ? positive : negative);
}

}  // namespace

QString levelText(double level)
{
    if (std::abs(level) < 1e-12) {
        return QStringLiteral("0");
    }
    QString text = QString::number(level, 'f', 3);
    while (text.endsWith(QLatin1Char('0'))) {
        text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return text;
}

std::vector<QPolygonF> projectPath(const MapView& view, std::span<const LonLat> path)
{
    std::vector<double> xs(path.size());
    std::vector<double> ys(path.size());
    const MapProjection& projection = view.projection();
    for (std::size_t i = 0; i < path.size(); ++i) {
        xs[i] = path[i].longitude;
        // Latitudes the projection does not draw have no image.
        const double lat = path[i].latitude;
        ys[i] = lat < projection.minimumLatitude() || lat > projection.maximumLatitude() ? std::nan("") : lat;
    }
    projection.forwardInPlace(xs, ys);
    std::vector<QPolygonF> pieces;
    QPolygonF piece;
    const double seamJump = view.mapRect().width() / 2.0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (std::isnan(xs[i])) {
            if (piece.size() >= 2) {
                pieces.push_back(piece);
            }
            piece.clear();
            continue;
        }
        const QPointF point = view.projectedToPixel(xs[i], ys[i]);
        if (!piece.isEmpty() && !view.projection().isPolar() && std::abs(point.x() - piece.back().x()) > seamJump) {
            if (piece.size() >= 2) {
                pieces.push_back(piece);
            }
            piece.clear();
        }
        piece.append(point);
    }
    if (piece.size() >= 2) {
        pieces.push_back(piece);
    }
    return pieces;
}

std::vector<QPolygonF> placeCoastlines(const MapView& view, const Coastlines& coastlines)
{
    std::vector<QPolygonF> placed;
    const QRectF frame(view.mapRect());
    for (const auto& ring : coastlines.rings) {
        for (auto& piece : projectPath(view, ring)) {
            if (touches(piece, frame)) {
                placed.push_back(std::move(piece));
            }
        }
    }
    return placed;
}

void placeGraticule(const MapView& view, double fontPixels, std::vector<QPolygonF>& lines,
                    std::vector<MapLabel>& labels)
{
    const MapView::Geography& geo = view.geography();
    if (!(geo.north >= geo.south) || !(geo.east >= geo.west)) {
        return;
    }
    const QRectF frame(view.mapRect());
    const bool polar = view.projection().isPolar();
    const double latStep = graticuleStep(geo.north - geo.south, polar ? 6 : 8);
    const double lonStep = graticuleStep(geo.east - geo.west, 12);
    const double pad = fontPixels * 0.3;
    for (double lat = std::ceil(geo.south / latStep) * latStep; lat <= geo.north + 1e-9; lat += latStep) {
        if (std::abs(lat) >= 90.0 - 1e-9) {
            continue;
        }
        const auto path = sampled(geo.west, lat, geo.east, lat, 360);
        for (auto& piece : projectPath(view, path)) {
            if (!touches(piece, frame)) {
                continue;
            }
            // Parallels are labelled where they enter the frame on the left
            // (cylindrical) or where they cross the central meridian (polar).
            // (A little off it in a polar view, clear of the meridian's own label.)
            const auto at = polar ? view.toPixel(view.projection().centralLongitude() + 20.0, lat)
                                  : std::optional<QPointF>(QPointF(frame.left() + pad, piece.front().y()));
            if (at && frame.contains(*at)) {
                labels.push_back(MapLabel{*at, degreesText(lat, 'N', 'S'), static_cast<int>(Qt::AlignLeft | Qt::AlignBottom)});
            }
            lines.push_back(std::move(piece));
        }
    }
    const double south = std::max(geo.south, view.projection().minimumLatitude());
    const double north = std::min(geo.north, view.projection().maximumLatitude());
    for (double lon = std::ceil(geo.west / lonStep) * lonStep; lon <= geo.east + 1e-9; lon += lonStep) {
        const auto path = sampled(lon, south, lon, north, 180);
        double wrapped = std::fmod(lon, 360.0);
        wrapped = wrapped > 180.0 ? wrapped - 360.0 : (wrapped <= -180.0 ? wrapped + 360.0 : wrapped);
        for (auto& piece : projectPath(view, path)) {
            if (!touches(piece, frame)) {
                continue;
            }
            // The end of the meridian away from the pole (polar) or nearest the
            // frame's bottom (cylindrical) carries its label.
            const QPointF end = polar ? (view.kind() == ProjectionKind::NorthPolar ? piece.front() : piece.back()) : (piece.front().y() > piece.back().y() ? piece.front() : piece.back());
            const QPointF at(std::clamp(end.x(), frame.left() + pad, frame.right() - pad),
                             std::clamp(end.y(), frame.top() + fontPixels, frame.bottom() - pad));
            // Near a side of the frame the label reads inward, so it is not cut.
            const Qt::Alignment across = at.x() < frame.left() + 3.0 * fontPixels    ? Qt::AlignLeft
                                         : at.x() > frame.right() - 3.0 * fontPixels ? Qt::AlignRight
                                                                                     : Qt::AlignHCenter;
            if (std::abs(wrapped) < 180.0 - 1e-9 || !polar) {
                labels.push_back(MapLabel{at, degreesText(wrapped, 'E', 'W'), static_cast<int>(across | Qt::AlignBottom)});
            }
            lines.push_back(std::move(piece));
        }
    }
}

}  // namespace tellurim
