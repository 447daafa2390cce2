// The map's layout and picture: where the agonic line, the markers and the
// legend land, and how picture pixels turn into places in each projection.
#include "render/LatticeSampling.h"
#include "render/MapPainter.h"
#include "render/MapRenderer.h"
#include "support/EngineSupport.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace tellurim {
namespace {

// Text on an image needs a QGuiApplication; no display is used.
void ensureGui()
{
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 3;
        static char name[] = "tellurim_tests", option[] = "-platform", platform[] = "offscreen";
        static char* argv[] = {name, option, platform, nullptr};
        static QGuiApplication application(argc, argv);
    }
}

QImage painted(const MapLayout& layout)
{
    QImage image(layout.page, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    paintMap(painter, layout);
    return image;
}

bool near(QRgb pixel, QRgb wanted, int tolerance)
{
    return std::abs(qRed(pixel) - qRed(wanted)) <= tolerance && std::abs(qGreen(pixel) - qGreen(wanted)) <= tolerance &&
           std::abs(qBlue(pixel) - qBlue(wanted)) <= tolerance;
}

class MapRendererTest : public ::testing::Test {
protected:
    void SetUp() override { ensureGui(); }
    ShippedEngine shipped;
    MapRenderer renderer{shipped.engine.model()};
    MapRequest request{FieldElement::D, 2026.5f, 0.0f, true, false, std::nullopt, std::nullopt, 2.0};
};

TEST_F(MapRendererTest, AgonicLineIsDrawnWhereTheDeclinationIsNearZero)
{
    const MapView view(ProjectionKind::PlateCarree, std::nullopt, QSize(720, 420));
    const MapLayout layout = renderer.layout(view, request);
    const QImage image = painted(layout);
    const QRgb agonic = qRgb(0, 158, 115);
    int onLine = 0;
    for (int y = layout.mapRect.top() + 2; y < layout.mapRect.bottom() - 2; ++y) {
        for (int x = layout.mapRect.left() + 2; x < layout.mapRect.right() - 2; ++x) {
            if (!near(image.pixel(x, y), agonic, 6)) {
                continue;
            }
            const auto place = view.toLonLat(QPointF(x + 0.5, y + 0.5));
            ASSERT_TRUE(place);
            // The line is three pixels wide, about two degrees of this map.
            if (std::abs(place->latitude) < 60.0) {
                EXPECT_LT(std::abs(renderer.source().valueAt(FieldElement::D, place->latitude, place->longitude, 0.0f,
                                                             2026.5f)),
                          3.0)
                    << place->latitude << " " << place->longitude;
            }
            ++onLine;
        }
    }
    EXPECT_GT(onLine, 300);
}

TEST_F(MapRendererTest, LegendTitleCreditAndMarkersArePlaced)
{
    request.location = LonLat{-105.27, 40.015};
    const MapView view(ProjectionKind::Mercator, std::nullopt, QSize(800, 500));
    const MapLayout layout = renderer.layout(view, request);

    EXPECT_GE(layout.colourBar.ticks.size(), 5u);
    EXPECT_EQ(layout.colourBar.unit.text, QStringLiteral("deg"));
    EXPECT_LT(layout.colourBar.scale.low, 0.0);
    EXPECT_TRUE(layout.title.text.contains(QStringLiteral("Declination")));
    EXPECT_TRUE(layout.title.text.contains(QStringLiteral("WMM-2025")));
    EXPECT_TRUE(layout.title.text.contains(QStringLiteral("2026")));
    EXPECT_EQ(layout.credit.text, QStringLiteral("Coastlines: Natural Earth"));
    EXPECT_FALSE(layout.coastlines.empty());
    EXPECT_FALSE(layout.graticule.empty());

    // The bar's ends wear the palette's ends: cool on the left, warm on the right.
    const QImage image = painted(layout);
    const QRectF bar = layout.colourBar.bar;
    const QRgb left = image.pixel(static_cast<int>(bar.left()) + 3, static_cast<int>(bar.center().y()));
    const QRgb right = image.pixel(static_cast<int>(bar.right()) - 3, static_cast<int>(bar.center().y()));
    EXPECT_GT(qBlue(left), qRed(left));
    EXPECT_GT(qRed(right), qBlue(right));

    const auto location = std::find_if(layout.markers.begin(), layout.markers.end(),
                                       [](const MapMarker& m) { return m.kind == MarkerKind::Location; });
    ASSERT_NE(location, layout.markers.end());
    const auto place = view.toLonLat(location->at);
    ASSERT_TRUE(place);
    EXPECT_NEAR(place->longitude, -105.27, 0.01);
    EXPECT_NEAR(place->latitude, 40.015, 0.01);
    // Inside the round marker, beside its cross hairs.
    EXPECT_TRUE(near(image.pixel(location->at.toPoint() + QPoint(2, -2)), qRgb(230, 159, 0), 40));
    // Boulder lies in the west of North America: left of the middle, above it.
    EXPECT_LT(location->at.x(), layout.mapRect.center().x());
    EXPECT_LT(location->at.y(), layout.mapRect.center().y());
}

TEST_F(MapRendererTest, DipPolesAndTheBlackoutZoneShowInTheNorthPolarView)
{
    request.zones = true;
    const MapView view(ProjectionKind::NorthPolar, std::nullopt, QSize(500, 500));
    const MapLayout layout = renderer.layout(view, request);
    const auto pole = std::find_if(layout.markers.begin(), layout.markers.end(),
                                   [](const MapMarker& m) { return m.kind == MarkerKind::NorthDipPole; });
    ASSERT_NE(pole, layout.markers.end());
    EXPECT_TRUE(std::none_of(layout.markers.begin(), layout.markers.end(),
                             [](const MapMarker& m) { return m.kind == MarkerKind::SouthDipPole; }));
    // Around the dip pole H is below 2000 nT: cross-hatched there.
    ASSERT_FALSE(layout.zones.isNull());
    int hatched = 0;
    const QPoint centre = pole->at.toPoint() - layout.mapRect.topLeft();
    for (int dy = -6; dy <= 6; ++dy)
        for (int dx = -6; dx <= 6; ++dx)
            hatched += qAlpha(layout.zones.pixel(centre.x() + dx, centre.y() + dy)) > 0 ? 1 : 0;
    EXPECT_GT(hatched, 20);
    EXPECT_EQ(layout.zoneKeys.size(), 2u);
}

TEST(MapViewTest, PixelsTurnIntoTheRightPlacesInEachProjection)
{
    struct Case {
        ProjectionKind kind;
        QPointF fraction;  // of the map frame, from its top left
        double latitude;
        double longitude;
    };
    // Places any map reader knows: the middle of a world map is 0N 0E; the
    // top of a Mercator world map is 80N; a polar view's middle is the pole
    // and its top edge lies on the meridian opposite the central one, 50
    // degrees from the equator at the edge's middle.
    const Case cases[] = {
        {ProjectionKind::PlateCarree, {0.5, 0.5}, 0.0, 0.0},
        {ProjectionKind::PlateCarree, {0.75, 0.25}, 45.0, 90.0},
        {ProjectionKind::Mercator, {0.5, 0.0}, 80.0, 0.0},
        {ProjectionKind::Mercator, {0.25, 0.5}, 0.0, -90.0},
        {ProjectionKind::NorthPolar, {0.5, 0.0}, 50.0, 180.0},
        {ProjectionKind::NorthPolar, {1.0, 0.5}, 50.0, 90.0},
        {ProjectionKind::SouthPolar, {0.5, 1.0}, -50.0, 180.0},
        {ProjectionKind::SouthPolar, {0.5, 0.0}, -50.0, 0.0},
    };
    for (const Case& c : cases) {
        const MapView view(c.kind, std::nullopt, QSize(600, 600));
        const QRectF frame(view.mapRect());
        const QPointF pixel(frame.left() + c.fraction.x() * frame.width(), frame.top() + c.fraction.y() * frame.height());
        const auto place = view.toLonLat(pixel);
        ASSERT_TRUE(place) << projectionName(c.kind);
        EXPECT_NEAR(place->latitude, c.latitude, 0.5) << projectionName(c.kind);
        EXPECT_NEAR(std::remainder(place->longitude - c.longitude, 360.0), 0.0, 0.5) << projectionName(c.kind);
    }
    // Polar views have the pole in the middle; off the frame is nowhere.
    const MapView north(ProjectionKind::NorthPolar, std::nullopt, QSize(400, 400));
    EXPECT_NEAR(north.toLonLat(QPointF(north.mapRect().center()) + QPointF(0.5, 0.5))->latitude, 90.0, 0.2);
    EXPECT_FALSE(north.toLonLat(QPointF(-5.0, -5.0)));
}

TEST(MapViewTest, ZoomKeepsThePlaceUnderThePointerAndPanStaysOnTheMap)
{
    MapView view(ProjectionKind::PlateCarree, std::nullopt, QSize(800, 450));
    const QPointF anchor(view.mapRect().left() + 500.0, view.mapRect().top() + 120.0);
    const auto before = view.toLonLat(anchor);
    view.zoom(4.0, anchor);
    const auto after = view.toLonLat(anchor);
    ASSERT_TRUE(before && after);
    EXPECT_NEAR(after->longitude, before->longitude, 0.2);
    EXPECT_NEAR(after->latitude, before->latitude, 0.2);
    const double westBefore = view.toLonLat(QPointF(view.mapRect().topLeft()) + QPointF(1, 1))->longitude;
    view.pan(100000.0, 0.0);  // far past the western edge
    const double west = view.toLonLat(QPointF(view.mapRect().topLeft()) + QPointF(1, 1))->longitude;
    EXPECT_LT(west, westBefore);
    EXPECT_NEAR(west, -180.0, 0.5);
}

TEST(LatticeSamplingTest, DeclinationIsInterpolatedTheShortWayAcrossItsSeam)
{
    Lattice lattice;
    lattice.geometry = LatticeGeometry{0.0, 0.0, 1.0, 1.0, 2, 2};
    lattice.values = {179.0f, -179.0f, 179.0f, -179.0f};
    EXPECT_NEAR(std::abs(sampleLattice(lattice, 0.5, 0.25, true)), 179.5, 1e-3);
    EXPECT_NEAR(std::abs(sampleLattice(lattice, 0.5, 0.75, true)), 179.5, 1e-3);
    EXPECT_NEAR(sampleLattice(lattice, 0.5, 0.5, false), 0.0, 1e-3);
    // Row 0 is the northern one.
    lattice.values = {10.0f, 10.0f, 20.0f, 20.0f};
    EXPECT_NEAR(sampleLattice(lattice, 0.75, 0.5, false), 12.5, 1e-4);
    EXPECT_TRUE(std::isnan(sampleLattice(lattice, 3.0, 0.5, false)));
}

}  // namespace
}  // namespace tellurim
